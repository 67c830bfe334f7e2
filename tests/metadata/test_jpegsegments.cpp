#include "metadata/JpegCodec.h"
#include "metadata/JpegSegments.h"
#include "metadata/PhotoFile.h"
#include "tests/metadata/JpegFixtures.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>
#include <unistd.h>

using namespace tess;
using namespace tess::metadata;
using test::exiftool;
using test::segment;
using test::segmentData;

namespace {

const QByteArray kXmp = test::bytes("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>");
const QByteArray kIptc = test::bytes("Photoshop 3.0\0"
                                     "8BIM\x04\x04\0\0\0\0\0\x04\x1c\x02\x00\x00");

/// A small plain-libjpeg picture with \a segments in place of its own JFIF header.
QByteArray sourceWith(const QList<QByteArray>& segments)
{
    static const QByteArray picture = [] {
        test::LibjpegFixture f;
        f.width = 24;
        f.height = 16;
        return test::encodeWithLibjpeg(f, [](int x, int y, JSAMPLE* s) {
            s[0] = JSAMPLE(10 * x);
            s[1] = JSAMPLE(15 * y);
            s[2] = 90;
        });
    }();
    return test::withSegments(picture, segments);
}

/// \a picture encoded by plain libjpeg, with \a segments in place of its JFIF header.
QByteArray sourceWithPicture(const QImage& picture, const QList<QByteArray>& segments);

QByteArray exif(quint32 width = 24, quint32 height = 16)
{
    return test::exifPayload(false, 4, width, height);
}

QByteArray framed(quint8 marker, const QByteArray& data)
{
    return QByteArray(1, char(0xFF)) + char(marker) + data;
}

QByteArray framed(const tSection* s)
{
    return s ? framed(s->marker, s->data) : QByteArray();
}

/// The leading segments of a file, framed (FF, marker, length, payload).
QList<QByteArray> leadingFramed(const QByteArray& file)
{
    QList<QByteArray> out;
    for (const test::FoundSegment& s : test::leadingSegments(file))
        out.append(framed(s.marker, s.data));
    return out;
}

QByteArray defaultJfif()
{
    return test::bytes("\xFF\xE0\x00\x10JFIF\x00\x01\x02\x01\x01\x2C\x01\x2C\x00\x00");
}

QStringList folderListing(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

/// The segment data with the recorded size and orientation fields blanked, for comparing
/// around them.
QByteArray withoutSizeFields(QByteArray data, const std::optional<TImageInfo>& info)
{
    if (info) {
        for (auto [pos, bytes] : {std::pair{info->widthPosition, info->widthBytes},
                                  {info->heightPosition, info->heightBytes},
                                  {info->orientationPosition, info->orientationBytes}}) {
            if (pos > 0)
                data.replace(pos, bytes, QByteArray(bytes, 0));
        }
    }
    return data;
}

// --- Orientation fixtures: pictures turned with Qt's own transforms ---------------------

QImage turned(const QImage& picture, const QTransform& transform, bool mirror = false)
{
    const QImage t = picture.convertToFormat(QImage::Format_RGB32).transformed(transform);
    return (mirror ? t.mirrored(true, false) : t).convertToFormat(QImage::Format_BGR888);
}

/// What a viewer that honours EXIF Orientation \a orientation shows for \a stored pixels.
QImage viewerShows(const QImage& stored, int orientation)
{
    const QTransform cw = QTransform().rotate(90), ccw = QTransform().rotate(-90);
    switch (orientation) {
    case 2:
        return turned(stored, QTransform(), true);
    case 3:
        return turned(stored, QTransform().rotate(180));
    case 4:
        return turned(stored, QTransform().rotate(180), true);
    case 5:
        return turned(stored, cw, true);
    case 6:
        return turned(stored, cw);
    case 7:
        return turned(stored, ccw, true);
    case 8:
        return turned(stored, ccw);
    default:
        return stored;
    }
}

/// The pixels a camera stores, with \a orientation, for a photo that is \a upright.
QImage cameraStores(const QImage& upright, int orientation)
{
    const int inverse[] = {1, 1, 2, 3, 4, 5, 8, 7, 6, 1};
    return viewerShows(upright, inverse[orientation]);
}

const QColor kTopLeft(220, 30, 30), kTopRight(30, 200, 40), kBottomLeft(40, 60, 220);
const QColor kStamp(255, 255, 255), kBackground(90, 90, 90);
constexpr int kCorner = 16;

/// An upright test photo: a coloured square in three corners; the fourth, bottom right, is
/// where the stamp goes.
QImage markedPhoto(QSize size)
{
    QImage p(size, QImage::Format_BGR888);
    p.fill(kBackground);
    QPainter painter(&p);
    painter.fillRect(0, 0, kCorner, kCorner, kTopLeft);
    painter.fillRect(size.width() - kCorner, 0, kCorner, kCorner, kTopRight);
    painter.fillRect(0, size.height() - kCorner, kCorner, kCorner, kBottomLeft);
    return p;
}

QColor meanColour(const QImage& picture, QRect area)
{
    long r = 0, g = 0, b = 0;
    const QRect inside = area.adjusted(3, 3, -3, -3); // away from the blur of the edges
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    const long n = long(inside.width()) * inside.height();
    return QColor(int(r / n), int(g / n), int(b / n));
}

/// Empty when the corners of \a picture show the marks (and \a bottomRight there), else
/// which corner is wrong.
QString cornersWrong(const QImage& picture, const QColor& bottomRight)
{
    const int w = picture.width(), h = picture.height();
    const std::pair<const char*, std::pair<QRect, QColor>> corners[] = {
        {"top left", {QRect(0, 0, kCorner, kCorner), kTopLeft}},
        {"top right", {QRect(w - kCorner, 0, kCorner, kCorner), kTopRight}},
        {"bottom left", {QRect(0, h - kCorner, kCorner, kCorner), kBottomLeft}},
        {"bottom right", {QRect(w - kCorner, h - kCorner, kCorner, kCorner), bottomRight}}};
    for (const auto& [name, where] : corners) {
        const QColor c = meanColour(picture, where.first);
        const QColor& e = where.second;
        if (std::abs(c.red() - e.red()) > 24 || std::abs(c.green() - e.green()) > 24 ||
            std::abs(c.blue() - e.blue()) > 24)
            return QStringLiteral("%1 is %2").arg(QLatin1String(name), c.name());
    }
    return {};
}

QByteArray encodePicture(const QImage& picture, int quality)
{
    test::LibjpegFixture f;
    f.width = picture.width();
    f.height = picture.height();
    f.quality = quality;
    return test::encodeWithLibjpeg(f, [&picture](int x, int y, JSAMPLE* s) {
        const QColor c = picture.pixelColor(x, y);
        s[0] = JSAMPLE(c.red());
        s[1] = JSAMPLE(c.green());
        s[2] = JSAMPLE(c.blue());
    });
}

QByteArray sourceWithPicture(const QImage& picture, const QList<QByteArray>& segments)
{
    return test::withSegments(encodePicture(picture, 95), segments);
}

/// An EXIF payload as a camera writes it: IFD0 with the orientation, the EXIF directory
/// with the stored size, and IFD1 with a JPEG thumbnail when \a thumbnail is not empty.
QByteArray cameraExif(bool bigEndian, int orientation, QSize stored, const QByteArray& thumbnail)
{
    const test::TiffBuilder t(bigEndian);
    constexpr quint32 ifd0 = 8, exifIfd = ifd0 + 30, ifd1 = exifIfd + 30, thumbnailAt = ifd1 + 30;
    QByteArray tiff = t.header(ifd0);
    QByteArray first =
        t.ifd({t.entry(0x0112, 3, 1, quint32(orientation)), t.entry(0x8769, 4, 1, exifIfd)});
    if (!thumbnail.isEmpty()) {
        first.chop(4);
        t.u32(first, ifd1);
    }
    tiff += first;
    tiff += t.ifd({t.entry(0xA002, 4, 1, quint32(stored.width())),
                   t.entry(0xA003, 3, 1, quint32(stored.height()))});
    if (!thumbnail.isEmpty()) {
        tiff += t.ifd(
            {t.entry(0x0201, 4, 1, thumbnailAt), t.entry(0x0202, 4, 1, quint32(thumbnail.size()))});
        tiff += thumbnail;
    }
    return test::bytes("Exif\0\0") + tiff;
}

QByteArray xmpPacket(const QByteArray& orientation)
{
    return test::bytes("http://ns.adobe.com/xap/1.0/\0") +
           "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
           "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
           "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
           "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' "
           "xmlns:tiff='http://ns.adobe.com/tiff/1.0/' xmlns:dc='http://purl.org/dc/elements/1.1/' "
           "xmp:Rating='4'" +
           orientation +
           "><dc:subject><rdf:Bag><rdf:li>harbour</rdf:li><rdf:li>boats</rdf:li></rdf:Bag>"
           "</dc:subject></rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
}

/// The thumbnail stream inside a kept EXIF block; empty when it records none.
QByteArray thumbnailOf(const TimgData& data)
{
    const std::optional<TImageInfo>& info = data.imageInfo();
    if (!data.exifSection() || !info || info->thumbnailPosition <= 0)
        return {};
    return data.exifSection()->data.mid(info->thumbnailPosition, info->thumbnailLength);
}

} // namespace

class TestJpegSegments : public QObject
{
    Q_OBJECT
private slots:
    void classifiesSegments_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("exifRole");
        QTest::addColumn<QByteArray>("headerRole");
        QTest::addColumn<QByteArray>("iptcRole");
        QTest::addColumn<QByteArray>("commentRole");
        QTest::addColumn<QByteArray>("xmpRole");
        QTest::addColumn<int>("iccChunks");
        const QByteArray jfif = segment(0xE0, test::bytes("JFIF\0\1\1\0\0\1\0\1\0\0"));
        const QByteArray jfxx = segment(0xE0, test::bytes("JFXX\0\x10"));
        const QByteArray app1 = segment(0xE1, exif());
        const QByteArray xmp = segment(0xE1, kXmp);
        const QByteArray icc = segment(0xE2, test::iccPayload(1, 1));
        const QByteArray iptc = segment(0xED, kIptc);
        const QByteArray com1 = segment(0xFE, "first"), com2 = segment(0xFE, "second");
        const QByteArray app5 = segment(0xE5, "x");

        const QByteArray none;

        QTest::newRow("camera layout")
            << sourceWith({jfif, app1, icc}) << app1 << jfif << none << none << none << 1;
        QTest::newRow("XMP packet before the EXIF block")
            << sourceWith({jfif, xmp, app1, iptc}) << app1 << jfif << iptc << none << xmp << 0;
        QTest::newRow("XMP only") << sourceWith({xmp}) << none << none << none << none << xmp << 0;
        QTest::newRow("later APP0 and COM take over, first APP13 stays")
            << sourceWith({jfif, iptc, com1, jfxx, segment(0xED, "late"), com2}) << none << jfxx
            << iptc << com2 << none << 0;
        QTest::newRow("second EXIF block and second XMP packet dropped")
            << sourceWith({app1, xmp, segment(0xE1, exif(1, 1)), segment(0xE1, kXmp + "2")}) << app1
            << none << none << none << xmp << 0;
        QTest::newRow("EXIF behind six other segments")
            << sourceWith({jfif, jfxx, segment(0xE2, test::iccPayload(1, 3)),
                           segment(0xE2, test::iccPayload(2, 3)),
                           segment(0xE2, test::iccPayload(3, 3)), app5, app1})
            << app1 << jfxx << none << none << none << 3;
        QTest::newRow("EXIF behind the tables, before the scan")
            << QByteArray("\xFF\xD8") + jfif + segment(0xDB, QByteArray(65, 1)) + app1 +
                   test::bytes("\xFF\xDA\0\x02")
            << app1 << jfif << none << none << none << 0;
        QTest::newRow("EXIF after the scan is not metadata")
            << QByteArray("\xFF\xD8") + jfif + test::bytes("\xFF\xDA\0\x02") + app1 << none << jfif
            << none << none << none << 0;
        QList<QByteArray> many{com1};
        for (int i = 0; i < 40; ++i)
            many.append(app5);
        QTest::newRow("a comment behind forty segments takes over")
            << sourceWith(many + QList<QByteArray>{com2}) << none << none << none << com2 << none
            << 0;
        QTest::newRow("fill bytes before a marker")
            << sourceWith({QByteArray("\xFF\xFF\xFF") + jfif}) << none << jfif << none << none
            << none << 0;
        QTest::newRow("restart marker without a length stepped over")
            << QByteArray("\xFF\xD8\xFF\xD0") + jfif + app1 << app1 << jfif << none << none << none
            << 0;
        QTest::newRow("segment running past the end")
            << QByteArray("\xFF\xD8") + jfif + app1.left(app1.size() - 3) << none << jfif << none
            << none << none << 0;
        QTest::newRow("stray byte instead of a marker")
            << QByteArray("\xFF\xD8") + jfif + "\x12" + com1 << none << jfif << none << none << none
            << 0;
        QTest::newRow("length below 2") << test::bytes("\xFF\xD8\xFF\xE0\x00\x01JFIF") << none
                                        << none << none << none << none << 0;
        QTest::newRow("not a JPEG")
            << QByteArray("GIF89a\1\0\1\0") << none << none << none << none << none << 0;
        QTest::newRow("empty") << QByteArray() << none << none << none << none << none << 0;
        QTest::newRow("ICC profile in three chunks")
            << sourceWith({jfif, segment(0xE2, test::iccPayload(1, 3)),
                           segment(0xE2, test::iccPayload(2, 3)),
                           segment(0xE2, test::iccPayload(3, 3))})
            << none << jfif << none << none << none << 3;
        QTest::newRow("ICC profile missing a chunk")
            << sourceWith({jfif, segment(0xE2, test::iccPayload(1, 3)),
                           segment(0xE2, test::iccPayload(3, 3))})
            << none << jfif << none << none << none << 0;
        QTest::newRow("CMYK ICC profile")
            << sourceWith({jfif, segment(0xE2, test::iccPayload(1, 1, "CMYK"))}) << none << jfif
            << none << none << none << 0;
        QTest::newRow("multi-picture APP2 is not a profile")
            << sourceWith({jfif, segment(0xE2, test::bytes("MPF\0MM\0*"))}) << none << jfif << none
            << none << none << 0;
    }

    void classifiesSegments()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, exifRole);
        QFETCH(QByteArray, headerRole);
        QFETCH(QByteArray, iptcRole);
        QFETCH(QByteArray, commentRole);
        QFETCH(QByteArray, xmpRole);
        QFETCH(int, iccChunks);
        TimgData data;
        data.loadSourceSegments(file);
        QCOMPARE(framed(data.exifSection()), exifRole);
        QCOMPARE(framed(data.headerSection()), headerRole);
        QCOMPARE(framed(data.iptcSection()), iptcRole);
        QCOMPARE(framed(data.commentSection()), commentRole);
        QCOMPARE(framed(data.xmpSection()), xmpRole);
        QCOMPARE(int(data.iccSections().size()), iccChunks);
        for (const tSection& s : data.sections())
            QCOMPARE(int(s.length), int(s.data.size()));
    }

    void recordedSize_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("fieldBytes");
        const test::TiffBuilder le(false), be(true);
        QTest::newRow("little-endian LONG")
            << test::exifPayload(false, 4, 640, 480) << true << 640 << 480 << 4;
        QTest::newRow("big-endian SHORT")
            << test::exifPayload(true, 3, 640, 480) << true << 640 << 480 << 2;
        QTest::newRow("IFD0 only")
            << test::bytes("Exif\0\0") + le.header() +
                   le.ifd({le.entry(256, 3, 1, 100), le.entry(257, 4, 1, 50)})
            << true << 100 << 50 << 0;
        QTest::newRow("SHORT pair, as Kodak writes")
            << test::bytes("Exif\0\0") + be.header() +
                   be.ifd({be.entry(256, 3, 2, 100), be.entry(257, 3, 2, 78)})
            << true << 100 << 78 << 2;
        QTest::newRow("LONG with count 2 points elsewhere: not a size")
            << test::bytes("Exif\0\0") + le.header() +
                   le.ifd({le.entry(256, 4, 2, 100), le.entry(257, 4, 2, 50)})
            << true << 0 << 0 << 0;
        QTest::newRow("EXIF directory pointing at itself")
            << test::bytes("Exif\0\0") + le.header() +
                   le.ifd({le.entry(256, 4, 1, 9), le.entry(0x8769, 4, 1, 8)})
            << true << 9 << 0 << 0;
        QTest::newRow("directory past the end")
            << test::bytes("Exif\0\0") + le.header(5000) << true << 0 << 0 << 0;
        QTest::newRow("entry count past the end")
            << test::bytes("Exif\0\0") + le.header() + test::bytes("\xFF\xFF") +
                   le.entry(256, 4, 1, 77)
            << true << 77 << 0 << 0;
        QTest::newRow("bad byte order")
            << test::bytes("Exif\0\0XX\0\x2A\0\0\0\x08") << false << 0 << 0 << 0;
        QTest::newRow("bad TIFF magic")
            << test::bytes("Exif\0\0II\x2B\0\x08\0\0\0") << false << 0 << 0 << 0;
        QTest::newRow("cut short") << test::bytes("Exif\0\0II") << false << 0 << 0 << 0;
    }

    void recordedSize()
    {
        QFETCH(QByteArray, payload);
        QFETCH(bool, parses);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, fieldBytes);
        const std::optional<TImageInfo> info = TImageInfo::parse(segmentData(payload));
        QCOMPARE(info.has_value(), parses);
        if (!info)
            return;
        QCOMPARE(int(info->width), width);
        QCOMPARE(int(info->height), height);
        if (fieldBytes)
            QCOMPARE(info->widthBytes, fieldBytes);
        if (width == 0)
            QCOMPARE(info->widthPosition, 0);
    }

    void writesTheSourcesMetadata_data()
    {
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QList<QByteArray>>("expected");
        const QByteArray jfif = segment(0xE0, test::bytes("JFIF\0\1\1\0\0\1\0\1\0\0"));
        const QByteArray app1 = segment(0xE1, exif());
        const QByteArray icc1 = segment(0xE2, test::iccPayload(1, 2));
        const QByteArray icc2 = segment(0xE2, test::iccPayload(2, 2));
        const QByteArray iptc = segment(0xED, kIptc);
        const QByteArray com1 = segment(0xFE, "first"), com2 = segment(0xFE, "second");
        const QByteArray mpf = segment(0xE2, test::bytes("MPF\0MM\0*"));
        const QByteArray app14 = segment(0xEE, test::bytes("Adobe\0\x64\0\0\0\0\1"));
        const QByteArray xmp = segment(0xE1, kXmp);
        const QByteArray extension1 =
            segment(0xE1, test::bytes("http://ns.adobe.com/xmp/extension/\0") + "GUID-1");
        const QByteArray extension2 =
            segment(0xE1, test::bytes("http://ns.adobe.com/xmp/extension/\0") + "GUID-2");
        const QByteArray jfxx = segment(0xE0, test::bytes("JFXX\0\x10"));

        QTest::newRow("camera layout: EXIF first, its APP0 and other APP2 dropped")
            << "s.jpg" << sourceWith({jfif, app1, mpf, icc1, icc2, iptc, app14, com1})
            << QList<QByteArray>{app1, icc1, icc2, iptc, com1};
        QTest::newRow("APP0 and no EXIF")
            << "s.jpg" << sourceWith({jfif, com1}) << QList<QByteArray>{jfif, com1};
        QTest::newRow("XMP first: EXIF, then the XMP packet")
            << "s.jpeg" << sourceWith({jfif, xmp, app1, iptc})
            << QList<QByteArray>{app1, xmp, iptc};
        QTest::newRow("XMP only, after the source's APP0")
            << "s.jpg" << sourceWith({jfif, xmp, com1}) << QList<QByteArray>{jfif, xmp, com1};
        QTest::newRow("XMP only, after the default JFIF")
            << "s.jpg" << sourceWith({xmp}) << QList<QByteArray>{defaultJfif(), xmp};
        QTest::newRow("XMP and its extension after the EXIF block and the profile")
            << "s.jpg"
            << sourceWith({extension1, xmp, segment(0xE1, "other APP1"), icc1, app1, icc2,
                           extension2, iptc})
            << QList<QByteArray>{app1, icc1, icc2, xmp, extension1, extension2, iptc};
        QList<QByteArray> longExtension{app1, xmp};
        for (int i = 0; i <= TimgData::kMaxChunks; ++i)
            longExtension.append(extension1);
        QTest::newRow("XMP extension too long to keep is dropped whole")
            << "s.jpg" << sourceWith(longExtension) << QList<QByteArray>{app1, xmp};
        QTest::newRow("EXIF behind six other segments")
            << "s.jpg" << sourceWith({jfif, jfxx, mpf, icc1, icc2, app14, app1})
            << QList<QByteArray>{app1, icc1, icc2};
        QTest::newRow("two comments: the second")
            << "s.JPG" << sourceWith({app1, com1, com2}) << QList<QByteArray>{app1, com2};
        QTest::newRow("no header at all: default JFIF")
            << "s.jpe" << sourceWith({iptc}) << QList<QByteArray>{defaultJfif(), iptc};
        QTest::newRow("profile after the default JFIF")
            << "s.jpg" << sourceWith({icc1, icc2}) << QList<QByteArray>{defaultJfif(), icc1, icc2};
        QTest::newRow("JPEG named .png gives nothing")
            << "s.png" << sourceWith({jfif, app1, com1}) << QList<QByteArray>{defaultJfif()};
        QTest::newRow("bitmap source")
            << "s.bmp" << test::bytes("BM\0\0\0\0") << QList<QByteArray>{defaultJfif()};
        QTest::newRow("missing source")
            << QString() << QByteArray() << QList<QByteArray>{defaultJfif()};
        QTest::newRow("source cut inside its EXIF block")
            << "s.jpg" << sourceWith({jfif, app1, com1}).left(100) << QList<QByteArray>{jfif};
        QTest::newRow("source cut after SOI")
            << "s.jpg" << test::bytes("\xFF\xD8\xFF") << QList<QByteArray>{defaultJfif()};
        QTest::newRow("EXIF block that does not parse is still carried")
            << "s.jpg" << sourceWith({segment(0xE1, test::bytes("Exif\0\0garbage"))})
            << QList<QByteArray>{segment(0xE1, test::bytes("Exif\0\0garbage"))};
    }

    void writesTheSourcesMetadata()
    {
        QFETCH(QString, sourceName);
        QFETCH(QByteArray, source);
        QFETCH(QList<QByteArray>, expected);
        QTemporaryDir dir;
        const QString sourcePath =
            dir.filePath(sourceName.isEmpty() ? QStringLiteral("absent.jpg") : sourceName);
        if (!sourceName.isEmpty())
            QVERIFY(test::writeFile(sourcePath, source));
        const QString dest = dir.filePath(QStringLiteral("out.jpg"));
        const QImage picture = test::syntheticPhoto(24, 16);

        QVERIFY(saveStampedJpeg(picture, 90, sourcePath, dest));
        const QByteArray out = test::readFile(dest);
        QVERIFY(out.startsWith("\xFF\xD8"));
        QCOMPARE(leadingFramed(out), expected);
        // Right after the metadata comes the new encoding's first table.
        qsizetype end = 2;
        for (const QByteArray& s : expected)
            end += s.size();
        QCOMPARE(out.mid(end, 2), QByteArray("\xFF\xDB"));
        const LoadResult back = decodeJpeg(out);
        QVERIFY2(back.ok(), qPrintable(back.error));
        QVERIFY(test::meanAbsDiff(back.image, picture) < 4.0);
    }

    void correctsTheRecordedSize_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<int>("type");
        QTest::addColumn<QSize>("recorded");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("little-endian LONG, 640 x 480 recorded")
            << false << 4 << QSize(640, 480) << QSize(300, 200) << true;
        QTest::newRow("big-endian SHORT, 640 x 480 recorded")
            << true << 3 << QSize(640, 480) << QSize(300, 200) << true;
        QTest::newRow("big-endian LONG, only the height differs")
            << true << 4 << QSize(300, 480) << QSize(300, 200) << true;
        QTest::newRow("little-endian SHORT, size already right")
            << false << 3 << QSize(300, 200) << QSize(300, 200) << false;
        QTest::newRow("recorded width 0: left alone")
            << false << 4 << QSize(0, 480) << QSize(300, 200) << false;
    }

    void correctsTheRecordedSize()
    {
        QFETCH(bool, bigEndian);
        QFETCH(int, type);
        QFETCH(QSize, recorded);
        QFETCH(QSize, picture);
        QFETCH(bool, rewritten);
        int widthPos = 0, heightPos = 0;
        const QByteArray payload =
            test::exifPayload(bigEndian, quint16(type), quint32(recorded.width()),
                              quint32(recorded.height()), &widthPos, &heightPos);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.jpg"));
        const QString dest = dir.filePath(QStringLiteral("dest.jpg"));
        QVERIFY(test::writeFile(source, sourceWith({segment(0xE1, payload)})));
        QVERIFY(saveStampedJpeg(test::syntheticPhoto(picture.width(), picture.height()), 90, source,
                                dest));

        QByteArray expected = segmentData(payload);
        if (rewritten) {
            const int bytes = type == 3 ? 2 : 4;
            const test::TiffBuilder t(bigEndian);
            QByteArray w, h;
            bytes == 2 ? t.u16(w, quint32(picture.width())) : t.u32(w, quint32(picture.width()));
            bytes == 2 ? t.u16(h, quint32(picture.height())) : t.u32(h, quint32(picture.height()));
            expected.replace(widthPos, bytes, w);
            expected.replace(heightPos, bytes, h);
        }
        TimgData out;
        out.loadSourceSegments(dest);
        QVERIFY(out.exifSection());
        QCOMPARE(out.exifSection()->data, expected);

        const auto tags = exiftool(
            {QStringLiteral("EXIF:ExifImageWidth"), QStringLiteral("EXIF:ExifImageHeight")},
            {dest});
        if (!tags)
            QSKIP("exiftool is not installed");
        const QSize shown = rewritten ? picture : recorded;
        QCOMPARE(tags->at(0)[QStringLiteral("ExifImageWidth")].toInt(), shown.width());
        QCOMPARE(tags->at(0)[QStringLiteral("ExifImageHeight")].toInt(), shown.height());
    }

    void photosComeOutUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<bool>("behindSixSegments");
        QTest::addColumn<int>("thumbnailQuality"); // 0: none; below 50: too tight to turn
        const char* names[] = {"",
                               "1 normal",
                               "2 mirrored",
                               "3 upside down",
                               "4 upside down, mirrored",
                               "5 transposed",
                               "6 phone held upright",
                               "7 transverse",
                               "8 phone held upright the other way"};
        for (int o = 1; o <= 8; ++o)
            QTest::newRow(names[o]) << o << (o % 2 == 0) << (o >= 5) << 90;
        QTest::newRow("6 little-endian, EXIF first, no thumbnail") << 6 << false << false << 0;
        QTest::newRow("8 thumbnail too tight to turn is left as it was") << 8 << true << false << 3;
        QTest::newRow("unknown orientation 9 means 1") << 9 << true << true << 90;
    }

    void photosComeOutUpright()
    {
        QFETCH(int, orientation);
        QFETCH(bool, bigEndian);
        QFETCH(bool, behindSixSegments);
        QFETCH(int, thumbnailQuality);
        const bool turns = orientation >= 2 && orientation <= 8;
        const QSize uprightSize(64, 48);
        const QImage upright = markedPhoto(uprightSize);
        const QImage stored = cameraStores(upright, orientation);
        QByteArray thumbnail;
        if (thumbnailQuality >= 50)
            thumbnail = encodePicture(stored, thumbnailQuality);
        else if (thumbnailQuality > 0) // noise that does not fit again at any quality turned
            thumbnail = encodePicture(
                test::syntheticPhoto(stored.width(), stored.height()).scaled(stored.size() * 2),
                thumbnailQuality);
        const QByteArray orientationDigit = QByteArray::number(orientation);
        QList<QByteArray> segments;
        if (behindSixSegments)
            segments = {segment(0xE0, test::bytes("JFIF\0\1\1\0\0\1\0\1\0\0")),
                        segment(0xE0, test::bytes("JFXX\0\x10")),
                        segment(0xE2, test::iccPayload(1, 3)),
                        segment(0xE2, test::iccPayload(2, 3)),
                        segment(0xE2, test::iccPayload(3, 3)),
                        segment(0xE5, "other")};
        segments << segment(0xE1, cameraExif(bigEndian, orientation, stored.size(), thumbnail))
                 << segment(0xE1, xmpPacket(" tiff:Orientation='" + orientationDigit + "'"));
        QTemporaryDir dir;
        const QString source =
            test::writeFile(dir, QStringLiteral("source.jpg"), sourceWithPicture(stored, segments));
        QVERIFY(!source.isEmpty());

        // Opened upright.
        const LoadResult loaded = loadPhoto(source);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), uprightSize);
        QCOMPARE(readUprightSize(source), uprightSize);
        QVERIFY2(cornersWrong(loaded.image, kBackground).isEmpty(),
                 qPrintable(cornersWrong(loaded.image, kBackground)));

        // Stamped in the bottom right corner and saved: a viewer shows it there.
        QImage stamped = loaded.image;
        QPainter(&stamped).fillRect(uprightSize.width() - kCorner, uprightSize.height() - kCorner,
                                    kCorner, kCorner, kStamp);
        const QString dest = dir.filePath(QStringLiteral("stamped.jpg"));
        QVERIFY(saveStampedJpeg(stamped, 95, source, dest));
        TimgData out;
        out.loadSourceSegments(dest);
        QVERIFY(out.exifSection() && out.imageInfo());
        QCOMPARE(out.orientation(), 1);
        QCOMPARE(QSize(int(out.imageInfo()->width), int(out.imageInfo()->height)), uprightSize);
        const LoadResult saved = decodeJpeg(test::readFile(dest));
        QVERIFY(saved.ok());
        const QImage shown = viewerShows(saved.image, out.orientation());
        QVERIFY2(cornersWrong(shown, kStamp).isEmpty(), qPrintable(cornersWrong(shown, kStamp)));
        QCOMPARE(out.iccSections().size(), std::size_t(behindSixSegments ? 3 : 0));

        // The thumbnail agrees with the picture, or is left as it was.
        if (thumbnailQuality >= 50) {
            const LoadResult small = decodeJpeg(thumbnailOf(out));
            QVERIFY2(small.ok(), qPrintable(small.error));
            QCOMPARE(small.image.size(), uprightSize);
            QVERIFY2(cornersWrong(small.image, kBackground).isEmpty(),
                     qPrintable(cornersWrong(small.image, kBackground)));
            QCOMPARE(thumbnailOf(out) == thumbnail, !turns);
        } else if (thumbnailQuality > 0) {
            QCOMPARE(thumbnailOf(out), thumbnail);
        }

        // The XMP packet says 1 too, and keeps everything else.
        QVERIFY(out.xmpSection());
        QCOMPARE(out.xmpSection()->data, segmentData(xmpPacket(" tiff:Orientation='1'")));

        const auto exifTags =
            exiftool({QStringLiteral("EXIF:Orientation"), QStringLiteral("EXIF:ExifImageWidth"),
                      QStringLiteral("EXIF:ExifImageHeight")},
                     {dest});
        const auto xmpTags = exiftool({QStringLiteral("XMP:Orientation"),
                                       QStringLiteral("XMP:Rating"), QStringLiteral("XMP:Subject")},
                                      {dest});
        if (!exifTags || !xmpTags)
            QSKIP("exiftool is not installed");
        const QJsonObject e = exifTags->at(0).toObject(), x = xmpTags->at(0).toObject();
        QCOMPARE(e[QStringLiteral("Orientation")].toInt(), 1);
        QCOMPARE(e[QStringLiteral("ExifImageWidth")].toInt(), uprightSize.width());
        QCOMPARE(e[QStringLiteral("ExifImageHeight")].toInt(), uprightSize.height());
        QCOMPARE(x[QStringLiteral("Orientation")].toInt(), 1);
        QCOMPARE(x[QStringLiteral("Rating")].toInt(), 4);
        QCOMPARE(x[QStringLiteral("Subject")].toArray(),
                 QJsonArray({QStringLiteral("harbour"), QStringLiteral("boats")}));
    }

    void composerRecordsTheOrientation_data()
    {
        QTest::addColumn<bool>("asStored");
        QTest::addColumn<QByteArray>("xmpOrientation");
        QTest::addColumn<QByteArray>("expectedXmp");
        QTest::addColumn<int>("expectedExif");
        const auto upright = [](const char* name, const QByteArray& in, const QByteArray& out) {
            QTest::newRow(name) << false << in << out << 1;
        };
        upright("attribute", " tiff:Orientation=\"6\"", " tiff:Orientation=\"1\"");
        upright("attribute with blanks", " tiff:Orientation = '8'", " tiff:Orientation = '1'");
        upright("element", "><tiff:Orientation>3</tiff:Orientation",
                "><tiff:Orientation>1</tiff:Orientation");
        upright("element with blanks", "><tiff:Orientation>\n 5 </tiff:Orientation",
                "><tiff:Orientation>\n 1 </tiff:Orientation");
        upright("already 1", " tiff:Orientation='1'", " tiff:Orientation='1'");
        upright("a longer number is no orientation", " tiff:Orientation='16'",
                " tiff:Orientation='16'");
        upright("another property", " tiff:OrientationNote='6'", " tiff:OrientationNote='6'");
        QTest::newRow("kept as stored") << true << QByteArray(" tiff:Orientation='6'")
                                        << QByteArray(" tiff:Orientation='6'") << 6;
    }

    void composerRecordsTheOrientation()
    {
        QFETCH(bool, asStored);
        QFETCH(QByteArray, xmpOrientation);
        QFETCH(QByteArray, expectedXmp);
        QFETCH(int, expectedExif);
        TimgData source;
        source.loadSourceSegments(
            sourceWith({segment(0xE1, cameraExif(false, 6, QSize(24, 16), {})),
                        segment(0xE1, xmpPacket(xmpOrientation))}));
        QCOMPARE(source.orientation(), 6);
        const EncodeResult encoded = JpegEncoder(test::syntheticPhoto(16, 24), 90).encode();
        QVERIFY(encoded.ok());
        const QByteArray out =
            source.composeJpeg(encoded.jpeg, QSize(16, 24), SizeRecord::PictureSize,
                               asStored ? OrientationRecord::AsStored : OrientationRecord::Upright);
        TimgData written;
        written.loadSourceSegments(out);
        QCOMPARE(written.orientation(), expectedExif);
        QVERIFY(written.xmpSection());
        QCOMPARE(written.xmpSection()->data, segmentData(xmpPacket(expectedXmp)));
    }

    void xmpSurvivesStamping_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* name :
             {"xmp-BlueSquare.jpg", "xmp-no_exif.jpg", "orientation-landscape_1.jpg"})
            QTest::newRow(name) << test::cameraPhoto(QString::fromLatin1(name));
        for (const char* name :
             {"image00971.jpg", "image01088.jpg", "image01137.jpg", "image01551.jpg",
              "image01713.jpg", "image01980.jpg", "image02206.jpg"})
            QTest::newRow(name) << test::invalidPhoto(QString::fromLatin1(name));
    }

    void xmpSurvivesStamping()
    {
        QFETCH(QString, path);
        TimgData source;
        source.loadSourceSegments(path);
        QVERIFY2(source.xmpSection(), "the photo has an XMP packet");
        const LoadResult loaded = loadPhoto(path);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("stamped.jpg"));
        QVERIFY(saveStampedJpeg(loaded.image, 90, path, dest));
        TimgData out;
        out.loadSourceSegments(dest);
        QVERIFY(out.xmpSection());
        QCOMPARE(out.xmpSection()->data, source.xmpSection()->data);

        const auto read = exiftool({QStringLiteral("XMP:all")}, {path, dest});
        if (!read)
            QSKIP("exiftool is not installed");
        QJsonObject a = read->at(0).toObject(), b = read->at(1).toObject();
        a.remove(QStringLiteral("SourceFile"));
        b.remove(QStringLiteral("SourceFile"));
        QVERIFY(a.size() > 1);
        QCOMPARE(b, a);
    }

    void cameraPhotosRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& name : test::photoNames(QStringLiteral("camera")))
            QTest::newRow(qPrintable(name)) << test::cameraPhoto(name);
    }

    void cameraPhotosRoundTrip()
    {
        QFETCH(QString, path);
        const LoadResult loaded = loadPhoto(path);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("stamped.jpg"));
        QVERIFY(saveStampedJpeg(loaded.image, 95, path, dest));

        TimgData source, out;
        source.loadSourceSegments(path);
        out.loadSourceSegments(dest);
        const QByteArray bytes = test::readFile(dest);
        if (const tSection* exif = source.exifSection()) {
            QVERIFY(bytes.startsWith("\xFF\xD8\xFF\xE1"));
            QVERIFY(out.exifSection());
            QCOMPARE(withoutSizeFields(bytes.mid(4, exif->data.size()), source.imageInfo()),
                     withoutSizeFields(exif->data, source.imageInfo()));
            QVERIFY(!out.headerSection());
            QCOMPARE(out.orientation(), 1);
            const std::optional<TImageInfo>& info = out.imageInfo();
            if (info && info->width > 0 && info->height > 0) {
                QCOMPARE(int(info->width), loaded.image.width());
                QCOMPARE(int(info->height), loaded.image.height());
            }
        } else {
            QVERIFY(bytes.startsWith("\xFF\xD8\xFF\xE0"));
        }
        QCOMPARE(framed(out.iptcSection()), framed(source.iptcSection()));
        QCOMPARE(framed(out.commentSection()), framed(source.commentSection()));
        QCOMPARE(out.iccSections().size(), source.iccSections().size());
        for (std::size_t i = 0; i < out.iccSections().size(); ++i)
            QCOMPARE(out.iccSections()[i]->data, source.iccSections()[i]->data);
        QCOMPARE(framed(out.xmpSection()), framed(source.xmpSection()));

        const LoadResult back = loadPhoto(dest);
        QVERIFY(back.ok());
        const double diff = test::meanAbsDiff(back.image, loaded.image);
        QVERIFY2(diff < 3.0, qPrintable(QString::number(diff)));

        const QStringList tags{QStringLiteral("EXIF:Make"), QStringLiteral("EXIF:Model"),
                               QStringLiteral("EXIF:DateTimeOriginal"),
                               QStringLiteral("ICC_Profile:ProfileDescription"),
                               QStringLiteral("XMP:all")};
        const auto read = exiftool(tags, {path, dest});
        if (!read)
            QSKIP("exiftool is not installed");
        QCOMPARE(read->size(), 2);
        QJsonObject a = read->at(0).toObject(), b = read->at(1).toObject();
        for (QJsonObject* o : {&a, &b}) {
            o->remove(QStringLiteral("SourceFile"));
            o->remove(QStringLiteral("Orientation"));
        }
        QCOMPARE(b, a);
        const auto orientation = exiftool({QStringLiteral("EXIF:Orientation")}, {dest});
        QVERIFY(orientation);
        if (source.imageInfo() && source.imageInfo()->orientationPosition > 0)
            QCOMPARE(orientation->at(0)[QStringLiteral("Orientation")].toInt(), 1);
    }

    void saveOverTheSourceKeepsItsMetadata()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Nikon_D70.jpg"));
        QVERIFY(QFile::copy(test::cameraPhoto(QStringLiteral("Nikon_D70.jpg")), path));
        TimgData before;
        before.loadSourceSegments(path);
        QVERIFY(before.exifSection() && before.commentSection() && !before.iccSections().empty());

        LoadResult loaded = loadPhoto(path);
        QVERIFY(loaded.ok());
        QImage stamped = loaded.image;
        QPainter(&stamped).fillRect(0, 0, 30, 20, Qt::white);
        QVERIFY(saveStampedJpeg(stamped, 95, path, path));

        TimgData after;
        after.loadSourceSegments(path);
        QCOMPARE(framed(after.exifSection()), framed(before.exifSection()));
        QCOMPARE(framed(after.commentSection()), framed(before.commentSection()));
        QCOMPARE(after.iccSections().size(), before.iccSections().size());
        const LoadResult back = loadPhoto(path);
        QVERIFY(back.ok());
        QVERIFY(test::meanAbsDiff(back.image, stamped) < 3.0);
        QCOMPARE(folderListing(dir.path()), QStringList{QStringLiteral("Nikon_D70.jpg")});
    }

    void overwriteKeepsPermissions()
    {
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("dest.jpg"));
        QVERIFY(test::writeFile(dest, "old"));
        const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(dest, permissions));
        QVERIFY(saveStampedJpeg(test::syntheticPhoto(16, 16), 80, QString(), dest));
        QVERIFY(test::readFile(dest).startsWith("\xFF\xD8"));
        const auto ownerGroupOther = QFileDevice::Permissions(0x7077); // not the "User" copy
        QCOMPARE(QFileInfo(dest).permissions() & ownerGroupOther, permissions);
    }

    void failedSaveLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"missing folder", "under a regular file",
                                 "destination is a folder", "stopped half-way", "picture too wide",
                                 "null picture", "read-only file", "read-only folder"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void failedSaveLeavesEverythingAsItWas()
    {
        QFETCH(QString, kind);
        const bool root = geteuid() == 0;
        if (root && kind.startsWith(u"read-only"))
            QSKIP("root ignores permission bits");
        QTemporaryDir dir;
        const QString source = test::cameraPhoto(QStringLiteral("Canon_40D.jpg"));
        const QByteArray oldContent("the photo that was there");
        QString dest = dir.filePath(QStringLiteral("dest.jpg"));
        QImage picture = test::syntheticPhoto(64, 64);
        std::function<bool(int, int)> progress;
        QString watched = dir.path();

        if (kind == u"missing folder") {
            dest = dir.filePath(QStringLiteral("nowhere/dest.jpg"));
        } else if (kind == u"under a regular file") {
            QVERIFY(test::writeFile(dir.filePath(QStringLiteral("file")), "x"));
            dest = dir.filePath(QStringLiteral("file/dest.jpg"));
        } else if (kind == u"destination is a folder") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dest.jpg")));
        } else {
            QVERIFY(test::writeFile(dest, oldContent));
            if (kind == u"stopped half-way")
                progress = [](int done, int total) { return done < total / 2; };
            else if (kind == u"picture too wide")
                picture = QImage(70000, 2, QImage::Format_BGR888);
            else if (kind == u"null picture")
                picture = QImage();
            else if (kind == u"read-only file")
                QVERIFY(QFile::setPermissions(dest, QFile::ReadOwner));
            else if (kind == u"read-only folder")
                QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        }
        const QStringList listing = folderListing(watched);

        QVERIFY(!saveStampedJpeg(picture, 90, source, dest, progress));
        QCOMPARE(folderListing(watched), listing);
        if (QFileInfo(dest).isFile())
            QCOMPARE(test::readFile(dest), oldContent);
        else if (kind == u"destination is a folder")
            QVERIFY(QFileInfo(dest).isDir());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void damagedSourcesStillSave_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("cutAt"); // bytes of the source kept; -1: the whole file
        for (const QString& name : test::photoNames(QStringLiteral("invalid")))
            QTest::newRow(qPrintable(name)) << test::invalidPhoto(name) << -1;
        const QString canon = test::cameraPhoto(QStringLiteral("Canon_40D.jpg"));
        for (int cut : {1, 2, 3, 4, 5, 19, 20, 21, 24, 100, 2495, 2498, 4000})
            QTest::newRow(qPrintable(QStringLiteral("Canon_40D cut at %1").arg(cut)))
                << canon << cut;
    }

    void damagedSourcesStillSave()
    {
        QFETCH(QString, path);
        QFETCH(int, cutAt);
        QTemporaryDir dir;
        QString source = path;
        if (cutAt >= 0) {
            source = dir.filePath(QStringLiteral("cut.jpg"));
            QVERIFY(test::writeFile(source, test::readFile(path).left(cutAt)));
        }
        const LoadResult loaded = loadPhoto(source);
        const QImage picture = loaded.ok() ? loaded.image : test::syntheticPhoto(32, 24);
        const QString dest = dir.filePath(QStringLiteral("out.jpg"));
        QVERIFY(saveStampedJpeg(picture, 85, source, dest));

        const QByteArray out = test::readFile(dest);
        const QList<QByteArray> leading = leadingFramed(out);
        QVERIFY(!leading.isEmpty());
        // The first segment is the source's EXIF block (its size fields aside), its APP0, or
        // the default JFIF segment.
        const QByteArray original = test::readFile(source);
        TimgData kept;
        kept.loadSourceSegments(source);
        const QByteArray first = leading.first();
        if (const tSection* exif = kept.exifSection())
            QCOMPARE(withoutSizeFields(first.mid(2), kept.imageInfo()),
                     withoutSizeFields(exif->data, kept.imageInfo()));
        else
            QVERIFY(first == defaultJfif() || original.contains(first));
        const LoadResult back = decodeJpeg(out);
        QVERIFY2(back.ok(), qPrintable(back.error));
        QCOMPARE(back.image.size(), picture.size());
    }
};

TESS_TEST_MAIN(TestJpegSegments)
#include "test_jpegsegments.moc"
