#include "batch/BatchLog.h"
#include "batch/BatchPhoto.h"
#include "batch/BatchRun.h"
#include "metadata/Exif.h"
#include "metadata/PhotoFile.h"
#include "tests/batch/BatchTestSupport.h"
#include "tests/support/SafeWriteFault.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <optional>

using namespace tess;
using namespace tess::batch;
using tess::test::makeJpeg;
using tess::test::readBytes;

namespace {

/// A run on a scripted platform whose documents, sources and destination are fresh
/// temporary folders.
struct RunFixture
{
    RunFixture() : platform(dir.path() + QStringLiteral("/Documents")), run(platform.platform())
    {
        QDir().mkpath(sourceFolder());
        QDir().mkpath(destinationFolder());
    }

    QString sourceFolder() const { return dir.path() + QStringLiteral("/in/"); }
    QString destinationFolder() const { return dir.path() + QStringLiteral("/out/"); }
    QString source(const QString& name) const { return sourceFolder() + name; }
    QString destination(const QString& name) const { return destinationFolder() + name; }
    QString logPath() const { return platform.folders.dataFolder() + BatchLogName; }

    /// Small generated photos, one per name.
    QStringList makePhotos(const QStringList& names)
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i) {
            makeJpeg(source(names[i]), QSize(64 + 8 * i, 48), i);
            paths.append(source(names[i]));
        }
        return paths;
    }

    BatchJob job(const QStringList& files) const
    {
        BatchJob j;
        j.currentAttributes.fontName = QStringLiteral("DejaVu Sans");
        j.currentAttributes.fontSize = 8;
        j.currentAttributes.stampTexts = {{QStringLiteral("[p_filename]"), true}};
        j.files = files;
        j.destinationFolder = destinationFolder();
        return j;
    }

    /// The log's messages, without their time.
    QStringList logMessages() const
    {
        QStringList messages;
        const QString text = QString::fromUtf8(readBytes(logPath()));
        for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            messages.append(line.section(QStringLiteral(" - "), 1));
        return messages;
    }

    QTemporaryDir dir;
    test::ScriptedPlatform platform;
    BatchRun run;
};

/// What a destination file's picture should be: the source stamped with \a settings,
/// written by the same writer.
QImage expectedPicture(const QString& source, const BatchSettings& settings,
                       const platform::Clock& clock, const QString& scratch)
{
    const QImage photo = metadata::loadPhoto(source).image;
    const QStringList lines = batchStampLines(
        settings.stampTexts, batchPhotoValues(source, photo.size(), settings, clock));
    const QImage stamped = renderBatchPhoto(photo, settings, lines);
    const int quality = settings.jpegQuality.toInt();
    if (!metadata::saveStampedJpeg(stamped, quality, source, scratch))
        return QImage();
    return metadata::loadPhoto(scratch).image;
}

} // namespace

class TestBatchRun : public QObject
{
    Q_OBJECT
private slots:
    void prepared()
    {
        RunFixture f;
        f.run.prepare(f.job({"a.jpg", "b.jpg", "c.jpg"}));
        QCOMPARE(f.run.state(), BatchRun::State::Prepared);
        QCOMPARE(f.run.progress(), 0);
        QCOMPARE(f.run.progressMaximum(), 6);
        QCOMPARE(f.run.status(), QStringLiteral("Processing...  Please Wait."));
        QVERIFY(f.run.stopButtonShown());
        QVERIFY(!f.run.okButtonShown());
        QVERIFY(!f.run.linksShown());
        QVERIFY(f.run.settings().stampTexts.isEmpty());
    }

    /// Which files are stamped, skipped or fail, and what the log and the summary say.
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("files");    // "name" made, "!name" broken, "?name" missing
        QTest::addColumn<QStringList>("existing"); // already in the destination folder
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QStringList>("lines"); // "+name" saved, "-name" skipped, "!name" error
        QTest::addColumn<int>("stamped");
        const QStringList abc{"a.jpg", "b.jpg", "c.jpg"};
        QTest::newRow("three new files")
            << abc << QStringList() << false << QStringList{"+a.jpg", "+b.jpg", "+c.jpg"} << 3;
        QTest::newRow("one destination present") << abc << QStringList{"b.jpg"} << false
                                                 << QStringList{"+a.jpg", "-b.jpg", "+c.jpg"} << 2;
        QTest::newRow("present and overwriting") << abc << QStringList{"b.jpg"} << true
                                                 << QStringList{"+a.jpg", "+b.jpg", "+c.jpg"} << 3;
        QTest::newRow("broken file in the middle")
            << QStringList{"a.jpg", "!b.jpg", "c.jpg"} << QStringList() << false
            << QStringList{"+a.jpg", "!b.jpg", "+c.jpg"} << 2;
        QTest::newRow("missing file") << QStringList{"?a.jpg", "b.jpg"} << QStringList() << false
                                      << QStringList{"!a.jpg", "+b.jpg"} << 1;
        QTest::newRow("broken file whose destination exists")
            << QStringList{"!a.jpg"} << QStringList{"a.jpg"} << false << QStringList{"!a.jpg"} << 0;
        QTest::newRow("same file twice") << QStringList{"a.jpg", "a.jpg"} << QStringList() << false
                                         << QStringList{"+a.jpg", "-a.jpg"} << 1;
        QTest::newRow("same file twice, overwriting")
            << QStringList{"a.jpg", "a.jpg"} << QStringList() << true
            << QStringList{"+a.jpg", "-a.jpg"} << 1;
        QTest::newRow("same name from two folders, overwriting")
            << QStringList{"a.jpg", "b.jpg", "sub/a.jpg", "c.jpg"} << QStringList() << true
            << QStringList{"+a.jpg", "+b.jpg", "-a.jpg", "+c.jpg"} << 3;
        QTest::newRow("same name, the first one broken")
            << QStringList{"!a.jpg", "sub/a.jpg"} << QStringList() << true
            << QStringList{"!a.jpg", "+a.jpg"} << 1;
    }
    void outcomes()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, existing);
        QFETCH(bool, overwrite);
        QFETCH(QStringList, lines);
        QFETCH(int, stamped);
        RunFixture f;
        QStringList paths;
        for (int i = 0; i < files.size(); ++i) {
            const QString name =
                files[i].startsWith(u'!') || files[i].startsWith(u'?') ? files[i].mid(1) : files[i];
            QDir().mkpath(QFileInfo(f.source(name)).path());
            if (files[i].startsWith(u'!'))
                test::writeBytes(f.source(name), "not a picture at all");
            else if (!files[i].startsWith(u'?') && !QFileInfo::exists(f.source(name)))
                makeJpeg(f.source(name), QSize(40 + 8 * i, 30), i);
            paths.append(f.source(name));
        }
        for (const QString& name : existing)
            test::writeBytes(f.destination(name), "existing " + name.toUtf8());

        BatchJob job = f.job(paths);
        job.overwrite = overwrite;
        job.workers = 3; // more than one photo at a time, whatever the machine
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());

        QStringList expected{messages::Started};
        for (const QString& line : lines) {
            const QString name = line.mid(1);
            if (line.startsWith(u'+'))
                expected.append(messages::saved(name, f.destinationFolder()));
            else if (line.startsWith(u'-'))
                expected.append(messages::skipped(name));
            else
                expected.append(messages::failed(name, metadata::loadPhoto(f.source(name)).error));
        }
        expected.append(messages::Completed);
        QCOMPARE(f.logMessages(), expected);

        QCOMPARE(f.run.stampedCount(), stamped);
        QCOMPARE(
            f.run.status(),
            QStringLiteral("%1 of %2 photos have been stamped.").arg(stamped).arg(files.size()));
        QCOMPARE(f.run.progress(), 2 * files.size());
        QCOMPARE(f.run.progressMaximum(), 2 * files.size());
        QCOMPARE(f.run.state(), BatchRun::State::Finished);
        QVERIFY(f.run.okButtonShown());
        QVERIFY(!f.run.stopButtonShown());
        QVERIFY(f.run.linksShown());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString name = lines[i].mid(1);
            const QString dest = f.destination(name);
            // A destination holds the copy of the first photo of its name that was saved.
            if (lines[i].startsWith(u'+') && lines.indexOf(u'+' + name) == i)
                QCOMPARE(metadata::loadPhoto(dest).image.size(),
                         metadata::loadPhoto(paths[i]).image.size());
            else if (lines.contains(u'+' + name))
                continue;
            else if (existing.contains(name))
                QCOMPARE(readBytes(dest), "existing " + name.toUtf8());
            else
                QVERIFY(!QFileInfo::exists(dest));
        }
    }

    /// The log's lines: the local time with the system's time separator, " - ", the
    /// message, CR LF; an old log is replaced.
    void logLines()
    {
        RunFixture f;
        f.platform.clock.timeSep = QStringLiteral(".");
        f.platform.clock.time = QDateTime(QDate(2024, 1, 5), QTime(7, 8, 9));
        QDir().mkpath(f.platform.folders.dataFolder());
        test::writeBytes(f.logPath(), "an old run\r\n");
        f.run.prepare(f.job(f.makePhotos({"one.jpg"})));
        QVERIFY(f.run.runBatch());
        const QByteArray expected =
            "2024-01-05 07.08.09 - Orvane Tessarine Batch Process Started.\r\n"
            "2024-01-05 07.08.09 - one.jpg stamped successfully and saved in " +
            f.destinationFolder().toUtf8() +
            "one.jpg.\r\n"
            "2024-01-05 07.08.09 - Orvane Tessarine Batch Process Completed.\r\n";
        QCOMPARE(readBytes(f.logPath()), expected);
        QCOMPARE(BatchLog::line(QDateTime(QDate(987, 12, 31), QTime(23, 0, 0)), ":", "m"),
                 QStringLiteral("0987-12-31 23:00:00 - m"));
    }

    /// A log that can't be written loses its lines; the photos are still stamped.
    void logNotWritable()
    {
        RunFixture f;
        QDir().mkpath(f.logPath()); // a folder where the log should be
        f.run.prepare(f.job(f.makePhotos({"a.jpg", "b.jpg"})));
        QVERIFY(f.run.runBatch());
        QCOMPARE(f.run.stampedCount(), 2);
        QVERIFY(QFileInfo::exists(f.destination("b.jpg")));
    }

    /// On a full disk a line is lost whole: the log never holds half a line.
    void logOnFullDisk()
    {
        test::SmallDisk disk(256);
        if (!disk.mounted())
            QSKIP("a small filesystem cannot be mounted here");
        test::ScriptedPlatform platform(disk.filePath(QStringLiteral("Documents")));
        const QString path = disk.filePath(BatchLogName);
        const QByteArray old = QByteArray(4090, 'o') + "\r\n"; // 4 bytes short of a page
        test::writeBytes(path, old);
        QVERIFY(disk.fill());
        const BatchLog log(path, platform.clock);
        log.append(messages::Started);
        QCOMPARE(readBytes(path), old);
        QVERIFY(QFile::remove(disk.filePath(QStringLiteral("filler"))));
        log.append(messages::Started);
        QVERIFY(readBytes(path).endsWith(messages::Started.toUtf8() + "\r\n"));
    }

    /// STOP while the second of five photos is stamped: the photos in hand are finished and
    /// logged in list order, none is started after it, and the run ends with the summary and
    /// both closing lines; the progress stands one step short. One worker has only the
    /// second photo in hand.
    void stopDuringSecondPhoto_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("one worker") << 1;
        QTest::newRow("three workers") << 3;
    }
    void stopDuringSecondPhoto()
    {
        QFETCH(int, workers);
        RunFixture f;
        const QStringList paths = f.makePhotos({"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg"});
        BatchJob job = f.job(paths);
        job.workers = workers;
        f.run.prepare(job);
        // As a click on STOP would: an event waiting while the second photo is stamped.
        connect(&f.run, &BatchRun::changed, &f.run, [&f] {
            if (f.run.status().startsWith(QStringLiteral("Processing 2 of 5")) &&
                !f.run.stopRequested())
                QMetaObject::invokeMethod(
                    &f.run, [&f] { f.run.stop(); }, Qt::QueuedConnection);
        });
        QVERIFY(f.run.runBatch());
        const int finished = f.run.stampedCount();
        QVERIFY(finished >= 2 && finished <= 1 + 1 + workers);
        if (workers == 1)
            QCOMPARE(finished, 2);
        QStringList expected{messages::Started};
        for (int i = 0; i < finished; ++i)
            expected.append(messages::saved(QFileInfo(paths[i]).fileName(), f.destinationFolder()));
        expected << messages::Stopped << messages::Completed;
        QCOMPARE(f.logMessages(), expected);
        QCOMPARE(f.run.status(), QStringLiteral("%1 of 5 photos have been stamped.").arg(finished));
        QCOMPARE(f.run.progress(), 2 * finished - 1);
        QCOMPARE(f.run.progressMaximum(), 10);
        QVERIFY(f.run.okButtonShown());
        QVERIFY(f.run.linksShown());
        for (int i = finished; i < paths.size(); ++i)
            QVERIFY(!QFileInfo::exists(f.destination(QFileInfo(paths[i]).fileName())));
    }

    /// A slow photo first and quick ones after it on several workers: the log lines and the
    /// per-photo signal still follow the file list.
    void listOrderWithWorkers()
    {
        RunFixture f;
        makeJpeg(f.source("big.jpg"), QSize(2400, 1600), 7);
        QStringList paths{f.source("big.jpg")};
        paths += f.makePhotos({"a.jpg", "b.jpg", "c.jpg"});
        BatchJob job = f.job(paths);
        job.workers = 4;
        f.run.prepare(job);
        QList<int> finished;
        connect(&f.run, &BatchRun::photoFinished, &f.run,
                [&](int index, bool saved, const QString& message) {
                    QVERIFY(saved);
                    QCOMPARE(message, f.logMessages().last());
                    finished.append(index);
                });
        QVERIFY(f.run.runBatch());
        QCOMPARE(finished, (QList<int>{0, 1, 2, 3}));
        QStringList expected{messages::Started};
        for (const QString& path : paths)
            expected.append(messages::saved(QFileInfo(path).fileName(), f.destinationFolder()));
        expected.append(messages::Completed);
        QCOMPARE(f.logMessages(), expected);
    }

    /// The status line names the photo in progress.
    void statusWhileRunning()
    {
        RunFixture f;
        f.run.prepare(f.job(f.makePhotos({"a.jpg", "b.jpg"})));
        QStringList statuses;
        QList<int> progress;
        connect(&f.run, &BatchRun::changed, &f.run, [&] {
            if (statuses.isEmpty() || statuses.last() != f.run.status())
                statuses.append(f.run.status());
            if (progress.isEmpty() || progress.last() != f.run.progress())
                progress.append(f.run.progress());
        });
        QVERIFY(f.run.runBatch());
        QCOMPARE(statuses, (QStringList{"Processing...  Please Wait.",
                                        "Processing 1 of 2 photos.  Please wait...",
                                        "Processing 2 of 2 photos.  Please wait...",
                                        "2 of 2 photos have been stamped."}));
        QCOMPARE(progress, (QList<int>{0, 1, 2, 3, 4}));
    }

    /// The settings come from the current attributes or from the profile, never both; the
    /// stamped copies carry the source's EXIF block.
    void settingsSource_data()
    {
        QTest::addColumn<bool>("useProfile");
        QTest::newRow("current attributes") << false;
        QTest::newRow("saved profile") << true;
    }
    void settingsSource()
    {
        QFETCH(bool, useProfile);
        RunFixture f;
        QFile::copy(test::cameraPhoto("Canon_40D.jpg"), f.source("Canon_40D.jpg"));
        QFile::copy(test::cameraPhoto("Nikon_D70.jpg"), f.source("Nikon_D70.jpg"));
        BatchJob job = f.job({f.source("Canon_40D.jpg"), f.source("Nikon_D70.jpg")});
        job.currentAttributes.textColor = 0x000000FF;
        job.currentAttributes.position = positions::TopLeft;
        StampAttributes profile = job.currentAttributes;
        profile.textColor = 0x00FF0000;
        profile.fontSize = 12;
        profile.position = positions::BottomRight;
        profile.effect = PhotoEffect::Negative;
        profile.stampTexts = {{QStringLiteral("[model_exif]"), true}};
        const QString profilePath = f.dir.filePath("batch.tsrx");
        test::writeProfile(profilePath, test::profileLines(profile));
        job.useProfile = useProfile;
        job.profilePath = profilePath;
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());
        QCOMPARE(f.run.stampedCount(), 2);

        const BatchSettings chosen =
            batchSettingsFromAttributes(useProfile ? profile : job.currentAttributes);
        QCOMPARE(f.run.settings(), chosen);
        for (const QString& name :
             {QStringLiteral("Canon_40D.jpg"), QStringLiteral("Nikon_D70.jpg")}) {
            const QImage expected = expectedPicture(f.source(name), chosen, f.platform.clock,
                                                    f.dir.filePath("expected.jpg"));
            QVERIFY(!expected.isNull());
            QCOMPARE(metadata::loadPhoto(f.destination(name)).image, expected);
            metadata::TExif exif;
            QCOMPARE(exif.readExif(f.destination(name)), metadata::ExifReadStatus::Read);
            metadata::TExif original;
            original.readExif(f.source(name));
            QCOMPARE(exif.model, original.model);
            QVERIFY(!exif.model.isEmpty());
        }
    }

    /// A profile that can't be read ends the run after the start line; no photo is touched.
    void unreadableProfile_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("wrong header") << QByteArray("Orvane Tessarine 0.9\r\n0\r\n0\r\n");
        QStringList badColour = test::profileLines(StampAttributes());
        badColour[6] = QStringLiteral("x"); // the text colour
        QTest::newRow("colour no number")
            << (badColour.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
        QTest::newRow("no file") << QByteArray();
    }
    void unreadableProfile()
    {
        QFETCH(QByteArray, profile);
        RunFixture f;
        const QString path = f.dir.filePath("p.tsrx");
        if (!profile.isEmpty())
            test::writeBytes(path, profile);
        BatchJob job = f.job(f.makePhotos({"a.jpg"}));
        job.useProfile = true;
        job.profilePath = path;
        f.run.prepare(job);
        QVERIFY(!f.run.runBatch());
        QCOMPARE(f.logMessages(), QStringList{messages::Started});
        QVERIFY(QDir(f.destinationFolder()).isEmpty());
    }

    /// A value converted per photo that is no integer fails every photo, not the start.
    void badValueFailsEveryPhoto()
    {
        RunFixture f;
        QStringList lines = test::profileLines(StampAttributes());
        lines[4] = QStringLiteral("big"); // the font size
        const QString path = f.dir.filePath("p.tsrx");
        test::writeProfile(path, lines);
        BatchJob job = f.job(f.makePhotos({"a.jpg", "b.jpg"}));
        job.useProfile = true;
        job.profilePath = path;
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());
        const QString error = QStringLiteral("'big' is not a valid integer value");
        QCOMPARE(f.logMessages(),
                 (QStringList{messages::Started, messages::failed("a.jpg", error),
                              messages::failed("b.jpg", error), messages::Completed}));
        QCOMPARE(f.run.status(), QStringLiteral("0 of 2 photos have been stamped."));
    }

    /// A photo whose save fails is an error line with the system's reason, is not counted,
    /// and its destination keeps its old bytes; the run goes on.
    void failedSave_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full at the final flush") << "flush" << qt_error_string(ENOSPC);
        QTest::newRow("rename refused") << "rename" << qt_error_string(EACCES);
        QTest::newRow("read-only destination") << "read-only" << qt_error_string(EACCES);
    }

    void failedSave()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        RunFixture f;
        BatchJob job = f.job(f.makePhotos({"a.jpg", "b.jpg"}));
        job.overwrite = true;
        job.workers = 1; // the fault strikes the n-th save, so the photos must not race
        test::writeBytes(f.destination("a.jpg"), "old a");
        std::optional<test::SafeWriteFault> fault;
        if (cause == QLatin1String("flush"))
            fault.emplace(platform::SafeWriteStep::Flush, 1, ENOSPC);
        else if (cause == QLatin1String("rename"))
            fault.emplace(platform::SafeWriteStep::Rename, 1, EACCES);
        else
            QVERIFY(QFile::setPermissions(f.destination("a.jpg"), QFile::ReadOwner));
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());

        const QString error = QStringLiteral("The stamped photo could not be saved as ") +
                              f.destination("a.jpg") + QStringLiteral(": ") + reason;
        QCOMPARE(f.logMessages(), (QStringList{messages::Started, messages::failed("a.jpg", error),
                                               messages::saved("b.jpg", f.destinationFolder()),
                                               messages::Completed}));
        QCOMPARE(f.run.stampedCount(), 1);
        QCOMPARE(readBytes(f.destination("a.jpg")), QByteArray("old a"));
        QCOMPARE(QDir(f.destinationFolder()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"a.jpg", "b.jpg"}));
    }

    /// However long a value, a log line quotes a few hundred characters of it.
    void longValuesAreCutInTheLog_data()
    {
        QTest::addColumn<QString>("longValue");
        QTest::newRow("font size of 60000 characters") << "font size";
        QTest::newRow("destination folder of 1000 characters") << "folder";
    }

    void longValuesAreCutInTheLog()
    {
        QFETCH(QString, longValue);
        RunFixture f;
        BatchJob job = f.job(f.makePhotos({"a.jpg", "b.jpg"}));
        if (longValue == QLatin1String("font size")) {
            QStringList lines = test::profileLines(StampAttributes());
            lines[4] = QString(60000, u'9') + u'x'; // within the profile's line limit
            test::writeProfile(f.dir.filePath("p.tsrx"), lines);
            job.useProfile = true;
            job.profilePath = f.dir.filePath("p.tsrx");
        } else {
            QString folder = f.destinationFolder();
            while (folder.size() < 1000)
                folder += QString(50, u'd') + u'/';
            QVERIFY(QDir().mkpath(folder));
            job.destinationFolder = folder;
        }
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());
        const QStringList messages = f.logMessages();
        QCOMPARE(messages.size(), 4);
        for (const QString& message : messages.mid(1, 2)) {
            QVERIFY2(message.size() < 700, qPrintable(message.left(800)));
            QVERIFY2(message.contains(QStringLiteral("...")), qPrintable(message));
        }
    }

    /// With the source folder as destination and overwriting on, each source is replaced by
    /// its stamped copy, its EXIF block kept.
    void destinationIsSourceFolder()
    {
        RunFixture f;
        const QString photo = f.source("Canon_40D.jpg");
        QVERIFY(QFile::copy(test::cameraPhoto("Canon_40D.jpg"), photo));
        QFile(photo).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray before = readBytes(photo);
        const QImage beforePicture = metadata::loadPhoto(photo).image;
        BatchJob job = f.job({photo});
        job.destinationFolder = f.sourceFolder();
        job.overwrite = true;
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());
        QCOMPARE(f.run.stampedCount(), 1);
        QVERIFY(readBytes(photo) != before);
        QVERIFY(metadata::loadPhoto(photo).image != beforePicture);
        metadata::TExif exif;
        exif.readExif(photo);
        QCOMPARE(exif.make, QStringLiteral("Canon"));
        QCOMPARE(QDir(f.sourceFolder()).entryList(QDir::Files), QStringList{"Canon_40D.jpg"});
    }

    /// A phone's portrait photo (landscape pixels, Orientation 6) comes out upright, with the
    /// stamp in the chosen corner.
    void portraitPhotoIsStampedUpright()
    {
        RunFixture f;
        const QString name = QStringLiteral("orientation-portrait_6.jpg");
        QVERIFY(QFile::copy(test::cameraPhoto(name), f.source(name)));
        BatchJob job = f.job({f.source(name)});
        job.currentAttributes.position = positions::BottomRight;
        job.currentAttributes.fontSize = 14;
        job.currentAttributes.textColor = 0x0000FF00; // green on a grey-brown photo
        job.currentAttributes.stampTexts = {
            {QStringLiteral("[p_width] x [p_height] portrait"), true}};
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());
        QCOMPARE(f.run.stampedCount(), 1);

        const QImage before = metadata::loadPhoto(f.source(name)).image;
        const QImage after = metadata::loadPhoto(f.destination(name)).image;
        QCOMPARE(before.size(), QSize(450, 600));
        QCOMPARE(after.size(), before.size());
        metadata::TExif exif;
        QCOMPARE(exif.readExif(f.destination(name)), metadata::ExifReadStatus::Read);
        QCOMPARE(int(exif.orientationCode), 1);
        // Where the stamp changed the picture: only in its bottom right corner.
        QRect stamp;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x) {
                const QColor a = after.pixelColor(x, y), b = before.pixelColor(x, y);
                if (a.green() - b.green() > 80 && a.green() - a.red() > 60)
                    stamp |= QRect(x, y, 1, 1);
            }
        QVERIFY(!stamp.isEmpty());
        QVERIFY2(stamp.left() > after.width() / 2 && stamp.top() > after.height() * 3 / 4,
                 qPrintable(QStringLiteral("stamp at %1,%2 %3x%4")
                                .arg(stamp.x())
                                .arg(stamp.y())
                                .arg(stamp.width())
                                .arg(stamp.height())));
    }

    /// Real camera files and broken ones in one run: every file gets exactly one line and
    /// the run completes.
    void realPhotos()
    {
        RunFixture f;
        QStringList files;
        for (const QString& name : test::photoNames("invalid"))
            files.append(test::invalidPhoto(name));
        files.insert(files.size() / 2, test::cameraPhoto("tests-32-lens_data.jpeg"));
        files.append(test::cameraPhoto("gps-DSCN0012.jpg"));
        BatchJob job = f.job(files);
        job.currentAttributes.stampTexts = {{QStringLiteral("[make_exif] [datetime_exif]"), true},
                                            {QStringLiteral("[p_filename]"), true}};
        f.run.prepare(job);
        QVERIFY(f.run.runBatch());
        const QStringList messages = f.logMessages();
        QCOMPARE(messages.size(), files.size() + 2);
        QCOMPARE(messages.last(), messages::Completed);
        int saved = 0;
        for (int i = 0; i < files.size(); ++i) {
            const QString name = QFileInfo(files[i]).fileName();
            const QString& line = messages[i + 1];
            if (line == messages::saved(name, f.destinationFolder())) {
                ++saved;
                QVERIFY(metadata::loadPhoto(f.destination(name)).ok());
            } else {
                QVERIFY2(line.startsWith(messages::failed(name, QString())), qPrintable(line));
            }
        }
        QCOMPARE(f.run.stampedCount(), saved);
        QVERIFY(QFileInfo::exists(f.destination("tests-32-lens_data.jpeg")));
        QVERIFY(QFileInfo::exists(f.destination("gps-DSCN0012.jpg")));
    }

    /// A run happens once per preparation.
    void runsOncePerPreparation()
    {
        RunFixture f;
        f.run.prepare(f.job(f.makePhotos({"a.jpg"})));
        QVERIFY(f.run.runBatch());
        QFile::remove(f.destination("a.jpg"));
        QVERIFY(f.run.runBatch());
        QVERIFY(!QFileInfo::exists(f.destination("a.jpg")));
    }
};

TESS_TEST_MAIN(TestBatchRun)
#include "test_batchrun.moc"
