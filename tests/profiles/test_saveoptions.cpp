#include "profiles/SaveOptions.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"

#include <QTemporaryDir>

using namespace tess;
using tess::profiles::SaveOptions;

class TestSaveOptions : public QObject
{
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<bool>("keepOwnCompression");
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("on") << QByteArray("KeepOwnCompression=1\n") << true;
        QTest::newRow("off") << QByteArray("KeepOwnCompression=0\n") << false;
        QTest::newRow("blanks and Windows line ends")
            << QByteArray(" KeepOwnCompression = 1 \r\n") << true;
        QTest::newRow("among unknown lines")
            << QByteArray("Other=5\n[Section]\nKeepOwnCompression=1\nno equals sign\n") << true;
        QTest::newRow("a value not understood") << QByteArray("KeepOwnCompression=yes\n") << false;
        QTest::newRow("another key's value") << QByteArray("KeepOwnCompressionX=1\n") << false;
        QTest::newRow("binary junk") << QByteArray("\0\xff=\x01\n", 5) << false;
    }
    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, keepOwnCompression);
        QTemporaryDir dir;
        const QString path = dir.filePath(SaveOptions::fileName());
        if (!file.isNull())
            QVERIFY(test::writeFile(path, file));
        QCOMPARE(SaveOptions::read(path).keepOwnCompression, keepOwnCompression);
    }

    void writesWhatItReads_data()
    {
        QTest::addColumn<bool>("keepOwnCompression");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void writesWhatItReads()
    {
        QFETCH(bool, keepOwnCompression);
        QTemporaryDir dir;
        const QString path = dir.filePath(SaveOptions::fileName());
        QVERIFY(test::writeFile(path, "KeepOwnCompression=1\nKeepOwnCompression=0\n"));
        QVERIFY(SaveOptions{keepOwnCompression}.write(path));
        QCOMPARE(SaveOptions::read(path).keepOwnCompression, keepOwnCompression);
        // A folder that is not there: nothing written, no file left behind.
        QVERIFY(!SaveOptions{keepOwnCompression}.write(dir.filePath(QStringLiteral("no/x.ini"))));
    }
};

TESS_TEST_MAIN(TestSaveOptions)
#include "test_saveoptions.moc"
