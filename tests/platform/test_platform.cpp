#include "platform/Folders.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tess;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void documentsFolderIsUnderTheTestHome()
    {
        platform::SystemFolders folders;
        QVERIFY(folders.documentsFolder().startsWith(test::testHome()));
        QVERIFY(!folders.documentsFolder().endsWith(u'/'));
        QVERIFY(folders.dataFolder().endsWith(QStringLiteral("/Orvane/Tessarine/1/")));
    }

    void dataFolderIsCreatedWithItsParents()
    {
        platform::SystemFolders folders;
        QVERIFY(!QDir(folders.documentsFolder()).exists());
        QVERIFY(platform::ensureDataFolder(folders));
        QVERIFY(QDir(folders.dataFolder()).exists());
        QVERIFY(platform::ensureDataFolder(folders));
    }

    void unwritableDocumentsFolderFailsQuietly()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("docs")));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        struct : platform::Folders
        {
            QString path;
            QString documentsFolder() const override { return path; }
        } folders;
        folders.path = blocker.fileName();
        QVERIFY(!platform::ensureDataFolder(folders));
    }
};

TESS_TEST_MAIN(TestPlatform)
#include "test_platform.moc"
