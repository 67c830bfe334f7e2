#include "stamptext/DateFormats.h"
#include "tests/support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

using namespace tess;
using stamptext::Separators;

namespace {

QDateTime local(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// 3 July 2008, 14:05:09 written with each index of the table.
QStringList julyThirdWritten()
{
    return {"2008:07:03 14:05:09",
            "2008-07-03 14:05:09",
            "2008-07-03",
            "14:05:09",
            "07/03/2008 02:05:09 pm",
            "07/03/2008",
            "02:05:09 pm",
            "03-07-2008 14:05:09",
            "03-07-2008"};
}

} // namespace

class TestDateFormats : public QObject
{
    Q_OBJECT
private slots:
    void captions()
    {
        QCOMPARE(stamptext::dateFormatCaptions(),
                 QStringList({"Default", "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DD", "HH:MM:SS",
                              "MM/DD/YYYY HH:MM:SS am/pm", "MM/DD/YYYY", "HH:MM:SS am/pm",
                              "DD-MM-YYYY  HH:MM:SS", "DD-MM-YYYY"}));
        QCOMPARE(stamptext::dateFormatCaptions().size(), stamptext::DateFormatCount);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: the parse fails
        const QDateTime july3(QDate(2008, 7, 3), QTime(14, 5, 9), QTimeZone::utc());
        QTest::newRow("EXIF form") << "2008:07:03 14:05:09" << july3;
        QTest::newRow("separators are not checked") << "2008-07-03T14:05:09" << july3;
        QTest::newRow("text after the seconds") << "2008:07:03 14:05:09.25" << july3;
        QTest::newRow("leading blank in a piece") << "2008: 7: 3 14:05: 9" << july3;
        QTest::newRow("midnight") << "2008:07:03 00:00:00"
                                  << QDateTime(QDate(2008, 7, 3), QTime(0, 0), QTimeZone::utc());
        QTest::newRow("29 February of a leap year")
            << "2008:02:29 23:59:59"
            << QDateTime(QDate(2008, 2, 29), QTime(23, 59, 59), QTimeZone::utc());
        QTest::newRow("unknown date: blanks") << "    :  :     :  :  " << QDateTime();
        QTest::newRow("all zero") << "0000:00:00 00:00:00" << QDateTime();
        QTest::newRow("date only") << "2008:07:03" << QDateTime();
        QTest::newRow("seconds cut to one digit")
            << "2008:07:03 14:05:7"
            << QDateTime(QDate(2008, 7, 3), QTime(14, 5, 7), QTimeZone::utc());
        QTest::newRow("seconds missing") << "2008:07:03 14:05:" << QDateTime();
        QTest::newRow("empty") << "" << QDateTime();
        QTest::newRow("30 February") << "2008:02:30 10:00:00" << QDateTime();
        QTest::newRow("29 February of a common year") << "2007:02:29 10:00:00" << QDateTime();
        QTest::newRow("month 13") << "2008:13:03 10:00:00" << QDateTime();
        QTest::newRow("hour 24") << "2008:07:03 24:00:00" << QDateTime();
        QTest::newRow("minute 60") << "2008:07:03 14:60:00" << QDateTime();
        QTest::newRow("second 60") << "2008:07:03 14:05:60" << QDateTime();
        QTest::newRow("letter in a piece") << "2008:07:0x 14:05:09" << QDateTime();
        QTest::newRow("trailing blank in a piece") << "2008:7 :03 14:05:09" << QDateTime();
        QTest::newRow("sign in a piece") << "2008:+7:03 14:05:09" << QDateTime();
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> parsed = stamptext::parseExifDateTime(text);
        QCOMPARE(parsed.has_value(), expected.isValid());
        if (parsed)
            QCOMPARE(*parsed, expected);
    }

    void exifDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QString july3 = QStringLiteral("2008:07:03 14:05:09");
        const QStringList written = julyThirdWritten();
        for (int i = 0; i < written.size(); ++i)
            QTest::addRow("index %d", i) << july3 << i << written[i];
        QTest::newRow("index 0 keeps the text as stored")
            << "2008-07-03T14:05:09" << 0 << "2008-07-03T14:05:09";
        QTest::newRow("00:30 with am/pm") << "2008:07:03 00:30:00" << 4 << "07/03/2008 12:30:00 am";
        QTest::newRow("noon with am/pm") << "2008:07:03 12:00:00" << 6 << "12:00:00 pm";
        QTest::newRow("11:59 is am") << "2008:07:03 11:59:59" << 6 << "11:59:59 am";
        QTest::newRow("23:00 is 11 pm") << "2008:07:03 23:00:00" << 6 << "11:00:00 pm";
        QTest::newRow("13:00 is 01 pm") << "2008:07:03 13:00:00" << 4 << "07/03/2008 01:00:00 pm";
        QTest::newRow("no am/pm: 24-hour clock") << "2008:07:03 00:30:00" << 3 << "00:30:00";
        QTest::newRow("year below 1000, year first") << "0999:07:03 14:05:09" << 2 << "0999-07-03";
        QTest::newRow("year 1, month first") << "0001:07:03 14:05:09" << 5 << "07/03/0001";
        QTest::newRow("year 12, day first") << "0012:07:03 14:05:09" << 8 << "03-07-0012";
        QTest::newRow("index 9") << july3 << 9 << "";
        QTest::newRow("index -1") << july3 << -1 << "";
        QTest::newRow("empty text") << "" << 1 << "";
        for (int i : {0, 1, 5, 8})
            QTest::addRow("30 February, index %d", i) << "2008:02:30 10:00:00" << i << "";
        QTest::newRow("unknown date, index 0") << "    :  :     :  :  " << 0 << "";
    }

    void exifDate()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, expected);
        QCOMPARE(stamptext::formatExifDate(text, index), expected);
    }

    void fileDate_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QStringList written = julyThirdWritten();
        for (int i = 0; i < written.size(); ++i)
            QTest::addRow("index %d", i) << i << written[i];
        QTest::newRow("index 9") << 9 << "";
        QTest::newRow("index 12") << 12 << "";
    }

    void fileDate()
    {
        QFETCH(int, index);
        QFETCH(QString, expected);
        QCOMPARE(stamptext::formatFileDate(local(2008, 7, 3, 14, 5, 9), index), expected);
    }

    void regionalSeparators_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("exif");
        QTest::addColumn<QString>("file");
        // "/" is the date separator and ":" the time separator wherever the pattern has them.
        QTest::newRow("index 0") << 0 << "2008:07:03 14:05:09"
                                 << "2008.07.03 14.05.09";
        QTest::newRow("index 1") << 1 << "2008-07-03 14.05.09"
                                 << "2008-07-03 14.05.09";
        QTest::newRow("index 4") << 4 << "07-03-2008 02.05.09 pm"
                                 << "07-03-2008 02.05.09 pm";
        QTest::newRow("index 5") << 5 << "07-03-2008"
                                 << "07-03-2008";
        QTest::newRow("index 8") << 8 << "03-07-2008"
                                 << "03-07-2008";
    }

    void regionalSeparators()
    {
        QFETCH(int, index);
        QFETCH(QString, exif);
        QFETCH(QString, file);
        const Separators dashAndDot{QStringLiteral("-"), QStringLiteral(".")};
        QCOMPARE(
            stamptext::formatExifDate(QStringLiteral("2008:07:03 14:05:09"), index, dashAndDot),
            exif);
        QCOMPARE(stamptext::formatFileDate(local(2008, 7, 3, 14, 5, 9), index, dashAndDot), file);
    }

    void fileDateHasTwoSecondResolution_data()
    {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<QString>("expected");
        QTest::newRow("odd second") << local(2008, 7, 3, 14, 5, 9) << "2008:07:03 14:05:08";
        QTest::newRow("odd second and milliseconds")
            << local(2008, 7, 3, 14, 5, 9, 999) << "2008:07:03 14:05:08";
        QTest::newRow("even second") << local(2008, 7, 3, 14, 5, 8, 500) << "2008:07:03 14:05:08";
        QTest::newRow("second 59") << local(2008, 12, 31, 23, 59, 59) << "2008:12:31 23:59:58";
        QTest::newRow("before 1980") << local(1975, 1, 2, 3, 4, 5) << "1975:01:02 03:04:04";
    }

    void fileDateHasTwoSecondResolution()
    {
        QFETCH(QDateTime, modified);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("photo.jpg")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();
        const std::optional<QDateTime> date = stamptext::fileDate(file.fileName());
        QVERIFY(date.has_value());
        QCOMPARE(stamptext::formatFileDate(*date, 0), expected);
        QCOMPARE(date->time().msec(), 0);
    }

    void exifTimesIgnoreClockChanges()
    {
        // 02:30 on 30 March 2008 does not exist in Berlin's local time; EXIF times are
        // written as they are stored all the same.
        const QByteArray oldZone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        const QString written = stamptext::formatExifDate(QStringLiteral("2008:03:30 02:30:00"), 1);
        if (oldZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldZone);
        QCOMPARE(written, QStringLiteral("2008-03-30 02:30:00"));
    }

    void missingFileHasNoDate()
    {
        QVERIFY(!stamptext::fileDate(test::testHome() + QStringLiteral("/gone.jpg")).has_value());
        QVERIFY(!stamptext::fileDate(QString()).has_value());
    }
};

TESS_TEST_MAIN(TestDateFormats)
#include "test_dateformats.moc"
