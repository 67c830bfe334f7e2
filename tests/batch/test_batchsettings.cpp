#include "batch/BatchSettings.h"
#include "tests/batch/BatchTestSupport.h"
#include "tests/support/TestAttributes.h"
#include "tests/support/TestMain.h"

#include <QTemporaryDir>
#include <functional>

using namespace tess;
using namespace tess::batch;
using tess::test::everyFieldSet;
using tess::test::profileLines;
using tess::test::writeProfile;

using SettingsEdit = std::function<void(BatchSettings&)>;
Q_DECLARE_METATYPE(SettingsEdit)

class TestBatchSettings : public QObject
{
    Q_OBJECT
private slots:
    void currentAttributes()
    {
        const BatchSettings s = batchSettingsFromAttributes(everyFieldSet());
        QCOMPARE(s.fontName, QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(s.fontSize, QStringLiteral("48"));
        QCOMPARE(s.fontStyle, QStringLiteral("Bold, Italic"));
        QCOMPARE(s.textColor, 0x00123456u);
        QCOMPARE(s.outlineColor, 0x00FFFFFFu);
        QCOMPARE(s.outlineWidth, QStringLiteral("4"));
        QCOMPARE(s.position, positions::TopRight);
        QCOMPARE(s.dateFormatDateTime, 8);
        QCOMPARE(s.dateFormatOriginal, 7);
        QCOMPARE(s.dateFormatCreated, 6);
        QCOMPARE(s.dateFormatOther, 5);
        QCOMPARE((QStringList{s.customX, s.customXMax, s.customY, s.customYMax}),
                 (QStringList{"1999", "4000", "1", "3000"}));
        QCOMPARE((QStringList{s.borderWidth, s.opacity, s.jpegQuality}),
                 (QStringList{"-3", "77", "1"}));
        QVERIFY(s.proportionalSize);
        QCOMPARE(s.referenceHeight, 999999);
        QCOMPARE(s.brightness, 510);
        QCOMPARE(s.contrast, 0);
        QCOMPARE(s.sepiaLevel, 255);
        QCOMPARE(s.effect, QStringLiteral("negative"));
        QCOMPARE(s.keepFlags, QStringLiteral("0101"));
        QCOMPARE(s.stampTexts, everyFieldSet().stampTexts);
    }

    void styleOfCurrentAttributes_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<QString>("style");
        QTest::newRow("regular") << false << false << "Regular";
        QTest::newRow("bold") << true << false << "Bold";
        QTest::newRow("italic, not bold") << false << true << "Italic";
        QTest::newRow("both") << true << true << "Bold, Italic";
    }
    void styleOfCurrentAttributes()
    {
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(QString, style);
        StampAttributes a;
        a.bold = bold;
        a.italic = italic;
        QCOMPARE(batchSettingsFromAttributes(a).fontStyle, style);
    }

    /// A profile the program wrote reads back as the same settings the current attributes
    /// give (the window position aside).
    void profileRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tsrx"));
        writeProfile(path, profileLines(everyFieldSet()));
        const std::optional<BatchSettings> read = readBatchProfile(path);
        QVERIFY(read);
        QCOMPARE(*read, batchSettingsFromAttributes(everyFieldSet()));
    }

    /// One line of a written profile replaced: what the batch keeps, and what it refuses.
    void profileLine_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<SettingsEdit>("expected");
        const auto row = [](const char* name, int line, const char* text, SettingsEdit edit) {
            QTest::newRow(name) << line << QString::fromUtf8(text) << true << edit;
        };
        const auto refused = [](const char* name, int line, const char* text) {
            QTest::newRow(name) << line << QString::fromUtf8(text) << false << SettingsEdit();
        };
        row("window position ignored", 2, "left", [](BatchSettings&) {});
        row("font size kept as text", 5, "big", [](BatchSettings& s) { s.fontSize = "big"; });
        row("style kept unchecked", 6, "Bold Italic",
            [](BatchSettings& s) { s.fontStyle = "Bold Italic"; });
        row("outline width not limited", 9, "9", [](BatchSettings& s) { s.outlineWidth = "9"; });
        row("position kept unchecked", 10, "bottom right",
            [](BatchSettings& s) { s.position = "bottom right"; });
        row("custom maximum kept as text", 14, "0", [](BatchSettings& s) { s.customXMax = "0"; });
        row("custom position kept as text", 15, "x", [](BatchSettings& s) { s.customX = "x"; });
        row("border kept as text", 18, "wide", [](BatchSettings& s) { s.borderWidth = "wide"; });
        row("opacity kept as text", 19, "half", [](BatchSettings& s) { s.opacity = "half"; });
        row("quality marker", 20, "-1-", [](BatchSettings& s) { s.jpegQuality = "95"; });
        row("quality kept as text", 20, "best", [](BatchSettings& s) { s.jpegQuality = "best"; });
        row("other date marker -2-", 21, "-2-", [](BatchSettings& s) { s.dateFormatOther = 0; });
        row("other date marker -1-", 21, "-1-", [](BatchSettings& s) { s.dateFormatOther = 0; });
        row("proportional marker", 22, "-3-", [](BatchSettings& s) {
            s.proportionalSize = false;
            s.referenceHeight = 768;
        });
        row("proportional off", 22, "0,500", [](BatchSettings& s) {
            s.proportionalSize = false;
            s.referenceHeight = 500;
        });
        row("brightness marker", 23, "-4-", [](BatchSettings& s) { s.brightness = 255; });
        row("contrast marker", 24, "-5-", [](BatchSettings& s) { s.contrast = 255; });
        row("effect marker kept", 25, "-6-", [](BatchSettings& s) { s.effect = "-6-"; });
        row("effect in capitals kept", 25, "Sepia", [](BatchSettings& s) { s.effect = "Sepia"; });
        row("sepia marker", 26, "-7-", [](BatchSettings& s) { s.sepiaLevel = 45; });
        row("keep flags marker", 27, "-8-", [](BatchSettings& s) { s.keepFlags = "1111"; });
        row("keep flags as written", 27, "1x", [](BatchSettings& s) { s.keepFlags = "1x"; });
        refused("header", 1, "Orvane Tessarine 2.0");
        refused("text colour", 7, "red");
        refused("outline colour", 8, "");
        refused("date format", 11, "8.0");
        refused("other date format", 21, "-3-");
        refused("proportional without comma", 22, "-1");
        refused("reference height", 22, "-1,tall");
        refused("brightness", 23, "bright");
        refused("sepia level", 26, "4 5");
        refused("check mark", 41, "maybe");
    }
    void profileLine()
    {
        QFETCH(int, line);
        QFETCH(QString, text);
        QFETCH(bool, readable);
        QFETCH(SettingsEdit, expected);
        QStringList lines = profileLines(everyFieldSet());
        QVERIFY(line <= lines.size());
        lines[line - 1] = text;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tsrx"));
        writeProfile(path, lines);

        const std::optional<BatchSettings> read = readBatchProfile(path);
        QCOMPARE(read.has_value(), readable);
        if (readable) {
            BatchSettings want = batchSettingsFromAttributes(everyFieldSet());
            expected(want);
            QCOMPARE(*read, want);
        }
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("line over 64 KB")
            << (test::profileLines(everyFieldSet()).join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n") + QString(65537, u'x') + QStringLiteral("\r\n1\r\n"))
                   .toUtf8();
        QTest::newRow("header with more text") << QByteArray("Orvane Tessarine 1.0 beta\r\n");
        QTest::newRow("header only") << QByteArray("Orvane Tessarine 1.0\r\n");
        QTest::newRow("mask without its check mark")
            << (test::profileLines(StampAttributes()).join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n[make_exif]\r\n"))
                   .toUtf8();
    }
    void unreadableFiles()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tsrx"));
        test::writeBytes(path, bytes);
        QVERIFY(!readBatchProfile(path));
        QVERIFY(!readBatchProfile(dir.filePath(QStringLiteral("missing.tsrx"))));
        QVERIFY(!readBatchProfile(dir.path())); // a folder
    }

    /// A file of the first format ends after line 19 and goes on with the twelve marker
    /// lines: the later fields get their marker values, the effect line holds a marker, and
    /// every stamp text entry after "-12-" is read.
    void olderShorterProfile()
    {
        QStringList lines = profileLines(StampAttributes()).mid(0, 19);
        for (int k = 1; k <= 12; ++k)
            lines.append(QStringLiteral("-%1-").arg(k));
        lines << "[make_exif]"
              << "-1"
              << "second"
              << "0";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.tsrx"));
        writeProfile(path, lines);

        const std::optional<BatchSettings> read = readBatchProfile(path);
        QVERIFY(read);
        QCOMPARE(read->jpegQuality, QStringLiteral("95"));
        QCOMPARE(read->dateFormatOther, 0);
        QVERIFY(!read->proportionalSize);
        QCOMPARE(read->referenceHeight, 768);
        QCOMPARE(read->brightness, 255);
        QCOMPARE(read->contrast, 255);
        QCOMPARE(read->effect, QStringLiteral("-6-"));
        QCOMPARE(read->sepiaLevel, 45);
        QCOMPARE(read->keepFlags, QStringLiteral("1111"));
        QCOMPARE(read->stampTexts, (QList<StampText>{{"[make_exif]", true}, {"second", false}}));
    }

    /// LF and CR line ends read like CR LF, a UTF-8 byte-order mark in front is dropped;
    /// the file's own entries are the whole list.
    void lineEnds_data()
    {
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<QString>("start");
        QTest::newRow("CR LF") << "\r\n"
                               << "";
        QTest::newRow("LF") << "\n"
                            << "";
        QTest::newRow("CR") << "\r"
                            << "";
        QTest::newRow("byte-order mark, CR LF") << "\r\n"
                                                << "\uFEFF";
    }
    void lineEnds()
    {
        QFETCH(QString, lineEnd);
        QFETCH(QString, start);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tsrx"));
        test::writeBytes(path, (start + profileLines(everyFieldSet()).join(lineEnd)).toUtf8());
        const std::optional<BatchSettings> read = readBatchProfile(path);
        QVERIFY(read);
        QCOMPARE(*read, batchSettingsFromAttributes(everyFieldSet()));
    }
};

TESS_TEST_MAIN(TestBatchSettings)
#include "test_batchsettings.moc"
