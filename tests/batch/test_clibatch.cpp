#include "batch/BatchLog.h"
#include "metadata/PhotoFile.h"
#include "tests/batch/BatchTestSupport.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace tess;

namespace {

/// `tessarine-cli batch` with its home (and so its documents folder) in \a home.
struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

CliRun runBatch(const QString& home, const QStringList& args)
{
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(TESS_CLI_PATH), QStringList{QStringLiteral("batch")} + args);
    CliRun run;
    if (!cli.waitForFinished(120000))
        return run;
    run.status = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
}

} // namespace

class TestCliBatch : public QObject
{
    Q_OBJECT
private slots:
    /// $P the profile, $D the destination, $S the sources, $L the default log, $T the
    /// temporary folder that holds them; in the
    /// expected output "+name" stands for the line of a saved photo, "-name" for a skipped
    /// one and "!name" for a failed one.
    void batch_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("out");
        QTest::addColumn<QStringList>("err");
        QTest::addColumn<QStringList>("written"); // destination files that hold a new copy
        const QString log = QStringLiteral("Log: $L");
        QTest::newRow("two photos")
            << QStringList{"$P", "$D", "$S/a.jpg", "$S/b.JPEG"} << 0
            << QStringList{"2 of 2 photos have been stamped.", log}
            << QStringList{"+a.jpg", "+b.JPEG"} << QStringList{"a.jpg", "b.JPEG"};
        QTest::newRow("a broken photo")
            << QStringList{"$P", "$D", "$S/a.jpg", "$S/broken.jpg"} << 1
            << QStringList{"1 of 2 photos have been stamped.", log}
            << QStringList{"+a.jpg", "!broken.jpg"} << QStringList{"a.jpg"};
        QTest::newRow("existing copy kept")
            << QStringList{"$P", "$D", "$S/a.jpg", "$S/old.jpg"} << 1
            << QStringList{"1 of 2 photos have been stamped.", log}
            << QStringList{"+a.jpg", "-old.jpg"} << QStringList{"a.jpg"};
        QTest::newRow("existing copy replaced")
            << QStringList{"--overwrite", "$P", "$D", "$S/a.jpg", "$S/old.jpg"} << 0
            << QStringList{"2 of 2 photos have been stamped.", log}
            << QStringList{"+a.jpg", "+old.jpg"} << QStringList{"a.jpg", "old.jpg"};
        QTest::newRow("quiet, two at a time")
            << QStringList{"-q", "--jobs",   "2",         "$P",
                           "$D", "$S/a.jpg", "$S/b.JPEG", "$S/broken.jpg"}
            << 1 << QStringList{"2 of 3 photos have been stamped.", log} << QStringList()
            << QStringList{"a.jpg", "b.JPEG"};
        QTest::newRow("log elsewhere")
            << QStringList{"--log", "$D/../run.log", "$P", "$D", "$S/a.jpg"} << 0
            << QStringList{"1 of 1 photos have been stamped.", "Log: $T/run.log"}
            << QStringList{"+a.jpg"} << QStringList{"a.jpg"};
        QTest::newRow("a folder: its own JPEG files, by name")
            << QStringList{"$P", "$D", "$S/more"} << 0
            << QStringList{"2 of 2 photos have been stamped.", log}
            << QStringList{"+c.jpg", "+e.JPG"} << QStringList{"c.jpg", "e.JPG"};
        QTest::newRow("a folder, recursive")
            << QStringList{"--recursive", "$P", "$D", "$S/more"} << 0
            << QStringList{"3 of 3 photos have been stamped.", log}
            << QStringList{"+c.jpg", "+d.jpg", "+e.JPG"} << QStringList{"c.jpg", "d.jpg", "e.JPG"};
        QTest::newRow("a PNG is skipped with a line")
            << QStringList{"$P", "$D", "$S/a.png", "$S/a.jpg"} << 0
            << QStringList{"1 of 1 photos have been stamped.", log}
            << QStringList{"tessarine-cli: skipped, not a JPEG file: $S/a.png", "+a.jpg"}
            << QStringList{"a.jpg"};
        const QStringList none;
        QTest::newRow("profile not readable")
            << QStringList{"$S/a.jpg", "$D", "$S/a.jpg"} << 2 << none
            << QStringList{"tessarine-cli: The Batch Stamp Process could not be started.  "
                           "Verify the settings and try again."}
            << none;
        QTest::newRow("log in a folder that does not exist")
            << QStringList{"--log", "$D/missing/run.log", "$P", "$D", "$S/a.jpg"} << 2 << none
            << QStringList{"tessarine-cli: cannot write the log $D/missing/run.log: No such file "
                           "or directory"}
            << none;
        QTest::newRow("no such folder")
            << QStringList{"$P", "$D/missing", "$S/a.jpg"} << 2 << none
            << QStringList{"tessarine-cli: no such folder: $D/missing"} << none;
        QTest::newRow("nothing but a PNG")
            << QStringList{"$P", "$D", "$S/a.png"} << 2 << none
            << QStringList{"tessarine-cli: skipped, not a JPEG file: $S/a.png",
                           "tessarine-cli: no JPEG file to stamp"}
            << none;
        QTest::newRow("no photo") << QStringList{"$P", "$D"} << 2 << none
                                  << QStringList{"tessarine-cli: batch needs PROFILE "
                                                 "DESTFOLDER PHOTO..."}
                                  << none;
        QTest::newRow("unknown option")
            << QStringList{"--all", "$P", "$D", "$S/a.jpg"} << 2 << none
            << QStringList{"tessarine-cli: Unknown option 'all'. (see tessarine-cli batch "
                           "--help)"}
            << none;
        QTest::newRow("no jobs") << QStringList{"--jobs", "0", "$P", "$D", "$S/a.jpg"} << 2 << none
                                 << QStringList{"tessarine-cli: bad value for --jobs: 0 (a "
                                                "number of at least 1)"}
                                 << none;
    }
    void batch()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, out);
        QFETCH(QStringList, err);
        QFETCH(QStringList, written);
        QTemporaryDir dir;
        const QString sources = dir.filePath(QStringLiteral("in"));
        const QString destination = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(sources + QStringLiteral("/more/deeper"));
        QDir().mkpath(destination);
        test::makeJpeg(sources + QStringLiteral("/a.jpg"), QSize(40, 30), 1);
        test::makeJpeg(sources + QStringLiteral("/b.JPEG"), QSize(30, 40), 2);
        test::makeJpeg(sources + QStringLiteral("/old.jpg"), QSize(20, 20), 3);
        test::makeJpeg(sources + QStringLiteral("/more/c.jpg"), QSize(20, 20), 4);
        test::makeJpeg(sources + QStringLiteral("/more/deeper/d.jpg"), QSize(20, 20), 5);
        test::makeJpeg(sources + QStringLiteral("/more/e.JPG"), QSize(20, 20), 6);
        test::writeBytes(sources + QStringLiteral("/more/notes.txt"), "not a photo");
        test::writeBytes(sources + QStringLiteral("/broken.jpg"), "no picture");
        test::writeBytes(sources + QStringLiteral("/a.png"), "a PNG name");
        test::writeBytes(destination + QStringLiteral("/old.jpg"), "kept");
        StampAttributes profile;
        profile.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        const QString profilePath = dir.filePath(QStringLiteral("p.tsrx"));
        test::writeProfile(profilePath, test::profileLines(profile));
        const QString defaultLog =
            dir.filePath(QStringLiteral("Documents/Orvane/Tessarine/1/")) + batch::BatchLogName;
        const auto expand = [&](QString text) {
            return text.replace(QStringLiteral("$P"), profilePath)
                .replace(QStringLiteral("$D"), destination)
                .replace(QStringLiteral("$S"), sources)
                .replace(QStringLiteral("$L"), defaultLog)
                .replace(QStringLiteral("$T"), dir.path());
        };
        const auto expandLines = [&](const QStringList& lines) {
            QString text;
            for (const QString& line : lines) {
                const QString name = line.mid(1);
                if (line.startsWith(u'+'))
                    text += batch::messages::saved(name, destination + u'/');
                else if (line.startsWith(u'-'))
                    text += batch::messages::skipped(name);
                else if (line.startsWith(u'!'))
                    text += batch::messages::failed(name, QString());
                else
                    text += expand(line);
                text += u'\n';
            }
            return text;
        };
        for (QString& arg : args)
            arg = expand(arg);

        const CliRun run = runBatch(dir.path(), args);
        QCOMPARE(run.status, status);
        // A failure line ends with the loader's own message, which is not compared.
        QStringList errLines = run.err.split(u'\n');
        for (QString& line : errLines) {
            if (line.startsWith(QStringLiteral("ERROR: ")))
                line = line.left(line.indexOf(QStringLiteral("with error: ")) + 12);
        }
        QCOMPARE(errLines.join(u'\n'), expandLines(err));
        QCOMPARE(run.out, expandLines(out));
        if (status == 2) {
            QCOMPARE(test::readBytes(destination + QStringLiteral("/old.jpg")), "kept");
            return;
        }
        const QString log = expand(out.last().mid(5));
        QVERIFY(QString::fromUtf8(test::readBytes(log))
                    .endsWith(QStringLiteral(" - Orvane Tessarine Batch Process Completed.\r\n")));
        for (const QString& name : written)
            QVERIFY2(metadata::loadPhoto(destination + u'/' + name).ok(), qPrintable(name));
        QCOMPARE(QDir(destination).entryList(QDir::Files).size(),
                 written.size() + (written.contains(QStringLiteral("old.jpg")) ? 0 : 1));
    }

    /// Overwriting a photo in its own folder on a full disk: the photo keeps its bytes, the
    /// log has the system's reason, nothing is counted and the exit status says so.
    void fullDisk()
    {
        test::SmallDisk disk(1024);
        if (!disk.mounted())
            QSKIP("a small filesystem cannot be mounted here");
        QTemporaryDir home;
        const QString photo = disk.filePath(QStringLiteral("a.jpg"));
        test::makeJpeg(photo, QSize(200, 150), 1);
        const QByteArray before = test::readBytes(photo);
        StampAttributes profile;
        profile.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        const QString profilePath = home.filePath(QStringLiteral("p.tsrx"));
        test::writeProfile(profilePath, test::profileLines(profile));
        QVERIFY(disk.fill());

        const CliRun run = runBatch(home.path(), {QStringLiteral("--overwrite"), profilePath,
                                                  QFileInfo(photo).path(), photo});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.startsWith(QStringLiteral("0 of 1 photos have been stamped.\n")),
                 qPrintable(run.out));
        const QString log = QString::fromUtf8(test::readBytes(
            home.filePath(QStringLiteral("Documents/Orvane/Tessarine/1/")) + batch::BatchLogName));
        QVERIFY2(log.contains(QStringLiteral(" - ERROR: a.jpg stamping failed with error: The "
                                             "stamped photo could not be saved as ") +
                              photo + QStringLiteral(": No space left on device\r\n")),
                 qPrintable(log));
        QCOMPARE(test::readBytes(photo), before);
        QCOMPARE(QDir(QFileInfo(photo).path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"a.jpg", "filler"}));
    }

    /// With --lossless the log line of each photo says which save ran.
    void losslessLogLine_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("effect");    // of the profile, with keep flags 1111
        QTest::addColumn<QByteArray>("source"); // empty: a camera photo
        QTest::addColumn<QString>("note");      // after "saved in DEST/a.jpg."
        QTest::newRow("plain photo") << QStringList{"--lossless"} << "" << QByteArray()
                                     << " Own compression kept outside the stamp.";
        QTest::newRow("adjusted photo") << QStringList{"--lossless"} << "greyscale" << QByteArray()
                                        << " Compressed anew: the photo is adjusted.";
        QTest::newRow("photo the lossless save refuses")
            << QStringList{"--lossless"} << "" << QByteArray("cut short")
            << " Compressed anew: damaged image data.";
        QTest::newRow("without --lossless") << QStringList{} << "" << QByteArray() << "";
    }
    void losslessLogLine()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, effect);
        QFETCH(QByteArray, source);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString destination = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(destination);
        const QString photo = dir.filePath(QStringLiteral("a.jpg"));
        QByteArray bytes =
            test::readBytes(test::cameraPhoto(QStringLiteral("exif-org-kodak-dc210.jpg")));
        QVERIFY2(!bytes.isEmpty(), "the camera photo is missing");
        if (!source.isEmpty())
            bytes.chop(bytes.size() / 3); // libjpeg finishes it in grey; the lossless save refuses
        test::writeBytes(photo, bytes);
        StampAttributes profile;
        profile.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        profile.keepFlags = QStringLiteral("1111");
        profile.effect = effect.isEmpty() ? PhotoEffect::None : PhotoEffect::Greyscale;
        const QString profilePath = dir.filePath(QStringLiteral("p.tsrx"));
        test::writeProfile(profilePath, test::profileLines(profile));

        const CliRun run =
            runBatch(dir.path(), options + QStringList{profilePath, destination, photo});
        QCOMPARE(run.status, 0);
        const QString log = QString::fromUtf8(test::readBytes(
            dir.filePath(QStringLiteral("Documents/Orvane/Tessarine/1/")) + batch::BatchLogName));
        const QString saved = QStringLiteral("a.jpg stamped successfully and saved in ") +
                              destination + QStringLiteral("/a.jpg.") + note;
        QVERIFY2(log.contains(saved + QStringLiteral("\r\n")), qPrintable(log));
    }
};

TESS_TEST_MAIN(TestCliBatch)
#include "test_clibatch.moc"
