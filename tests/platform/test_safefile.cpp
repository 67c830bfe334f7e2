#include "platform/SafeFile.h"
#include "tests/support/SafeWriteFault.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace tess;
using platform::SafeWriteStep;

namespace {

/// Three full buffers of the writer and a partly filled one.
QByteArray payload(char fill)
{
    return QByteArray(3 * 64 * 1024 + 1000, fill);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

struct stat statOf(const QString& path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT
private slots:
    void failedStepLeavesDestinationUntouched_data()
    {
        QTest::addColumn<SafeWriteStep>("step");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<bool>("existing");
        QTest::newRow("temporary file") << SafeWriteStep::Create << 1 << EACCES << true;
        QTest::newRow("first write") << SafeWriteStep::Write << 1 << ENOSPC << true;
        QTest::newRow("third write") << SafeWriteStep::Write << 3 << EDQUOT << true;
        QTest::newRow("final flush") << SafeWriteStep::Flush << 1 << ENOSPC << true;
        QTest::newRow("fsync") << SafeWriteStep::Sync << 1 << EIO << true;
        QTest::newRow("rename") << SafeWriteStep::Rename << 1 << EBUSY << true;
        QTest::newRow("final flush, new file") << SafeWriteStep::Flush << 1 << EFBIG << false;
        QTest::newRow("rename, new file") << SafeWriteStep::Rename << 1 << EIO << false;
    }

    void failedStepLeavesDestinationUntouched()
    {
        QFETCH(SafeWriteStep, step);
        QFETCH(int, nth);
        QFETCH(int, systemError);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("photo.jpg"));
        if (existing)
            QVERIFY(test::writeFile(dest, "old bytes"));
        const QStringList before = entries(dir.path());

        const test::SafeWriteFault fault(step, nth, systemError);
        QString error;
        QVERIFY(!platform::writeFileSafely(dest, payload('a'), &error));
        QCOMPARE(error, qt_error_string(systemError));
        QCOMPARE(entries(dir.path()), before); // no temporary file left
        QCOMPARE(QFileInfo::exists(dest), existing);
        if (existing)
            QCOMPARE(test::readFile(dest), QByteArray("old bytes"));

        // The fault was spent: the next save goes through.
        QVERIFY2(platform::writeFileSafely(dest, payload('b'), &error), qPrintable(error));
        QCOMPARE(test::readFile(dest), payload('b'));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("photo.jpg")});
    }

    void writtenInParts()
    {
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("p.bin"));
        QVERIFY(test::writeFile(dest, "old"));
        {
            platform::SafeFileWriter dropped(dest);
            QVERIFY(dropped.write("never committed"));
        }
        QCOMPARE(test::readFile(dest), QByteArray("old"));
        QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("p.bin")});

        platform::SafeFileWriter writer(dest);
        const QByteArray big = payload('z');
        QVERIFY(writer.write("head:") && writer.write(big) && writer.write(":tail"));
        QVERIFY(writer.commit());
        QCOMPARE(test::readFile(dest), "head:" + big + ":tail");
    }

    void fullDisk_data()
    {
        QTest::addColumn<qint64>("freeBytes");
        QTest::addColumn<int>("size");
        QTest::newRow("full, a few bytes") << qint64(0) << 10;
        QTest::newRow("8 KB free, less than one buffer") << qint64(8192) << 20000;
        QTest::newRow("8 KB free, several buffers") << qint64(8192) << 300000;
    }

    void fullDisk()
    {
        QFETCH(qint64, freeBytes);
        QFETCH(int, size);
        test::SmallDisk disk(1024);
        if (!disk.mounted())
            QSKIP("a small filesystem cannot be mounted here");
        const QString dest = disk.filePath(QStringLiteral("photo.jpg"));
        QVERIFY(test::writeFile(dest, "old bytes"));
        QVERIFY(disk.fill(freeBytes));
        const QStringList before = entries(QFileInfo(dest).path());

        QString error;
        QVERIFY(!platform::writeFileSafely(dest, QByteArray(size, 'n'), &error));
        QCOMPARE(error, qt_error_string(ENOSPC));
        QCOMPARE(test::readFile(dest), QByteArray("old bytes"));
        QCOMPARE(entries(QFileInfo(dest).path()), before);
    }

    void destinations_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error"); // empty: saved
        QTest::newRow("existing file") << "file"
                                       << "";
        QTest::newRow("new file") << "new"
                                  << "";
        QTest::newRow("name of 250 bytes") << "long name"
                                           << "";
        QTest::newRow("read-only file") << "read-only" << qt_error_string(EACCES);
        QTest::newRow("folder") << "folder" << qt_error_string(EISDIR);
        QTest::newRow("FIFO") << "fifo"
                              << "Not a regular file";
        QTest::newRow("missing folder") << "missing folder" << qt_error_string(ENOENT);
        QTest::newRow("link to a file: the file is replaced") << "link"
                                                              << "";
        QTest::newRow("link to nothing") << "dangling link" << qt_error_string(ENOENT);
    }

    void destinations()
    {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("target.jpg"));
        QString dest = file;
        if (kind != QLatin1String("new"))
            QVERIFY(test::writeFile(file, "old"));
        if (kind == QLatin1String("long name"))
            dest = dir.filePath(QString(250, u'n'));
        else if (kind == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup |
                                                    QFile::ReadOther)); // 0444
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(dest = dir.filePath(QStringLiteral("folder"))));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(dest = dir.filePath(QStringLiteral("f"))), 0644),
                     0);
        else if (kind == QLatin1String("missing folder"))
            dest = dir.filePath(QStringLiteral("no/such/p.jpg"));
        else if (kind == QLatin1String("link"))
            QVERIFY(QFile::link(file, dest = dir.filePath(QStringLiteral("link.jpg"))));
        else if (kind == QLatin1String("dangling link"))
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.jpg")),
                                dest = dir.filePath(QStringLiteral("link.jpg"))));
        const QStringList before = entries(dir.path());
        const struct stat old = statOf(file);

        QString reason;
        const bool saved = platform::writeFileSafely(dest, "new", &reason);
        QCOMPARE(reason, error);
        QCOMPARE(saved, error.isEmpty());
        if (saved) {
            QCOMPARE(test::readFile(dest), QByteArray("new"));
            QVERIFY(!entries(dir.path())
                         .join(u'/')
                         .contains(QLatin1String(platform::SafeWriteTempInfix)));
        } else {
            QCOMPARE(entries(dir.path()), before);
            if (QFileInfo::exists(file))
                QCOMPARE(test::readFile(file), QByteArray("old"));
        }
        if (kind == QLatin1String("link")) {
            QVERIFY(QFileInfo(dest).isSymLink());
            QCOMPARE(test::readFile(file), QByteArray("new"));
        }
        if (kind == QLatin1String("read-only"))
            QCOMPARE(statOf(file).st_mode, old.st_mode);
    }

    void identityIsKept_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::newRow("0600") << 0600 << false;
        QTest::newRow("0640") << 0640 << false;
        QTest::newRow("0755") << 0755 << false;
        QTest::newRow("0200, write only") << 0200 << false;
        QTest::newRow("another owner and group, 0664") << 0664 << true;
        QTest::newRow("another owner, set-group-ID 02660") << 02660 << true;
    }

    void identityIsKept()
    {
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        if (otherOwner && ::geteuid() != 0)
            QSKIP("only root can give a file to another owner");
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("p.jpg"));
        QVERIFY(test::writeFile(dest, "old"));
        const QByteArray path = QFile::encodeName(dest);
        if (otherOwner)
            QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
        const struct stat old = statOf(dest);

        QString error;
        QVERIFY2(platform::writeFileSafely(dest, "new", &error), qPrintable(error));
        const struct stat now = statOf(dest);
        QCOMPARE(now.st_ino == old.st_ino, false); // really replaced
        QCOMPARE(int(now.st_mode & 07777), mode);
        QCOMPARE(now.st_uid, old.st_uid);
        QCOMPARE(now.st_gid, old.st_gid);
        QCOMPARE(QFileInfo(dest).size(), 3);
    }

    void newFileGetsTheUsualMode()
    {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain"));
        const QString safe = dir.filePath(QStringLiteral("safe"));
        QVERIFY(test::writeFile(plain, "x"));
        QVERIFY(platform::writeFileSafely(safe, "x"));
        QCOMPARE(statOf(safe).st_mode, statOf(plain).st_mode);
    }

    void leftoversOfThisDestination_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("removed");
        QTest::newRow("ours, two minutes old") << ".photo.jpg.tessarine-Ab12Cd" << 120 << true;
        QTest::newRow("ours, ten seconds old: a save may be running")
            << ".photo.jpg.tessarine-Ab12Cd" << 10 << false;
        QTest::newRow("another destination's") << ".other.jpg.tessarine-Ab12Cd" << 120 << false;
        QTest::newRow("five letters") << ".photo.jpg.tessarine-Ab12C" << 120 << false;
        QTest::newRow("seven letters") << ".photo.jpg.tessarine-Ab12Cd7" << 120 << false;
        QTest::newRow("not hidden") << "photo.jpg.tessarine-Ab12Cd" << 120 << false;
        QTest::newRow("not a letter") << ".photo.jpg.tessarine-Ab-2Cd" << 120 << false;
        QTest::newRow("another program's pattern") << ".photo.jpg.pbaWAV" << 120 << false;
    }

    void leftoversOfThisDestination()
    {
        QFETCH(QString, name);
        QFETCH(int, ageSeconds);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString leftover = dir.filePath(name);
        QVERIFY(test::writeFile(leftover, "half a photo"));
        QFile file(leftover);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
        file.close();

        QVERIFY(platform::writeFileSafely(dir.filePath(QStringLiteral("photo.jpg")), "new"));
        QCOMPARE(QFileInfo::exists(leftover), !removed);
    }
};

TESS_TEST_MAIN(TestSafeFile)
#include "test_safefile.moc"
