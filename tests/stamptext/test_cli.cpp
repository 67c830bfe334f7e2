#include "platform/Clock.h"
#include "stamptext/PhotoValues.h"
#include "stamptext/StampMask.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>

using namespace tess;

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
    QStringList lines() const
    {
        QStringList l = QString::fromUtf8(out).split(u'\n');
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }
};

Run runCli(const QStringList& args)
{
    QProcess cli;
    cli.start(QStringLiteral(TESS_CLI_PATH), args);
    Run run;
    if (!cli.waitForFinished(30000) || cli.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = cli.exitCode();
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    return run;
}

QString canon()
{
    return test::cameraPhoto(QStringLiteral("Canon_40D.jpg"));
}

// The table the program itself builds for \a path, at \a now.
stamptext::PhotoValueTable engineTable(const QString& path, const stamptext::DateFormats& formats,
                                       const QDateTime& now)
{
    const platform::SystemClock clock;
    return stamptext::readPhotoValues(path, QImageReader(path).size(), formats, now,
                                      {clock.dateSeparator(), clock.timeSeparator()});
}

// Lines of the table without the six clock entries, which depend on the moment of the run.
QStringList withoutClock(QStringList lines)
{
    static const QStringList clockTags = {"[dd]=", "[MM]=", "[yyyy]=", "[hh]=", "[mm]=", "[ss]="};
    lines.removeIf([](const QString& line) {
        for (const QString& tag : clockTags) {
            if (line.startsWith(tag))
                return true;
        }
        return false;
    });
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(tess::stamptext::DateFormats)

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void values_data()
    {
        QTest::addColumn<QString>("photo");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<stamptext::DateFormats>("formats");
        QTest::newRow("default formats") << canon() << QStringList() << stamptext::DateFormats{};
        QTest::newRow("four formats") << canon() << QStringList{"--date-formats", "4,1,2,7"}
                                      << stamptext::DateFormats{4, 1, 2, 7};
        QTest::newRow("option with '='") << canon() << QStringList{"--date-formats=3,5,6,8"}
                                         << stamptext::DateFormats{3, 5, 6, 8};
        QTest::newRow("index outside the table")
            << canon() << QStringList{"--date-formats", "9,0,0,12"}
            << stamptext::DateFormats{9, 0, 0, 12};
        QTest::newRow("no EXIF block")
            << test::cameraPhoto(QStringLiteral("exif-org-olympus-d320l.jpg")) << QStringList()
            << stamptext::DateFormats{};
        QTest::newRow("XMP before EXIF") << test::cameraPhoto(QStringLiteral("xmp-no_exif.jpg"))
                                         << QStringList() << stamptext::DateFormats{};
    }

    void values()
    {
        QFETCH(QString, photo);
        QFETCH(QStringList, options);
        QFETCH(stamptext::DateFormats, formats);
        const QDateTime before = QDateTime::currentDateTime();
        const Run run = runCli(QStringList{"values", photo} + options);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        const stamptext::PhotoValueTable expected = engineTable(photo, formats, before);
        QCOMPARE(withoutClock(run.lines()), withoutClock(expected.lines()));

        // The clock entries are the moment of the run.
        const stamptext::PhotoValueTable printed(run.lines());
        const QDateTime stamped(
            QDate(printed.valueOf("[yyyy]").toInt(), printed.valueOf("[MM]").toInt(),
                  printed.valueOf("[dd]").toInt()),
            QTime(printed.valueOf("[hh]").toInt(), printed.valueOf("[mm]").toInt(),
                  printed.valueOf("[ss]").toInt()));
        QVERIFY(stamped.isValid());
        QVERIFY(stamped >= before.addSecs(-1) && stamped <= QDateTime::currentDateTime());
    }

    void expandsTheUprightSize_data()
    {
        QTest::addColumn<QString>("photo");
        QTest::addColumn<QString>("expected");
        QTest::newRow("landscape")
            << test::cameraPhoto("orientation-landscape_1.jpg") << "600x450 Normal";
        QTest::newRow("mirrored landscape")
            << test::cameraPhoto("orientation-landscape_2.jpg") << "600x450 Mirrored";
        QTest::newRow("portrait stored on its side")
            << test::cameraPhoto("orientation-portrait_6.jpg") << "450x600 Rotated 90 right";
    }

    void expandsTheUprightSize()
    {
        QFETCH(QString, photo);
        QFETCH(QString, expected);
        const Run run = runCli({"expand", photo, "[p_width]x[p_height] [orientation_exif]"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines(), QStringList{expected});
    }

    void expand()
    {
        const QStringList masks = {"Shot with [MAKE_EXIF] [model_exif]", "[p_width]x[p_height]",
                                   QString::fromUtf8("Café [p_filename] – [Mm]"), "",
                                   "--[fstops_exif]"};
        const Run run =
            runCli(QStringList{"expand", canon(), "--date-formats", "2,2,2,2", "--"} + masks);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        const stamptext::PhotoValueTable table =
            engineTable(canon(), {2, 2, 2, 2}, QDateTime::currentDateTime());
        const auto lookup = [&table](const QString& tag) { return table.valueOf(tag); };
        QStringList expected;
        for (const QString& mask : masks)
            expected.append(stamptext::expandStampMask(mask, lookup));
        QCOMPARE(run.lines(), expected);
        QVERIFY(run.out.contains("Caf\xC3\xA9 Canon_40D.jpg \xE2\x80\x93 [Mm]\n")); // UTF-8
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        const QString photo = canon();
        const QString missing = test::testHome() + QStringLiteral("/missing.jpg");
        QTest::newRow("missing photo") << QStringList{"values", missing};
        QTest::newRow("missing photo, expand") << QStringList{"expand", missing, "[dd]"};
        QTest::newRow("folder instead of a photo") << QStringList{"values", test::testHome()};
        const QString notAPicture = test::testHome() + QStringLiteral("/not-a-picture.jpg");
        QTest::newRow("not a picture") << QStringList{"values", notAPicture};
        QTest::newRow("not a picture, expand") << QStringList{"expand", notAPicture, "[p_width]"};
        const QString truncated = test::testHome() + QStringLiteral("/header-only.jpg");
        QTest::newRow("JPEG header only") << QStringList{"values", truncated};
        QTest::newRow("help on an unknown command") << QStringList{"help", "list"};
        QTest::newRow("no arguments") << QStringList();
        QTest::newRow("unknown command") << QStringList{"list", photo};
        QTest::newRow("no photo") << QStringList{"values"};
        QTest::newRow("expand without a mask") << QStringList{"expand", photo};
        QTest::newRow("values with a mask") << QStringList{"values", photo, "[dd]"};
        QTest::newRow("unknown option") << QStringList{"values", photo, "--verbose"};
        QTest::newRow("option without its value") << QStringList{"values", photo, "--date-formats"};
        QTest::newRow("three indices") << QStringList{"values", photo, "--date-formats", "1,2,3"};
        QTest::newRow("five indices")
            << QStringList{"values", photo, "--date-formats", "1,2,3,4,5"};
        QTest::newRow("not a number") << QStringList{"values", photo, "--date-formats", "1,a,3,4"};
        QTest::newRow("negative index")
            << QStringList{"values", photo, "--date-formats", "1,-2,3,4"};
        QTest::newRow("empty index") << QStringList{"values", photo, "--date-formats", "1,,3,4"};
    }

    void failures()
    {
        QFETCH(QStringList, args);
        QFile text(test::testHome() + QStringLiteral("/not-a-picture.jpg"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("plain text, no picture") > 0);
        text.close();
        QFile canonFile(canon());
        QVERIFY(canonFile.open(QIODevice::ReadOnly));
        QFile header(test::testHome() + QStringLiteral("/header-only.jpg"));
        QVERIFY(header.open(QIODevice::WriteOnly) && header.write(canonFile.read(2000)) == 2000);
        header.close();
        const Run run = runCli(args);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(run.err.startsWith("tessarine-cli: "));
        QVERIFY(run.err.endsWith('\n'));
        QCOMPARE(run.err.count('\n'), 1); // one line
    }

    /// `help`, `help COMMAND` and `COMMAND --help` name every command or every option.
    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("named");
        const QStringList commands{"values", "expand", "batch", "Exit status"};
        const QStringList batchOptions{"Usage: tessarine-cli batch",
                                       "--overwrite",
                                       "--jobs",
                                       "--quiet",
                                       "--log",
                                       "--recursive",
                                       "--help"};
        const QStringList photoOptions{"--date-formats", "--help"};
        QTest::newRow("help") << QStringList{"help"} << commands;
        QTest::newRow("--help") << QStringList{"--help"} << commands;
        QTest::newRow("help batch") << QStringList{"help", "batch"} << batchOptions;
        QTest::newRow("batch --help") << QStringList{"batch", "--help"} << batchOptions;
        QTest::newRow("values -h") << QStringList{"values", "-h"}
                                   << (QStringList{"Usage: tessarine-cli values"} + photoOptions);
        QTest::newRow("expand --help")
            << QStringList{"expand", "--help"}
            << (QStringList{"Usage: tessarine-cli expand", "MASK"} + photoOptions);
    }
    void help()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, named);
        const Run run = runCli(args);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        for (const QString& name : named)
            QVERIFY2(run.out.contains(name.toUtf8()), qPrintable(name));
    }
};

TESS_TEST_MAIN(TestCli)
#include "test_cli.moc"
