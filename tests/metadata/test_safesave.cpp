// Saving a stamped photo never damages the destination: a failing step or a killed process
// leaves the old bytes or the complete new file, and no temporary file for long.

#include "metadata/JpegCodec.h"
#include "metadata/PhotoFile.h"
#include "platform/SafeFile.h"
#include "tests/metadata/JpegFixtures.h"
#include "tests/support/SafeWriteFault.h"
#include "tests/support/TestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace tess;
using platform::SafeWriteStep;

namespace {

/// The two pictures a saving child alternates between; big enough that writing takes a
/// while.
QImage picture(int which)
{
    return test::syntheticPhoto(1200, 900, quint32(which));
}

/// The child: saves the two pictures over \a dest in turns until it is killed.
int saveLoop(const QString& dest)
{
    const QImage pictures[2] = {picture(1), picture(2)};
    std::puts("ready");
    std::fflush(stdout);
    for (int i = 0;; ++i)
        metadata::saveStampedJpeg(pictures[i % 2], 90, QString(), dest);
}

/// The child: half-way through writing \a dest, waits to be killed.
int stallWhileWriting(const QString& dest)
{
    platform::SafeFileWriter writer(dest);
    writer.write(QByteArray(100'000, 'h'));
    writer.write(QByteArray(100'000, 'h')); // more than a buffer: bytes are on disk
    std::puts("ready");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

QStringList temporaryFiles(const QString& folder)
{
    return QDir(folder).entryList(
        {QStringLiteral(".*") + QLatin1String(platform::SafeWriteTempInfix) + QStringLiteral("*")},
        QDir::Files | QDir::Hidden);
}

/// Starts this test program as a child in \a mode on \a dest and waits until it is ready.
bool startChild(QProcess& child, const char* mode, const QString& dest)
{
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(mode), dest});
    return child.waitForStarted(10000) && child.waitForReadyRead(30000);
}

void kill(QProcess& child)
{
    child.kill(); // SIGKILL: no chance to clean up
    child.waitForFinished(10000);
}

void age(const QString& path, int seconds)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                             QFileDevice::FileModificationTime));
}

} // namespace

class TestSafeSave : public QObject
{
    Q_OBJECT
private slots:
    void failedStepLeavesThePhoto_data()
    {
        QTest::addColumn<SafeWriteStep>("step");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("systemError");
        QTest::newRow("second write") << SafeWriteStep::Write << 2 << ENOSPC;
        QTest::newRow("final flush") << SafeWriteStep::Flush << 1 << ENOSPC;
        QTest::newRow("fsync") << SafeWriteStep::Sync << 1 << EIO;
        QTest::newRow("rename") << SafeWriteStep::Rename << 1 << EPERM;
    }

    void failedStepLeavesThePhoto()
    {
        QFETCH(SafeWriteStep, step);
        QFETCH(int, nth);
        QFETCH(int, systemError);
        QTemporaryDir dir;
        const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
        QVERIFY(metadata::saveStampedJpeg(picture(1), 90, QString(), photo));
        const QByteArray before = test::readFile(photo);

        const test::SafeWriteFault fault(step, nth, systemError);
        QString error;
        QVERIFY(!metadata::saveStampedJpeg(picture(2), 90, photo, photo, &error));
        QCOMPARE(error, qt_error_string(systemError));
        QCOMPARE(test::readFile(photo), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("photo.jpg")});

        // The save that keeps the photo's own compression fails the same way, and does not
        // write the photo a second time, anew, as if the source could not be kept.
        const QImage loaded = metadata::loadPhoto(photo).image;
        QImage stamped = loaded.copy();
        for (int y = 800; y < 864; ++y) // a small stamp: the file stays as large as the photo's
            for (int x = 1100; x < 1164; ++x)
                stamped.setPixelColor(x, y, Qt::red);
        const test::SafeWriteFault again(step, nth, systemError);
        const metadata::StampedSave saved =
            metadata::saveStampedPhoto(stamped, 90, photo, photo, loaded);
        QVERIFY(!saved.ok());
        QCOMPARE(saved.error, qt_error_string(systemError));
        QVERIFY(saved.whyNotLossless.isEmpty());
        QCOMPARE(test::readFile(photo), before);
    }

    /// A child saving in a loop is killed at random moments: the photo is always the old
    /// file or one complete new one.
    void killedWhileSaving()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
        QList<QByteArray> complete;
        for (int which : {0, 1, 2}) {
            QVERIFY(metadata::saveStampedJpeg(picture(which), 90, QString(), photo));
            complete.append(test::readFile(photo));
        }
        QVERIFY(complete[1] != complete[2]);

        for (int round = 0; round < 25; ++round) {
            QProcess child;
            QVERIFY(startChild(child, "--save-loop", photo));
            QThread::msleep(QRandomGenerator::global()->bounded(5, 120));
            kill(child);
            const QByteArray now = test::readFile(photo);
            QVERIFY2(complete.contains(now),
                     qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
            QVERIFY(metadata::decodeJpeg(now).ok());
        }
        // What the killed saves left goes with the next save, once old enough.
        for (const QString& name : temporaryFiles(dir.path()))
            age(dir.filePath(name), 90);
        QVERIFY(metadata::saveStampedJpeg(picture(0), 90, QString(), photo));
        QCOMPARE(temporaryFiles(dir.path()), QStringList());
        QCOMPARE(test::readFile(photo), complete[0]);
    }

    /// Killed between writing and renaming, a save leaves its temporary file; the next save
    /// of that photo removes it once it is older than a minute.
    void nextSaveRemovesWhatAKilledSaveLeft()
    {
        QTemporaryDir dir;
        const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
        QVERIFY(metadata::saveStampedJpeg(picture(1), 90, QString(), photo));
        const QByteArray before = test::readFile(photo);
        QProcess child;
        QVERIFY(startChild(child, "--stall", photo));
        kill(child);
        QCOMPARE(test::readFile(photo), before);
        const QStringList left = temporaryFiles(dir.path());
        QCOMPARE(left.size(), 1);
        QVERIFY(QFileInfo(dir.filePath(left[0])).size() > 100'000); // bytes were written
        QVERIFY(left[0].startsWith(QStringLiteral(".photo.jpg.tessarine-")));

        QVERIFY(metadata::saveStampedJpeg(picture(2), 90, QString(), photo));
        QCOMPARE(temporaryFiles(dir.path()), left); // young: it may be a save still running
        age(dir.filePath(left[0]), 90);
        QVERIFY(metadata::saveStampedJpeg(picture(1), 90, QString(), photo));
        QCOMPARE(temporaryFiles(dir.path()), QStringList());
        QCOMPARE(test::readFile(photo), before);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save-loop") == 0)
        return saveLoop(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--stall") == 0)
        return stallWhileWriting(QString::fromLocal8Bit(argv[2]));
    tess::test::isolateEnvironment();
    QApplication app(argc, argv);
    TestSafeSave tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "test_safesave.moc"
