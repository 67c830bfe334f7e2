#include "profiles/AttributeProfile.h"
#include "tests/support/TestAttributes.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <sys/resource.h>

using namespace tess;
using namespace tess::profiles;
using tess::test::everyFieldSet;
using tess::test::writeFile;

Q_DECLARE_METATYPE(tess::StampAttributes)

namespace {

/// Every call the reader makes, in order.
class RecordingTarget : public ProfileTarget
{
public:
    QStringList calls;

    void setWindowPosition(int left, int top) override
    {
        record(u"setWindowPosition(%1,%2)", left, top);
    }
    void setFontName(const QString& name) override { record(u"setFontName(%1)", name); }
    void setFontSize(int size) override { record(u"setFontSize(%1)", size); }
    void setFontStyle(bool bold, bool italic) override
    {
        record(u"setFontStyle(%1,%2)", bold, italic);
    }
    void setTextColor(quint32 color) override { record(u"setTextColor(%1)", color); }
    void setOutlineColor(quint32 color) override { record(u"setOutlineColor(%1)", color); }
    void setOutlineWidth(int width) override { record(u"setOutlineWidth(%1)", width); }
    void setDateFormatDateTime(int i) override { record(u"setDateFormatDateTime(%1)", i); }
    void setDateFormatOriginal(int i) override { record(u"setDateFormatOriginal(%1)", i); }
    void setDateFormatCreated(int i) override { record(u"setDateFormatCreated(%1)", i); }
    void setDateFormatOther(int i) override { record(u"setDateFormatOther(%1)", i); }
    void setHorizontalTrackBarMax(int v) override { record(u"setHorizontalTrackBarMax(%1)", v); }
    void setHorizontalTrackBarPosition(int v) override
    {
        record(u"setHorizontalTrackBarPosition(%1)", v);
    }
    void setVerticalTrackBarMax(int v) override { record(u"setVerticalTrackBarMax(%1)", v); }
    void setVerticalTrackBarPosition(int v) override
    {
        record(u"setVerticalTrackBarPosition(%1)", v);
    }
    void setBorderWidth(int v) override { record(u"setBorderWidth(%1)", v); }
    void setOpacity(int v) override { record(u"setOpacity(%1)", v); }
    void setJpegQuality(int v) override { record(u"setJpegQuality(%1)", v); }
    void setProportionalSize(bool on, int height) override
    {
        record(u"setProportionalSize(%1,%2)", on, height);
    }
    void setBrightness(int v) override { record(u"setBrightness(%1)", v); }
    void setContrast(int v) override { record(u"setContrast(%1)", v); }
    void resetEffect() override { calls << QStringLiteral("resetEffect()"); }
    void selectEffect(PhotoEffect e) override { record(u"selectEffect(%1)", photoEffectName(e)); }
    void setSepiaLevel(int v) override { record(u"setSepiaLevel(%1)", v); }
    void setKeepFlags(const QString& flags) override { record(u"setKeepFlags(%1)", flags); }
    void addStampText(const QString& mask) override { record(u"addStampText(%1)", mask); }
    void setLastStampTextTicked(bool t) override { record(u"setLastStampTextTicked(%1)", t); }
    void applyHeldPosition(const QString& p) override { record(u"applyHeldPosition(%1)", p); }
    void recover() override { calls << QStringLiteral("recover()"); }

private:
    static QString arg(const QString& s) { return s; }
    static QString arg(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }
    static QString arg(qint64 n) { return QString::number(n); }
    static QString arg(int n) { return QString::number(n); }
    static QString arg(quint32 n) { return QString::number(n); }

    template <typename... Args> void record(QStringView pattern, Args... args)
    {
        QString text = pattern.toString();
        ((text = text.arg(arg(args))), ...);
        calls << text;
    }
};

QByteArray joinLines(const QList<QByteArray>& lines, const QByteArray& eol = "\r\n")
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + eol;
    return out;
}

QList<QByteArray> markerLines(int from = 1)
{
    QList<QByteArray> lines;
    for (int k = from; k <= 12; ++k)
        lines << '-' + QByteArray::number(k) + '-';
    return lines;
}

/// A complete profile with two stamp text entries: 43 lines.
QList<QByteArray> standardLines()
{
    QList<QByteArray> lines = {"Orvane Tessarine 1.0",
                               "100",
                               "50",
                               "Verdana",
                               "24",
                               "Bold",
                               "255",
                               "16711680",
                               "3",
                               "Top Left",
                               "1",
                               "2",
                               "3",
                               "640",
                               "320",
                               "480",
                               "240",
                               "7",
                               "204",
                               "85",
                               "4",
                               "-1,1024",
                               "300",
                               "200",
                               "greyscale",
                               "60",
                               "1010"};
    lines << markerLines();
    lines << "[filename]"
          << "-1"
          << "Second"
          << "0";
    return lines;
}

QList<QByteArray> withLine(QList<QByteArray> lines, int number, const QByteArray& value)
{
    lines[number - 1] = value;
    return lines;
}

/// What the reader starts from: values unlike those of the standard file.
StampAttributes base()
{
    StampAttributes a = startupStampAttributes();
    a.windowLeft = -1;
    a.windowTop = -2;
    a.italic = true;
    a.outlineWidth = 5;
    a.position = positions::BottomLeft;
    a.customX = 3;
    a.customY = 4;
    a.effect = PhotoEffect::Flaxen;
    a.stampTexts = {{QStringLiteral("existing"), true}};
    return a;
}

constexpr int Complete = 1000;

/// `base()` after the lines of the standard file up to `lastLine` were applied; the
/// held position only when the whole file was read.
StampAttributes standardAfter(int lastLine, bool withWindow = true)
{
    StampAttributes a = base();
    const auto read = [lastLine](int line) { return line <= lastLine; };
    if (read(3) && withWindow) {
        a.windowLeft = 100;
        a.windowTop = 50;
    }
    if (read(4))
        a.fontName = QStringLiteral("Verdana");
    if (read(5))
        a.fontSize = 24;
    if (read(6)) {
        a.bold = true;
        a.italic = false;
    }
    if (read(7))
        a.textColor = 255;
    if (read(8))
        a.outlineColor = 0xFF0000;
    if (read(9))
        a.outlineWidth = 3;
    if (read(11))
        a.dateFormatDateTime = 1;
    if (read(12))
        a.dateFormatOriginal = 2;
    if (read(13))
        a.dateFormatCreated = 3;
    if (read(14))
        a.customXMax = 640;
    if (read(15)) {
        a.customX = 320;
        a.position = positions::Custom;
    }
    if (read(16))
        a.customYMax = 480;
    if (read(17))
        a.customY = 240;
    if (read(18))
        a.borderWidth = 7;
    if (read(19))
        a.opacity = 204;
    if (read(20))
        a.jpegQuality = 85;
    if (read(21))
        a.dateFormatOther = 4;
    if (read(22)) {
        a.proportionalSize = true;
        a.referenceHeight = 1024;
    }
    if (read(23))
        a.brightness = 300;
    if (read(24))
        a.contrast = 200;
    if (read(25))
        a.effect = PhotoEffect::Greyscale;
    if (read(26))
        a.sepiaLevel = 60;
    if (read(27))
        a.keepFlags = QStringLiteral("1010");
    if (read(40))
        a.stampTexts.append({QStringLiteral("[filename]"), false});
    if (read(41))
        a.stampTexts.last().ticked = true;
    if (read(42))
        a.stampTexts.append({QStringLiteral("Second"), false});
    if (lastLine == Complete)
        a.position = positions::TopLeft;
    return a;
}

StampAttributes recovered(StampAttributes a)
{
    a.outlineWidth = 0;
    return a;
}

QStringList standardCalls()
{
    return {QStringLiteral("setWindowPosition(100,50)"),
            QStringLiteral("setFontName(Verdana)"),
            QStringLiteral("setFontSize(24)"),
            QStringLiteral("setFontStyle(1,0)"),
            QStringLiteral("setTextColor(255)"),
            QStringLiteral("setOutlineColor(16711680)"),
            QStringLiteral("setOutlineWidth(3)"),
            QStringLiteral("setDateFormatDateTime(1)"),
            QStringLiteral("setDateFormatOriginal(2)"),
            QStringLiteral("setDateFormatCreated(3)"),
            QStringLiteral("setHorizontalTrackBarMax(640)"),
            QStringLiteral("setHorizontalTrackBarPosition(320)"),
            QStringLiteral("setVerticalTrackBarMax(480)"),
            QStringLiteral("setVerticalTrackBarPosition(240)"),
            QStringLiteral("setBorderWidth(7)"),
            QStringLiteral("setOpacity(204)"),
            QStringLiteral("setJpegQuality(85)"),
            QStringLiteral("setDateFormatOther(4)"),
            QStringLiteral("setProportionalSize(1,1024)"),
            QStringLiteral("setBrightness(300)"),
            QStringLiteral("setContrast(200)"),
            QStringLiteral("resetEffect()"),
            QStringLiteral("selectEffect(greyscale)"),
            QStringLiteral("setSepiaLevel(60)"),
            QStringLiteral("setKeepFlags(1010)"),
            QStringLiteral("addStampText([filename])"),
            QStringLiteral("setLastStampTextTicked(1)"),
            QStringLiteral("addStampText(Second)"),
            QStringLiteral("setLastStampTextTicked(0)"),
            QStringLiteral("applyHeldPosition(Top Left)")};
}

/// The calls of the standard file up to and including the one starting with `last`.
QStringList standardCallsUpTo(const QString& last)
{
    QStringList calls = standardCalls();
    while (!calls.isEmpty() && !calls.last().startsWith(last))
        calls.removeLast();
    return calls;
}

/// One field per line, so a failed comparison shows which field differs.
QString describe(const StampAttributes& a)
{
    QStringList s;
    s << QStringLiteral("window %1,%2").arg(a.windowLeft).arg(a.windowTop)
      << QStringLiteral("font %1 %2 bold=%3 italic=%4")
             .arg(a.fontName)
             .arg(a.fontSize)
             .arg(a.bold)
             .arg(a.italic)
      << QStringLiteral("colours %1 %2 outline %3")
             .arg(a.textColor)
             .arg(a.outlineColor)
             .arg(a.outlineWidth)
      << QStringLiteral("position %1").arg(a.position)
      << QStringLiteral("custom %1/%2 %3/%4")
             .arg(a.customX)
             .arg(a.customXMax)
             .arg(a.customY)
             .arg(a.customYMax)
      << QStringLiteral("border %1 opacity %2 quality %3")
             .arg(a.borderWidth)
             .arg(a.opacity)
             .arg(a.jpegQuality)
      << QStringLiteral("dates %1 %2 %3 %4")
             .arg(a.dateFormatDateTime)
             .arg(a.dateFormatOriginal)
             .arg(a.dateFormatCreated)
             .arg(a.dateFormatOther)
      << QStringLiteral("proportional %1 %2").arg(a.proportionalSize).arg(a.referenceHeight)
      << QStringLiteral("brightness %1 contrast %2").arg(a.brightness).arg(a.contrast)
      << QStringLiteral("effect %1 sepia %2 keep %3")
             .arg(photoEffectName(a.effect))
             .arg(a.sepiaLevel)
             .arg(a.keepFlags);
    for (const StampText& t : a.stampTexts)
        s << QStringLiteral("entry [%1] %2").arg(t.mask).arg(t.ticked);
    return s.join(u'\n');
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripKeepsEveryField_data()
    {
        QTest::addColumn<StampAttributes>("attributes");
        QTest::newRow("every field set") << everyFieldSet();
        StampAttributes italic = everyFieldSet();
        italic.bold = false;
        italic.effect = PhotoEffect::Sepia;
        italic.position = positions::Custom;
        italic.stampTexts.clear();
        QTest::newRow("italic, sepia, custom, empty list") << italic;
        StampAttributes regular = everyFieldSet();
        regular.bold = regular.italic = false;
        regular.effect = PhotoEffect::None;
        regular.position = positions::Centre;
        QTest::newRow("regular, no effect") << regular;
        StampAttributes bold = startupStampAttributes();
        bold.bold = true;
        bold.effect = PhotoEffect::Flaxen;
        bold.textColor = 0xFFFFFFFF; // beyond 24 bits: written as the signed number
        bold.customX = bold.customXMax = 0;
        QTest::newRow("bold, flaxen, start values") << bold;
    }

    void roundTripKeepsEveryField()
    {
        QFETCH(StampAttributes, attributes);
        QTemporaryDir dir;
        // An older, longer file is replaced, not overwritten in place.
        const QString path =
            writeFile(dir, QStringLiteral("p.tsrx"), QByteArray(100000, 'x') + "\r\n");
        QVERIFY(!path.isEmpty());
        QVERIFY(writeAttributeProfile(path, attributes).ok());
        QCOMPARE(test::readFile(path), profileBytes(attributes));

        StampAttributes read = startupStampAttributes();
        AttributesTarget target(read);
        QVERIFY(loadAttributeProfile(path, target, true));
        QVERIFY(!target.recovered());
        QCOMPARE(describe(read), describe(attributes));
        QVERIFY(read == attributes);

        // Without the window position the window stays where it is.
        StampAttributes placed = startupStampAttributes();
        placed.windowLeft = 11;
        placed.windowTop = 22;
        AttributesTarget placedTarget(placed);
        QVERIFY(loadAttributeProfile(path, placedTarget, false));
        StampAttributes expected = attributes;
        expected.windowLeft = 11;
        expected.windowTop = 22;
        QCOMPARE(describe(placed), describe(expected));
    }

    void writtenBytesMatchHandWrittenFixtures_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<StampAttributes>("attributes");
        QTest::addColumn<int>("lineCount");

        StampAttributes empty;
        empty.windowLeft = -8;
        empty.windowTop = 1200;
        empty.italic = true;
        empty.outlineColor = 0xFFFFFF;
        empty.outlineWidth = 2;
        empty.position = positions::Centre;
        empty.dateFormatOriginal = 8;
        empty.dateFormatCreated = 4;
        empty.opacity = 153;
        QTest::newRow("empty list") << QStringLiteral("empty-list.tsrx") << empty << 39;

        StampAttributes two;
        two.windowLeft = 300;
        two.windowTop = -40;
        two.fontName = QStringLiteral("Times New Roman");
        two.fontSize = 36;
        two.bold = two.italic = true;
        two.textColor = 0x00FF00;
        two.outlineColor = 0xC0C0C0;
        two.outlineWidth = 5;
        two.position = positions::Custom;
        two.dateFormatDateTime = 3;
        two.dateFormatOriginal = 1;
        two.dateFormatCreated = 2;
        two.customXMax = 2000;
        two.customX = 1000;
        two.customYMax = 1500;
        two.customY = 750;
        two.borderWidth = 12;
        two.opacity = 100;
        two.jpegQuality = 70;
        two.dateFormatOther = 6;
        two.proportionalSize = true;
        two.referenceHeight = 1080;
        two.brightness = 310;
        two.contrast = 180;
        two.effect = PhotoEffect::Sepia;
        two.sepiaLevel = 60;
        two.keepFlags = QStringLiteral("1010");
        two.stampTexts = {{QStringLiteral("[datetime_exif] [filename]"), true},
                          {QStringLiteral("© Café"), false}};
        QTest::newRow("two entries") << QStringLiteral("two-entries.tsrx") << two << 43;
    }

    void writtenBytesMatchHandWrittenFixtures()
    {
        QFETCH(QString, fixture);
        QFETCH(StampAttributes, attributes);
        QFETCH(int, lineCount);
        const QString fixturePath = QFINDTESTDATA(QStringLiteral("fixtures/") + fixture);
        QVERIFY(!fixturePath.isEmpty());
        const QByteArray expected = test::readFile(fixturePath);
        QCOMPARE(expected.count("\r\n"), lineCount);
        QVERIFY(expected.endsWith("\r\n"));

        QTemporaryDir dir;
        const QString path = dir.filePath(fixture);
        QVERIFY(writeAttributeProfile(path, attributes).ok());
        QCOMPARE(test::readFile(path), expected);

        // And the reader, independently of the writer, gives the record back.
        const std::optional<StampAttributes> read =
            readProfileAttributes(fixturePath, startupStampAttributes());
        QVERIFY(read.has_value());
        StampAttributes withoutWindow = attributes;
        withoutWindow.windowLeft = withoutWindow.windowTop = 0;
        QCOMPARE(describe(*read), describe(withoutWindow));
    }

    void readingAppliesTheLineRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("withWindow");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<StampAttributes>("expected");

        const QList<QByteArray> standard = standardLines();
        const auto row = [](const char* name, const QList<QByteArray>& lines) -> QTestData& {
            return QTest::newRow(name) << joinLines(lines) << true;
        };

        row("standard", standard) << true << standardAfter(Complete);
        QTest::newRow("LF only") << joinLines(standard, "\n") << true << true
                                 << standardAfter(Complete);
        QTest::newRow("CR only") << joinLines(standard, "\r") << true << true
                                 << standardAfter(Complete);
        QTest::newRow("no break after the last line")
            << joinLines(standard).chopped(2) << true << true << standardAfter(Complete);
        {
            QList<QByteArray> lines = standard;
            lines[1] = "not a number";
            QTest::newRow("window position ignored unread")
                << joinLines(lines) << false << true << standardAfter(Complete, false);
        }

        // Older, shorter files: markers in place of the later value lines.
        {
            QList<QByteArray> lines = standard.mid(0, 19);
            lines << markerLines() << "[filename]"
                  << "-1"
                  << "Second"
                  << "0";
            StampAttributes e = standardAfter(19);
            e.jpegQuality = 95;
            e.dateFormatOther = 0;
            e.proportionalSize = false;
            e.referenceHeight = 768;
            e.brightness = e.contrast = 255;
            e.effect = PhotoEffect::None;
            e.sepiaLevel = 45;
            e.keepFlags = QStringLiteral("1111");
            e.stampTexts = standardAfter(Complete).stampTexts;
            e.position = positions::TopLeft;
            row("markers from line 20", lines) << true << e;
        }
        {
            QList<QByteArray> lines = standard.mid(0, 23);
            lines << markerLines() << "[filename]"
                  << "-1"
                  << "Second"
                  << "0";
            StampAttributes e = standardAfter(Complete);
            e.contrast = 255;
            e.effect = PhotoEffect::None;
            e.sepiaLevel = 45;
            e.keepFlags = QStringLiteral("1111");
            row("markers from line 24", lines) << true << e;
        }
        {
            StampAttributes e = standardAfter(Complete);
            e.stampTexts.insert(1, {QStringLiteral("-12-"), true});
            QList<QByteArray> lines = standard;
            lines.insert(39, "-12-");
            lines.insert(40, "TRUE");
            row("a mask that looks like a marker", lines) << true << e;
        }

        const auto changed = [](StampAttributes a, auto change) {
            change(a);
            return a;
        };
        const StampAttributes full = standardAfter(Complete);
        const std::pair<const char*, int> widths[] = {{"7", 1}, {"1", 1}, {"-3", 1}, {"0", 0}};
        for (const auto& width : widths) {
            const QByteArray name = QByteArray("outline width ") + width.first;
            const int expected = width.second;
            row(name.constData(), withLine(standard, 9, width.first))
                << true << changed(full, [=](StampAttributes& a) { a.outlineWidth = expected; });
        }
        row("opacity 100", withLine(standard, 19, "100"))
            << true << changed(full, [](StampAttributes& a) { a.opacity = 100; });
        row("style in lower case", withLine(standard, 6, "bold"))
            << true << changed(full, [](StampAttributes& a) {
                   a.bold = false;
                   a.italic = true; // as before the read
               });
        row("style Italic", withLine(standard, 6, "Italic"))
            << true << changed(full, [](StampAttributes& a) {
                   a.bold = false;
                   a.italic = true;
               });
        row("effect capitalised", withLine(standard, 25, "Sepia"))
            << true << changed(full, [](StampAttributes& a) { a.effect = PhotoEffect::None; });
        row("effect sepia", withLine(standard, 25, "sepia"))
            << true << changed(full, [](StampAttributes& a) { a.effect = PhotoEffect::Sepia; });
        row("brightness -20", withLine(standard, 23, "-20"))
            << true << changed(full, [](StampAttributes& a) { a.brightness = 255; });
        row("position beyond the maximum", withLine(standard, 15, "900"))
            << true << changed(full, [](StampAttributes& a) { a.customX = 640; });
        row("negative maximum ignored", withLine(standard, 16, "-480"))
            << true << changed(full, [](StampAttributes& a) {
                   a.customYMax = 10;
                   a.customY = 10;
               });
        row("Custom with 120 and 80",
            withLine(withLine(withLine(standard, 10, "Custom"), 15, "120"), 17, "80"))
            << true << changed(full, [](StampAttributes& a) {
                   a.position = positions::Custom;
                   a.customX = 120;
                   a.customY = 80;
               });
        row("unknown position held unchecked", withLine(standard, 10, "Middle"))
            << true << changed(full, [](StampAttributes& a) { a.position = "Middle"; });
        row("keep flags kept as they are", withLine(standard, 27, "1x"))
            << true << changed(full, [](StampAttributes& a) { a.keepFlags = "1x"; });
        row("booleans as words", withLine(withLine(standard, 22, "true,1024"), 41, "fAlSe"))
            << true << changed(full, [](StampAttributes& a) { a.stampTexts[1].ticked = false; });
        row("Windows-1252 mask", withLine(standard, 42, "Caf\xE9 \x80 \x93x\x94"))
            << true << changed(full, [](StampAttributes& a) {
                   a.stampTexts[2].mask = QStringLiteral("Café € “x”");
               });
        row("UTF-8 mask", withLine(standard, 42, "Caf\xC3\xA9 \xE2\x82\xAC"))
            << true << changed(full, [](StampAttributes& a) { a.stampTexts[2].mask = "Café €"; });
        row("smallest 32-bit number", withLine(standard, 18, "-2147483648"))
            << true << changed(full, [](StampAttributes& a) { a.borderWidth = INT_MIN; });

        // Failures: what was read before the failing line stays, then the recovery.
        row("2^31 is too large", withLine(standard, 5, "2147483648"))
            << false << recovered(standardAfter(4));
        row("line 22 without a height", withLine(standard, 22, "-1"))
            << false << recovered(standardAfter(21));
        row("line 22 with a bad height", withLine(standard, 22, "-1,1024px"))
            << false << recovered(standardAfter(21));
        row("line 20 empty", withLine(standard, 20, "")) << false << recovered(standardAfter(19));
        row("number with a blank", withLine(standard, 7, " 255"))
            << false << recovered(standardAfter(6));
        row("header with a trailing blank", withLine(standard, 1, "Orvane Tessarine 1.0 "))
            << false << recovered(base());
        row("header in another case", withLine(standard, 1, "orvane tessarine 1.0"))
            << false << recovered(base());
        row("byte-order mark before the header",
            withLine(standard, 1, "\xEF\xBB\xBFOrvane Tessarine 1.0"))
            << true << full;
        row("mask of 64 K characters", withLine(standard, 42, QByteArray(65536, 'm')))
            << true << changed(full, [](StampAttributes& a) {
                   a.stampTexts[2].mask = QString(65536, u'm');
               });
        row("mask of 64 K characters in UTF-8",
            withLine(standard, 42, QByteArray(65536, 'e').replace("e", "\xC3\xA9")))
            << true << changed(full, [](StampAttributes& a) {
                   a.stampTexts[2].mask = QString(65536, u'é');
               });
        row("mask one character over 64 K", withLine(standard, 42, QByteArray(65537, 'm')))
            << false << recovered(base());
        row("font name over 64 K characters", withLine(standard, 4, QByteArray(100000, 'f')))
            << false << recovered(base());
        row("byte-order mark after the header",
            withLine(standard, 1, "Orvane Tessarine 1.0\xEF\xBB\xBF"))
            << false << recovered(base());
        row("byte-order mark opening line 2", withLine(standard, 2,
                                                       "\xEF\xBB\xBF"
                                                       "100"))
            << false << recovered(base());
        {
            QList<QByteArray> lines = standard;
            lines << "";
            StampAttributes e = recovered(standardAfter(43));
            e.stampTexts.append({QString(), false});
            row("empty line after the last check mark", lines) << false << e;
        }
        row("check mark not a boolean", withLine(standard, 41, "yes"))
            << false << recovered(standardAfter(40));
        QTest::newRow("empty file") << QByteArray() << true << false << recovered(base());
        QTest::newRow("binary") << QByteArray("\x00\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 12) << true
                                << false << recovered(base());
        QTest::newRow("header only")
            << QByteArray("Orvane Tessarine 1.0") << true << false << recovered(base());
    }

    void readingAppliesTheLineRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, withWindow);
        QFETCH(bool, ok);
        QFETCH(StampAttributes, expected);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("p.tsrx"), file);
        QVERIFY(!path.isEmpty());

        StampAttributes read = base();
        AttributesTarget target(read);
        QCOMPARE(loadAttributeProfile(path, target, withWindow), ok);
        QCOMPARE(target.recovered(), !ok);
        QCOMPARE(describe(read), describe(expected));
    }

    void readerCallsTheTargetInFileOrder_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("withWindow");
        QTest::addColumn<QStringList>("calls");

        const QList<QByteArray> standard = standardLines();
        const QStringList calls = standardCalls();
        QTest::newRow("standard") << joinLines(standard) << true << calls;

        QStringList noWindow = calls;
        noWindow.removeFirst();
        QTest::newRow("without window position") << joinLines(standard) << false << noWindow;

        QStringList raw = calls;
        raw.replace(10, QStringLiteral("setHorizontalTrackBarMax(-5)"));
        raw.replace(11, QStringLiteral("setHorizontalTrackBarPosition(900)"));
        raw.replace(6, QStringLiteral("setOutlineWidth(-3)"));
        QTest::newRow("raw values passed on")
            << joinLines(withLine(withLine(withLine(standard, 14, "-5"), 15, "900"), 9, "-3"))
            << true << raw;

        QStringList noStyle = calls;
        noStyle.removeAt(3);
        QTest::newRow("unknown style: no call")
            << joinLines(withLine(standard, 6, "Bold Italic")) << true << noStyle;

        QStringList none = calls;
        none.removeAt(22);
        QTest::newRow("effect none: reset only")
            << joinLines(withLine(standard, 25, "none")) << true << none;

        QTest::newRow("failure ends with the recovery")
            << joinLines(withLine(standard, 22, "-1")) << true
            << (standardCallsUpTo(QStringLiteral("setDateFormatOther")) << "recover()");
        QTest::newRow("missing check mark")
            << joinLines(standard.mid(0, 42)) << true
            << (standardCallsUpTo(QStringLiteral("addStampText(Second)")) << "recover()");
        QTest::newRow("no such file") << QByteArray() << true << QStringList{"recover()"};
    }

    void readerCallsTheTargetInFileOrder()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, withWindow);
        QFETCH(QStringList, calls);
        QTemporaryDir dir;
        const QString path = file.isEmpty() ? dir.filePath(QStringLiteral("missing.tsrx"))
                                            : writeFile(dir, QStringLiteral("p.tsrx"), file);
        RecordingTarget target;
        const bool ok = loadAttributeProfile(path, target, withWindow);
        QCOMPARE(target.calls, calls);
        QCOMPARE(ok, !calls.endsWith(QStringLiteral("recover()")));
    }

    void truncatedProfilesNeverCrash_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("ok");
        const int total = int(standardLines().size());
        for (int n = 0; n <= total; ++n) {
            // Past the end every line reads as empty: fine for the keep flags (line 27),
            // the markers and the end of the list, a conversion error for numbers and for
            // a missing check mark.
            const bool ok = n >= 26 && n != 40 && n != 42;
            QTest::addRow("%d lines", n) << n << ok;
        }
    }

    void truncatedProfilesNeverCrash()
    {
        QFETCH(int, lines);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        const QByteArray full = joinLines(standardLines());
        qsizetype end = 0;
        for (int i = 0; i < lines; ++i)
            end = full.indexOf("\r\n", end) + 2;
        const QString path = writeFile(dir, QStringLiteral("p.tsrx"), full.left(end));
        RecordingTarget target;
        QCOMPARE(loadAttributeProfile(path, target, true), ok);
        QCOMPARE(target.calls.last(),
                 ok ? QStringLiteral("applyHeldPosition(Top Left)") : QStringLiteral("recover()"));
        // Cut one character into the next line: the outcome is reported either way.
        const QString cut = writeFile(dir, QStringLiteral("cut.tsrx"), full.left(end + 1));
        StampAttributes read = base();
        AttributesTarget plain(read);
        const bool cutOk = loadAttributeProfile(cut, plain, true);
        QCOMPARE(cutOk, !plain.recovered());
    }

    void trackBarRules_data()
    {
        QTest::addColumn<int>("startMax");
        QTest::addColumn<int>("startPosition");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("endMax");
        QTest::addColumn<int>("endPosition");
        QTest::addColumn<bool>("custom");
        QTest::newRow("raised maximum, same position") << 10 << 0 << 640 << 0 << 640 << 0 << false;
        QTest::newRow("position moves") << 10 << 0 << 640 << 320 << 640 << 320 << true;
        QTest::newRow("position above maximum") << 10 << 0 << 640 << 900 << 640 << 640 << true;
        QTest::newRow("position below 0") << 10 << 5 << 640 << -5 << 640 << 0 << true;
        QTest::newRow("maximum below 0 ignored") << 10 << 5 << -1 << 7 << 10 << 7 << true;
        QTest::newRow("lower maximum pulls position down")
            << 1000 << 500 << 300 << 300 << 300 << 300 << true;
        QTest::newRow("maximum 0") << 10 << 0 << 0 << 0 << 0 << 0 << false;
    }

    void trackBarRules()
    {
        QFETCH(int, startMax);
        QFETCH(int, startPosition);
        QFETCH(int, max);
        QFETCH(int, position);
        QFETCH(int, endMax);
        QFETCH(int, endPosition);
        QFETCH(bool, custom);
        StampAttributes a;
        a.customXMax = a.customYMax = startMax;
        a.customX = a.customY = startPosition;
        AttributesTarget target(a);
        target.setHorizontalTrackBarMax(max);
        target.setHorizontalTrackBarPosition(position);
        QCOMPARE(a.customXMax, endMax);
        QCOMPARE(a.customX, endPosition);
        QCOMPARE(a.position, custom ? positions::Custom : positions::BottomRight);
        a.position = positions::BottomRight;
        target.setVerticalTrackBarMax(max);
        target.setVerticalTrackBarPosition(position);
        QCOMPARE(a.customYMax, endMax);
        QCOMPARE(a.customY, endPosition);
        QCOMPARE(a.position, custom ? positions::Custom : positions::BottomRight);
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("integer"); // "" for a conversion error
        QTest::addColumn<QString>("boolean"); // "true", "false" or ""
        QTest::newRow("zero") << "0"
                              << "0"
                              << "false";
        QTest::newRow("minus one") << "-1"
                                   << "-1"
                                   << "true";
        QTest::newRow("plus sign") << "+5"
                                   << "5"
                                   << "true";
        QTest::newRow("leading zeros") << "007"
                                       << "7"
                                       << "true";
        QTest::newRow("largest") << "2147483647"
                                 << "2147483647"
                                 << "true";
        QTest::newRow("smallest") << "-2147483648"
                                  << "-2147483648"
                                  << "true";
        QTest::newRow("2^31") << "2147483648"
                              << ""
                              << "";
        QTest::newRow("below smallest") << "-2147483649"
                                        << ""
                                        << "";
        QTest::newRow("twenty digits") << "99999999999999999999"
                                       << ""
                                       << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("sign alone") << "-"
                                    << ""
                                    << "";
        QTest::newRow("leading blank") << " 1"
                                       << ""
                                       << "";
        QTest::newRow("trailing blank") << "1 "
                                        << ""
                                        << "";
        QTest::newRow("hexadecimal") << "0x10"
                                     << ""
                                     << "";
        QTest::newRow("decimal point") << "1.0"
                                       << ""
                                       << "";
        QTest::newRow("full-width digit") << "\uFF11"
                                          << ""
                                          << "";
        QTest::newRow("True") << "True"
                              << ""
                              << "true";
        QTest::newRow("FALSE") << "FALSE"
                               << ""
                               << "false";
        QTest::newRow("yes") << "yes"
                             << ""
                             << "";
        QTest::newRow("true with blank") << "true "
                                         << ""
                                         << "";
        QTest::newRow("long s") << "fal\u017Fe"
                                << ""
                                << "";
    }

    void conversions()
    {
        QFETCH(QString, text);
        QFETCH(QString, integer);
        QFETCH(QString, boolean);
        const std::optional<int> i = profileInteger(text);
        QCOMPARE(i ? QString::number(*i) : QString(), integer);
        const std::optional<bool> b = profileBoolean(text);
        QCOMPARE(b ? QString::fromLatin1(*b ? "true" : "false") : QString(), boolean);
    }

    void lineBreaksInValuesStayOnOneLine()
    {
        StampAttributes a;
        a.fontName = QStringLiteral("Bad\r\nFont");
        a.stampTexts = {{QStringLiteral("one\ntwo"), true}, {QStringLiteral("three\rfour"), false}};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.tsrx"));
        QVERIFY(writeAttributeProfile(path, a).ok());
        QCOMPARE(test::readFile(path).count("\r\n"), 39 + 4);
        const std::optional<StampAttributes> read = readProfileAttributes(path, StampAttributes{});
        QVERIFY(read.has_value());
        QCOMPARE(read->fontName, QStringLiteral("Bad  Font"));
        QCOMPARE(read->stampTexts, (QList<StampText>{{QStringLiteral("one two"), true},
                                                     {QStringLiteral("three four"), false}}));
    }

    void failedWriteLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("extraEntries");
        QTest::newRow("folder does not exist") << "missing" << 0;
        QTest::newRow("parent is a regular file") << "file" << 0;
        QTest::newRow("disk full") << "full" << 0;
        // Large enough to bypass the file's write buffer.
        QTest::newRow("disk full, long list") << "full" << 5000;
    }

    void failedWriteLeavesTheOldFile()
    {
        QFETCH(QString, where);
        QFETCH(int, extraEntries);
        QTemporaryDir dir;
        const QByteArray old = joinLines(standardLines());
        const QString existing = writeFile(dir, QStringLiteral("default.tsrx"), old);
        QVERIFY(!existing.isEmpty());
        StampAttributes a = everyFieldSet();
        for (int i = 0; i < extraEntries; ++i)
            a.stampTexts.append({QStringLiteral("[filename] %1").arg(i), true});

        ProfileWriteResult result;
        QString target;
        if (where == u"missing") {
            target = dir.filePath(QStringLiteral("no/such/folder/p.tsrx"));
            result = writeAttributeProfile(target, a);
        } else if (where == u"file") {
            target = existing + QStringLiteral("/p.tsrx");
            result = writeAttributeProfile(target, a);
        } else {
            // A file size limit fails the writes like a full disk, even for root.
            target = existing;
            rlimit saved{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit tiny = saved;
            tiny.rlim_cur = 64;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
            result = writeAttributeProfile(target, a);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previousHandler);
        }
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
        QVERIFY(!QFile::exists(target) || target == existing);
        QCOMPARE(test::readFile(existing), old);
        // Nothing left behind beside the profile.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("default.tsrx")});
    }

    void refusesWhatCannotBeAProfile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("device") << "device";
        QTest::newRow("over the size limit") << "huge";
    }

    void refusesWhatCannotBeAProfile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path;
        if (kind == u"folder") {
            path = dir.path();
        } else if (kind == u"device") {
            path = QStringLiteral("/dev/zero"); // endless: must not be read
        } else {
            path = dir.filePath(QStringLiteral("huge.tsrx"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(joinLines(standardLines())) > 0);
            QVERIFY(file.resize(MaxProfileBytes + 1)); // sparse, costs no disk
        }
        RecordingTarget target;
        QVERIFY(!loadAttributeProfile(path, target, true));
        QCOMPARE(target.calls, QStringList{QStringLiteral("recover()")});
    }

    void millionMaskLinesAreRead()
    {
        constexpr int Entries = 1000000;
        QList<QByteArray> head = standardLines().mid(0, 39);
        QByteArray file = joinLines(head);
        file.reserve(file.size() + Entries * 12);
        for (int i = 0; i < Entries; ++i) {
            file += "mask ";
            file += QByteArray::number(i % 10);
            file += i % 2 ? "\r\n0\r\n" : "\r\n-1\r\n";
        }
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("big.tsrx"), file);
        QVERIFY(!path.isEmpty());
        const std::optional<StampAttributes> read = readProfileAttributes(path, StampAttributes{});
        QVERIFY(read.has_value());
        QCOMPARE(read->stampTexts.size(), Entries);
        QCOMPARE(read->stampTexts.first(), (StampText{QStringLiteral("mask 0"), true}));
        QCOMPARE(read->stampTexts.last(), (StampText{QStringLiteral("mask 9"), false}));
        QCOMPARE(read->position, positions::TopLeft);
    }
};

TESS_TEST_MAIN(TestProfile)
#include "test_profile.moc"
