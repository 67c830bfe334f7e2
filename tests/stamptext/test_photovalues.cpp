#include "metadata/Exif.h"
#include "platform/Text8Bit.h"
#include "stamptext/PhotoValues.h"
#include "stamptext/StampMask.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

using namespace tess;
using stamptext::DateFormats;
using stamptext::PhotoValueTable;
using tess::test::writeFile;

namespace {

const QDateTime OpenedAt(QDate(2008, 7, 3), QTime(9, 5, 3));
const QSize PhotoSize(3888, 2592);

PhotoValueTable valuesOf(const QString& path, const DateFormats& formats = {})
{
    return stamptext::readPhotoValues(path, PhotoSize, formats, OpenedAt, {});
}

QStringList tagsOf(const PhotoValueTable& table)
{
    QStringList tags;
    for (const QString& line : table.lines())
        tags.append(line.section(u'=', 0, 0));
    return tags;
}

const QStringList& clockAndFileTags()
{
    static const QStringList tags = stamptext::stampTags().mid(stamptext::ExifTagCount);
    return tags;
}

// A JPEG whose EXIF segment points IFD0 past its end.
QByteArray corruptExifJpeg()
{
    const QByteArray tiff("II*\0\xF0\x00\x00\x00", 8);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray file("\xFF\xD8\xFF\xE1", 4);
    file.append(char(length >> 8)).append(char(length & 0xFF));
    return file + payload + QByteArray("\xFF\xD9", 2);
}

// ---- what exiv2 reads from a file ----

struct ToolValue
{
    QString type;
    QByteArray value; ///< as printed, undecoded
};

// "Group.Tag" -> value of the first such line of `exiv2 -pv`; IFD0 is group Image, the EXIF
// sub-directory group Photo.
std::optional<QHash<QString, ToolValue>> exiv2Values(const QString& exiv2, const QString& path)
{
    QProcess tool;
    tool.start(exiv2, {QStringLiteral("-pv"), path});
    if (!tool.waitForFinished(30000))
        return std::nullopt;
    static const QRegularExpression line(
        QStringLiteral("^0x[0-9a-f]{4} (Image|Photo) +(\\w+) +(\\w+) +\\d+  ?(.*)$"));
    QHash<QString, ToolValue> values;
    for (const QByteArray& raw : tool.readAllStandardOutput().split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(raw));
        if (!m.hasMatch())
            continue;
        const QString key = m.captured(1) + u'.' + m.captured(2);
        if (values.contains(key))
            continue;
        const qsizetype valueStart = m.capturedStart(4); // Latin-1: one char per byte
        values.insert(key, {m.captured(3), raw.mid(valueStart)});
    }
    return values;
}

QByteArray trimmedRight(QByteArray bytes)
{
    while (!bytes.isEmpty() && quint8(bytes.back()) <= 32)
        bytes.chop(1);
    return bytes;
}

std::optional<std::pair<quint64, quint64>> rationalOf(const ToolValue& v)
{
    const QList<QByteArray> parts = v.value.trimmed().split(' ').first().split('/');
    if (parts.size() != 2)
        return std::nullopt;
    return std::pair{parts[0].toULongLong(), parts[1].toULongLong()};
}

quint64 firstNumber(const ToolValue& v)
{
    return v.value.trimmed().split(' ').first().toULongLong();
}

// The stamped text of each compared tag, worked out from the tool's raw values.
QHash<QString, QString> expectedFrom(const QHash<QString, ToolValue>& tool)
{
    QHash<QString, QString> out;
    const auto text = [&](const char* key) {
        return tool.contains(QLatin1String(key))
                   ? platform::decode8Bit(trimmedRight(tool[QLatin1String(key)].value))
                   : QString();
    };
    const auto date = [&](const char* key) {
        const QString t = text(key);
        const QDateTime d = QDateTime::fromString(t, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        return d.isValid() ? t : QString();
    };
    const auto number = [&](const char* key) {
        return tool.contains(QLatin1String(key))
                   ? QString::number(firstNumber(tool[QLatin1String(key)]))
                   : QStringLiteral("0");
    };
    const auto rational = [&](const char* key) {
        return tool.contains(QLatin1String(key)) ? rationalOf(tool[QLatin1String(key)])
                                                 : std::nullopt;
    };

    out[QStringLiteral("[make_exif]")] = text("Image.Make");
    out[QStringLiteral("[model_exif]")] = text("Image.Model");
    out[QStringLiteral("[software_exif]")] = text("Image.Software");
    out[QStringLiteral("[artist_exif]")] = text("Image.Artist");
    out[QStringLiteral("[datetime_exif]")] = date("Image.DateTime");
    out[QStringLiteral("[originaldatetime_exif]")] = date("Photo.DateTimeOriginal");
    out[QStringLiteral("[createddatetime_exif]")] = date("Photo.DateTimeDigitized");
    out[QStringLiteral("[isospeed_exif]")] = number("Photo.ISOSpeedRatings");
    out[QStringLiteral("[meteringmode_exif]")] = number("Photo.MeteringMode");
    out[QStringLiteral("[pixelxdimension_exif]")] = number("Photo.PixelXDimension");
    out[QStringLiteral("[pixelydimension_exif]")] = number("Photo.PixelYDimension");

    const auto name = [&](const char* key, QString (*table)(quint32)) {
        return tool.contains(QLatin1String(key))
                   ? table(quint32(firstNumber(tool[QLatin1String(key)])))
                   : QString();
    };
    out[QStringLiteral("[orientation_exif]")] =
        name("Image.Orientation", metadata::orientationName);
    out[QStringLiteral("[lightsource_exif]")] =
        name("Photo.LightSource", metadata::lightSourceName);

    const auto exposure = rational("Photo.ExposureTime");
    out[QStringLiteral("[exposure_exif]")] =
        !exposure ? QString()
        : exposure->second == 1000000
            ? QStringLiteral("0 seconds")
            : QStringLiteral("%1/%2 seconds").arg(exposure->first).arg(exposure->second);

    const auto fNumber = rational("Photo.FNumber");
    QString fText;
    if (fNumber && fNumber->second != 0) {
        fText = QString::number(double(fNumber->first) / double(fNumber->second), 'f', 2);
        if (fText.endsWith(u'0'))
            fText.chop(1);
    }
    out[QStringLiteral("[fstops_exif]")] = fText;

    for (const char* axis : {"X", "Y"}) {
        const QString key = QStringLiteral("Image.%1Resolution").arg(QLatin1String(axis));
        const auto r = tool.contains(key) ? rationalOf(tool[key]) : std::nullopt;
        const double v = r && r->second ? std::nearbyint(double(r->first) / double(r->second)) : 0;
        out[QStringLiteral("[%1resolution_exif]").arg(QLatin1String(axis).toString().toLower())] =
            QString::number(qint64(v));
    }
    return out;
}

} // namespace

class TestPhotoValues : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void entriesInTableOrder()
    {
        const QString path = test::cameraPhoto(QStringLiteral("Canon_40D.jpg"));
        const PhotoValueTable table = valuesOf(path);
        QCOMPARE(tagsOf(table), stamptext::stampTags());
        QCOMPARE(table.valueOf(QStringLiteral("[dd]")), QStringLiteral("03"));
        QCOMPARE(table.valueOf(QStringLiteral("[MM]")), QStringLiteral("07"));
        QCOMPARE(table.valueOf(QStringLiteral("[yyyy]")), QStringLiteral("2008"));
        QCOMPARE(table.valueOf(QStringLiteral("[hh]")), QStringLiteral("09"));
        QCOMPARE(table.valueOf(QStringLiteral("[mm]")), QStringLiteral("05"));
        QCOMPARE(table.valueOf(QStringLiteral("[ss]")), QStringLiteral("03"));
        QCOMPARE(table.valueOf(QStringLiteral("[p_width]")), QStringLiteral("3888"));
        QCOMPARE(table.valueOf(QStringLiteral("[p_height]")), QStringLiteral("2592"));
        QCOMPARE(table.valueOf(QStringLiteral("[p_filename]")), QStringLiteral("Canon_40D.jpg"));
        const std::optional<QDateTime> modified = stamptext::fileDate(path);
        QVERIFY(modified.has_value());
        QCOMPARE(table.valueOf(QStringLiteral("[p_filedatetime]")),
                 stamptext::formatFileDate(*modified, 0));
        const auto lookup = [&table](const QString& tag) { return table.valueOf(tag); };
        QCOMPARE(stamptext::expandStampMask(QStringLiteral("[hh]:[mm]"), lookup),
                 QStringLiteral("09:05"));
    }

    void eachDateTagUsesItsOwnFormat()
    {
        const DateFormats formats{3, 2, 8, 1};
        const PhotoValueTable table =
            valuesOf(test::cameraPhoto(QStringLiteral("Canon_40D.jpg")), formats);
        metadata::TExif exif;
        exif.readExif(test::cameraPhoto(QStringLiteral("Canon_40D.jpg")));
        // Distinct dates, so that a swapped field or index shows.
        QVERIFY(exif.dateTime != exif.dateTimeOriginal);
        QCOMPARE(table.valueOf(QStringLiteral("[datetime_exif]")),
                 stamptext::formatExifDate(exif.dateTime, 3));
        QCOMPARE(table.valueOf(QStringLiteral("[originaldatetime_exif]")),
                 stamptext::formatExifDate(exif.dateTimeOriginal, 2));
        QCOMPARE(table.valueOf(QStringLiteral("[createddatetime_exif]")),
                 stamptext::formatExifDate(exif.dateTimeDigitized, 8));
        const std::optional<QDateTime> modified =
            stamptext::fileDate(test::cameraPhoto(QStringLiteral("Canon_40D.jpg")));
        QVERIFY(modified.has_value());
        QCOMPARE(table.valueOf(QStringLiteral("[p_filedatetime]")),
                 stamptext::formatFileDate(*modified, 1));
    }

    void separatorsReachTheDates()
    {
        const stamptext::Separators dots{QStringLiteral("."), QStringLiteral("h")};
        const PhotoValueTable table =
            stamptext::readPhotoValues(test::cameraPhoto(QStringLiteral("Canon_40D.jpg")),
                                       PhotoSize, {5, 3, 0, 4}, OpenedAt, dots);
        QVERIFY(table.valueOf(QStringLiteral("[datetime_exif]")).contains(u'.'));
        QVERIFY(table.valueOf(QStringLiteral("[originaldatetime_exif]")).contains(u'h'));
        QVERIFY(
            table.valueOf(QStringLiteral("[createddatetime_exif]")).contains(u':')); // as stored
        QVERIFY(table.valueOf(QStringLiteral("[p_filedatetime]")).contains(u'h'));
        QCOMPARE(table.valueOf(QStringLiteral("[hh]")), QStringLiteral("09")); // fixed forms
    }

    void dropDownList_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("notOffered");
        QTest::newRow("make, no user comment")
            << test::cameraPhoto(QStringLiteral("Canon_40D.jpg"))
            << QStringList{"[make_exif]", "[isospeed_exif]", "[p_filename]", "[p_filedatetime]"}
            << QStringList{"[usercomments_exif]", "[artist_exif]"};
        QTest::newRow("no ISO tag: \"0\" is a value")
            << test::cameraPhoto(QStringLiteral("xmp-no_exif.jpg"))
            << QStringList{"[isospeed_exif]", "[artist_exif]"} << QStringList{"[make_exif]"};
    }

    void dropDownList()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, notOffered);
        const PhotoValueTable table = valuesOf(path);
        const QStringList tags = table.tagsWithValue();
        for (const QString& tag : offered)
            QVERIFY2(tags.contains(tag), qPrintable(tag));
        for (const QString& tag : notOffered)
            QVERIFY2(!tags.contains(tag), qPrintable(tag));
        for (const QString& tag : tags)
            QVERIFY(!table.valueOf(tag).isEmpty());
    }

    void withoutUsableExif_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("exifEntries");
        QTest::newRow("no APP1 segment")
            << test::cameraPhoto(QStringLiteral("exif-org-olympus-d320l.jpg"))
            << stamptext::ExifTagCount;
        QTest::newRow("XMP packet only")
            << test::invalidPhoto(QStringLiteral("image01137.jpg")) << stamptext::ExifTagCount;
        QTest::newRow("corrupt EXIF block: no EXIF entries at all")
            << writeFile(m_dir, QStringLiteral("corrupt.jpg"), corruptExifJpeg()) << 0;
    }

    void withoutUsableExif()
    {
        QFETCH(QString, path);
        QFETCH(int, exifEntries);
        QVERIFY(QFileInfo::exists(path));
        const PhotoValueTable table = valuesOf(path);
        QCOMPARE(tagsOf(table), stamptext::stampTags().mid(stamptext::ExifTagCount - exifEntries));
        QCOMPARE(table.tagsWithValue(), clockAndFileTags());
        const auto lookup = [&table](const QString& tag) { return table.valueOf(tag); };
        QCOMPARE(stamptext::expandStampMask(
                     QStringLiteral("Shot with [make_exif] [model_exif] [isospeed_exif]"), lookup),
                 QStringLiteral("Shot with   "));
    }

    void fileDateOutsideTheFormatTable()
    {
        const PhotoValueTable table =
            valuesOf(test::cameraPhoto(QStringLiteral("Canon_40D.jpg")), {0, 0, 0, 12});
        QCOMPARE(tagsOf(table), stamptext::stampTags().mid(0, 36));
        QVERIFY(!table.tagsWithValue().contains(QStringLiteral("[p_filedatetime]")));
        QCOMPARE(table.valueOf(QStringLiteral("[p_filedatetime]")), QString());
    }

    void missingFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("deleted photo")
            << test::testHome() + QStringLiteral("/gone/IMG_0412.JPG") << "IMG_0412.JPG";
        QTest::newRow("no photo open") << QString() << "";
    }

    void missingFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, fileName);
        const PhotoValueTable table = valuesOf(path);
        QCOMPARE(tagsOf(table), stamptext::stampTags());
        QCOMPARE(table.valueOf(QStringLiteral("[p_filename]")), fileName);
        QCOMPARE(table.valueOf(QStringLiteral("[p_filedatetime]")), QString());
        QCOMPARE(table.valueOf(QStringLiteral("[yyyy]")), QStringLiteral("2008"));
    }

    void lookup_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("value");
        const QStringList lines = {"[MM]=07",          "[mm]=05",
                                   "[make_exif]=a=b=", "[make_exif]=second",
                                   "[artist_exif]=",   "malformed"};
        QTest::newRow("exact tag") << lines << "[MM]"
                                   << "07";
        QTest::newRow("case matters") << lines << "[mm]"
                                      << "05";
        QTest::newRow("other case is no entry") << lines << "[Make_Exif]"
                                                << "";
        QTest::newRow("first entry wins; value may hold '='") << lines << "[make_exif]"
                                                              << "a=b=";
        QTest::newRow("empty value") << lines << "[artist_exif]"
                                     << "";
        QTest::newRow("no entry") << lines << "[dd]"
                                  << "";
        QTest::newRow("line without '='") << lines << "malformed"
                                          << "";
        QTest::newRow("tag text without brackets") << lines << "MM"
                                                   << "";
    }

    void lookup()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, tag);
        QFETCH(QString, value);
        QCOMPARE(PhotoValueTable(lines).valueOf(tag), value);
    }

    void tagsWithValueKeepsValuesEndingInEquals()
    {
        const PhotoValueTable table(
            {"[make_exif]=", "[model_exif]=x=", "[imagedesc_exif]=1+1=2", "[dd]=03", "junk"});
        QCOMPARE(table.tagsWithValue(), QStringList({"[model_exif]", "[imagedesc_exif]", "[dd]"}));
    }

    void agreesWithExiv2_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& name : test::photoNames(QStringLiteral("camera")))
            QTest::newRow(qPrintable(name)) << test::cameraPhoto(name);
        QTest::newRow("invalid/casio-empty-fields.jpg")
            << test::invalidPhoto(QStringLiteral("casio-empty-fields.jpg"));
        QTest::newRow("invalid/truncated-olympus.jpg")
            << test::invalidPhoto(QStringLiteral("truncated-olympus.jpg"));
    }

    void agreesWithExiv2()
    {
        QFETCH(QString, path);
        const QString exiv2 = QStandardPaths::findExecutable(QStringLiteral("exiv2"));
        if (exiv2.isEmpty())
            QSKIP("exiv2 is not installed");
        const std::optional<QHash<QString, ToolValue>> tool = exiv2Values(exiv2, path);
        QVERIFY2(tool.has_value(), "exiv2 did not finish");
        const PhotoValueTable table = valuesOf(path);
        const QHash<QString, QString> expected = expectedFrom(*tool);
        if (tool->isEmpty()) // no EXIF block: every EXIF entry is empty
            QVERIFY(!table.tagsWithValue().contains(QStringLiteral("[isospeed_exif]")));
        else
            QVERIFY(table.tagsWithValue().contains(QStringLiteral("[isospeed_exif]")));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QString got = table.valueOf(it.key());
            if (tool->isEmpty())
                QVERIFY2(got.isEmpty(), qPrintable(it.key() + u' ' + got));
            else
                QVERIFY2(got == it.value(),
                         qPrintable(it.key() + QStringLiteral(": got \"") + got +
                                    QStringLiteral("\", exiv2 reads \"") + it.value() + u'"'));
        }
    }

    void invalidFilesGiveATable_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& name : test::photoNames(QStringLiteral("invalid")))
            QTest::newRow(qPrintable(name)) << test::invalidPhoto(name);
    }

    void invalidFilesGiveATable()
    {
        QFETCH(QString, path);
        const PhotoValueTable table = valuesOf(path);
        for (const QString& tag : clockAndFileTags())
            QVERIFY2(table.tagsWithValue().contains(tag), qPrintable(tag));
        QCOMPARE(table.valueOf(QStringLiteral("[p_filename]")), QFileInfo(path).fileName());
    }
};

TESS_TEST_MAIN(TestPhotoValues)
#include "test_photovalues.moc"
