#include "batch/BatchLog.h"
#include "metadata/PhotoFile.h"
#include "tests/batch/BatchTestSupport.h"
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
    void batch_data()
    {
        QTest::addColumn<QStringList>("args"); // $P profile, $D destination, $S sources
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("summary"); // first line of standard output
        QTest::addColumn<QString>("error");   // standard error
        QTest::newRow("two photos") << QStringList{"$P", "$D", "$S/a.jpg", "$S/b.JPEG"} << 0
                                    << "2 of 2 photos have been stamped."
                                    << "";
        QTest::newRow("a broken photo") << QStringList{"$P", "$D", "$S/a.jpg", "$S/broken.jpg"} << 1
                                        << "1 of 2 photos have been stamped."
                                        << "";
        QTest::newRow("existing copy kept") << QStringList{"$P", "$D", "$S/a.jpg", "$S/old.jpg"}
                                            << 1 << "1 of 2 photos have been stamped."
                                            << "";
        QTest::newRow("existing copy replaced")
            << QStringList{"--overwrite", "$P", "$D", "$S/a.jpg", "$S/old.jpg"} << 0
            << "2 of 2 photos have been stamped."
            << "";
        QTest::newRow("profile not readable")
            << QStringList{"$S/a.jpg", "$D", "$S/a.jpg"} << 2 << ""
            << "tessarine-cli: The Batch Stamp Process could not be started.  Verify the "
               "settings and try again.\n";
        QTest::newRow("no such folder") << QStringList{"$P", "$D/missing", "$S/a.jpg"} << 2 << ""
                                        << "tessarine-cli: no such folder: $D/missing\n";
        QTest::newRow("not a JPEG name") << QStringList{"$P", "$D", "$S/a.png"} << 2 << ""
                                         << "tessarine-cli: not a JPEG file name: $S/a.png\n";
        QTest::newRow("no photo") << QStringList{"$P", "$D"} << 2 << ""
                                  << "tessarine-cli: batch needs PROFILE DESTFOLDER PHOTO...\n";
        QTest::newRow("unknown option") << QStringList{"--all", "$P", "$D", "$S/a.jpg"} << 2 << ""
                                        << "tessarine-cli: unknown option: --all\n";
    }
    void batch()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, summary);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString sources = dir.filePath(QStringLiteral("in"));
        const QString destination = dir.filePath(QStringLiteral("out"));
        QDir().mkpath(sources);
        QDir().mkpath(destination);
        test::makeJpeg(sources + QStringLiteral("/a.jpg"), QSize(40, 30), 1);
        test::makeJpeg(sources + QStringLiteral("/b.JPEG"), QSize(30, 40), 2);
        test::makeJpeg(sources + QStringLiteral("/old.jpg"), QSize(20, 20), 3);
        test::writeBytes(sources + QStringLiteral("/broken.jpg"), "no picture");
        test::writeBytes(destination + QStringLiteral("/old.jpg"), "kept");
        StampAttributes profile;
        profile.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        const QString profilePath = dir.filePath(QStringLiteral("p.tsrx"));
        test::writeProfile(profilePath, test::profileLines(profile));
        const auto expand = [&](QString text) {
            return text.replace(QStringLiteral("$P"), profilePath)
                .replace(QStringLiteral("$D"), destination)
                .replace(QStringLiteral("$S"), sources);
        };
        for (QString& arg : args)
            arg = expand(arg);

        const CliRun run = runBatch(dir.path(), args);
        QCOMPARE(run.status, status);
        QCOMPARE(run.err, expand(error));
        const QString log =
            dir.filePath(QStringLiteral("Documents/Orvane/Tessarine/1/")) + batch::BatchLogName;
        if (status == 2) {
            QVERIFY(run.out.isEmpty());
            QCOMPARE(test::readBytes(destination + QStringLiteral("/old.jpg")), "kept");
            return;
        }
        QCOMPARE(run.out, summary + QStringLiteral("\nLog: ") + log + u'\n');
        const QString logText = QString::fromUtf8(test::readBytes(log));
        QVERIFY(
            logText.endsWith(QStringLiteral(" - Orvane Tessarine Batch Process Completed.\r\n")));
        QVERIFY(metadata::loadPhoto(destination + QStringLiteral("/a.jpg")).ok());
        QCOMPARE(test::readBytes(destination + QStringLiteral("/old.jpg")) == "kept",
                 !args.contains(QStringLiteral("--overwrite")));
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
