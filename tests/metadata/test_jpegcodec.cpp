#include "metadata/JpegCodec.h"
#include "metadata/JpegSegments.h"
#include "metadata/Orientation.h"
#include "metadata/PhotoFile.h"
#include "tests/metadata/JpegFixtures.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace tess;
using namespace tess::metadata;
using test::LibjpegFixture;

namespace {

QColor pixelAt(const QImage& image, int x, int y)
{
    const uchar* p = image.constScanLine(y) + 3 * x;
    return QColor(p[2], p[1], p[0]); // blue, green, red in memory
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor& c)
{
    return QStringLiteral("(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

/// Left half one colour, right half another, in the fixture's input components.
test::SampleFn halves(QList<int> left, QList<int> right, int width)
{
    return [=](int x, int, JSAMPLE* s) {
        const QList<int>& c = x < width / 2 ? left : right;
        for (int i = 0; i < c.size(); ++i)
            s[i] = JSAMPLE(c[i]);
    };
}

QByteArray redSquare(int size, bool progressive = false)
{
    LibjpegFixture f;
    f.width = f.height = size;
    f.progressive = progressive;
    f.quality = 90;
    return test::encodeWithLibjpeg(f, halves({255, 0, 0}, {255, 0, 0}, size));
}

/// A progressive greyscale stream whose one DC scan is repeated \a scans times.
QByteArray repeatedScans(int scans)
{
    LibjpegFixture f;
    f.width = f.height = 8;
    f.input = f.stored = JCS_GRAYSCALE;
    jpeg_scan_info dc{};
    dc.comps_in_scan = 1;
    dc.component_index[0] = 0;
    f.scans = {dc};
    const QByteArray one = test::encodeWithLibjpeg(f, halves({90}, {90}, 8));
    const qsizetype sos = one.indexOf("\xFF\xDA");
    const QByteArray scan = one.mid(sos, one.size() - 2 - sos);
    QByteArray out = one.left(sos);
    for (int i = 0; i < scans; ++i)
        out.append(scan);
    out.append("\xFF\xD9");
    return out;
}

/// A small stream with \a count empty APP5 segments, each after a stray byte: one
/// corrupt-data warning apiece.
QByteArray warningFlood(int count)
{
    const QByteArray good = redSquare(8);
    QByteArray out = good.left(2);
    for (int i = 0; i < count; ++i)
        out.append(test::bytes("\x00\xFF\xE5\x00\x02"));
    out.append(good.mid(2));
    return out;
}

/// \a jpeg with the size in its baseline frame header replaced.
QByteArray withClaimedSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

/// A greyscale stream whose frame claims \a width x \a height but whose picture data is that of
/// 8 x 8 pixels or none: the frame, \a padding bytes of COM segments (no picture in them), the
/// first scan and then \a scans - 1 more scan headers without data (in a progressive stream
/// the DC scan again and again).
QByteArray claimingStream(int width, int height, bool progressive, int scans, int padding)
{
    LibjpegFixture f;
    f.width = f.height = 8;
    f.input = f.stored = JCS_GRAYSCALE;
    if (progressive) {
        jpeg_scan_info dc{};
        dc.comps_in_scan = 1;
        f.scans = {dc};
    }
    QByteArray small = test::encodeWithLibjpeg(f, halves({90}, {90}, 8));
    const qsizetype sof = small.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
    small[sof + 5] = char(height >> 8);
    small[sof + 6] = char(height);
    small[sof + 7] = char(width >> 8);
    small[sof + 8] = char(width);
    const qsizetype sos = small.indexOf("\xFF\xDA");
    const qsizetype sosLength = quint8(small[sos + 2]) << 8 | quint8(small[sos + 3]);
    QByteArray out = small.left(sos);
    for (; padding > 0; padding -= 65533)
        out.append(test::segment(0xFE, QByteArray(std::min(padding, 65533), 'p')));
    out.append(small.mid(sos, small.size() - 2 - sos)); // the first scan with its data
    for (int i = 1; i < scans; ++i)
        out.append(small.mid(sos, 2 + sosLength));
    out.append("\xFF\xD9");
    return out;
}

/// A uniform greyscale progressive picture of \a side x \a side whose last scan, an AC
/// refinement of a few bytes that still visits every coefficient, is repeated up to \a scans.
QByteArray refinementScans(int side, int scans)
{
    LibjpegFixture f;
    f.width = f.height = side;
    f.input = f.stored = JCS_GRAYSCALE;
    jpeg_scan_info dc{}, ac{}, refine{};
    dc.comps_in_scan = ac.comps_in_scan = refine.comps_in_scan = 1;
    ac.Ss = refine.Ss = 1;
    ac.Se = refine.Se = 63;
    ac.Al = 1;
    refine.Ah = 1;
    f.scans = {dc, ac, refine};
    const QByteArray one = test::encodeWithLibjpeg(f, halves({90}, {90}, side));
    const qsizetype last = one.lastIndexOf("\xFF\xDA");
    const QByteArray scan = one.mid(last, one.size() - 2 - last);
    QByteArray out = one.left(one.size() - 2);
    for (int i = 3; i < scans; ++i)
        out.append(scan);
    out.append("\xFF\xD9");
    return out;
}

QByteArray encodedWith(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(image) ? bytes : QByteArray();
}

} // namespace

class TestJpegCodec : public QObject
{
    Q_OBJECT
private slots:
    void decodesEveryColourLayout_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("adobe");
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<QList<int>>("left");
        QTest::addColumn<QList<int>>("right");
        QTest::addColumn<QColor>("leftColour");
        QTest::addColumn<QColor>("rightColour");
        const QList<int> red{255, 0, 0}, blue{0, 0, 255};
        QTest::newRow("YCbCr") << int(JCS_RGB) << int(JCS_YCbCr) << false << false << red << blue
                               << QColor(255, 0, 0) << QColor(0, 0, 255);
        QTest::newRow("RGB stored") << int(JCS_RGB) << int(JCS_RGB) << false << false << red << blue
                                    << QColor(255, 0, 0) << QColor(0, 0, 255);
        QTest::newRow("progressive YCbCr") << int(JCS_RGB) << int(JCS_YCbCr) << false << true << red
                                           << blue << QColor(255, 0, 0) << QColor(0, 0, 255);
        QTest::newRow("greyscale")
            << int(JCS_GRAYSCALE) << int(JCS_GRAYSCALE) << false << false << QList<int>{200}
            << QList<int>{40} << QColor(200, 200, 200) << QColor(40, 40, 40);
        QTest::newRow("progressive greyscale")
            << int(JCS_GRAYSCALE) << int(JCS_GRAYSCALE) << false << true << QList<int>{200}
            << QList<int>{40} << QColor(200, 200, 200) << QColor(40, 40, 40);
        // Adobe's inverted CMYK stores 255 for no ink: red is C=0 M=1 Y=1 K=0 in ink.
        QTest::newRow("CMYK, Adobe inverted")
            << int(JCS_CMYK) << int(JCS_CMYK) << true << false << QList<int>{255, 0, 0, 255}
            << QList<int>{255, 255, 255, 128} << QColor(255, 0, 0) << QColor(128, 128, 128);
        QTest::newRow("CMYK, plain")
            << int(JCS_CMYK) << int(JCS_CMYK) << false << false << QList<int>{0, 255, 255, 0}
            << QList<int>{0, 0, 0, 127} << QColor(255, 0, 0) << QColor(128, 128, 128);
        QTest::newRow("YCCK, Adobe")
            << int(JCS_CMYK) << int(JCS_YCCK) << true << false << QList<int>{255, 255, 0, 255}
            << QList<int>{255, 255, 255, 64} << QColor(255, 255, 0) << QColor(64, 64, 64);
        QTest::newRow("progressive CMYK")
            << int(JCS_CMYK) << int(JCS_CMYK) << true << true << QList<int>{0, 255, 0, 255}
            << QList<int>{255, 255, 255, 255} << QColor(0, 255, 0) << QColor(255, 255, 255);
    }

    void decodesEveryColourLayout()
    {
        QFETCH(int, input);
        QFETCH(int, stored);
        QFETCH(bool, adobe);
        QFETCH(bool, progressive);
        QFETCH(QList<int>, left);
        QFETCH(QList<int>, right);
        QFETCH(QColor, leftColour);
        QFETCH(QColor, rightColour);
        LibjpegFixture f;
        f.input = J_COLOR_SPACE(input);
        f.stored = J_COLOR_SPACE(stored);
        f.adobeMarker = adobe;
        f.progressive = progressive;
        const QByteArray jpeg = test::encodeWithLibjpeg(f, halves(left, right, f.width));

        const LoadResult result = decodeJpeg(jpeg);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.format(), QImage::Format_BGR888);
        QCOMPARE(result.image.size(), QSize(f.width, f.height));
        const QColor l = pixelAt(result.image, 4, 8), r = pixelAt(result.image, 28, 8);
        QVERIFY2(near(l, leftColour, 4), qPrintable(describe(l)));
        QVERIFY2(near(r, rightColour, 4), qPrintable(describe(r)));
    }

    void cameraPhotosDecodeLikeAnIndependentReader_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& name : test::photoNames(QStringLiteral("camera")))
            QTest::newRow(qPrintable(name)) << test::cameraPhoto(name);
    }

    void cameraPhotosDecodeLikeAnIndependentReader()
    {
        QFETCH(QString, path);
        const LoadResult loaded = loadPhoto(path);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.format(), QImage::Format_BGR888);

        // The stored pixels, turned by the recorded orientation, are the loaded picture.
        const LoadResult fromMemory = decodeJpeg(test::readFile(path));
        QVERIFY(fromMemory.ok());
        TimgData metadata;
        metadata.loadSourceSegments(path);
        QCOMPARE(uprightPicture(fromMemory.image, metadata.orientation()), loaded.image);
        QCOMPARE(readUprightSize(path), loaded.image.size());

        // Qt's reader turns by the orientation its own way.
        if (!QImageReader::supportedImageFormats().contains("jpeg"))
            QSKIP("Qt's JPEG reader is not installed");
        for (const bool upright : {false, true}) {
            QImageReader reader(path);
            reader.setAutoTransform(upright);
            const QImage qt = reader.read().convertToFormat(QImage::Format_BGR888);
            const QImage& ours = upright ? loaded.image : fromMemory.image;
            QCOMPARE(ours.size(), qt.size());
            const double diff = test::meanAbsDiff(ours, qt);
            QVERIFY2(diff < 1.0, qPrintable(QString::number(diff)));
        }
    }

    void truncatedStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("opens");
        const QByteArray baseline = redSquare(64);
        const QByteArray progressive = redSquare(64, true);
        const qsizetype sos = baseline.indexOf("\xFF\xDA");
        QTest::newRow("baseline, half its data")
            << baseline.left(sos + (baseline.size() - sos) / 2) << true;
        QTest::newRow("baseline, no scan data") << baseline.left(sos + 14) << true;
        QTest::newRow("progressive, first scans only")
            << progressive.left(
                   progressive.indexOf("\xFF\xDA", progressive.indexOf("\xFF\xDA") + 2))
            << true;
        QTest::newRow("cut before the scan") << baseline.left(sos) << false;
        QTest::newRow("cut in the tables") << baseline.left(30) << false;
        QTest::newRow("SOI only") << baseline.left(2) << false;
    }

    void truncatedStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, opens);
        const LoadResult result = decodeJpeg(bytes);
        QCOMPARE(result.ok(), opens);
        QCOMPARE(result.error.isEmpty(), opens);
        if (!opens)
            return;
        QCOMPARE(result.image.size(), QSize(64, 64));
        // What is missing is grey, as viewers show it.
        const QColor bottom = pixelAt(result.image, 32, 63);
        QVERIFY2(near(bottom, QColor(128, 128, 128), 3) || near(bottom, QColor(255, 0, 0), 6),
                 qPrintable(describe(bottom)));
    }

    void truncatedPhotoKeepsItsTopAndGreysItsBottom()
    {
        const QByteArray full = redSquare(64);
        const qsizetype sos = full.indexOf("\xFF\xDA");
        const LoadResult result = decodeJpeg(full.left(sos + (full.size() - sos) / 2));
        QVERIFY(result.ok());
        QVERIFY(near(pixelAt(result.image, 10, 0), QColor(255, 0, 0), 6));
        QVERIFY(near(pixelAt(result.image, 10, 63), QColor(128, 128, 128), 2));

        const LoadResult olympus =
            loadPhoto(test::invalidPhoto(QStringLiteral("truncated-olympus.jpg")));
        QVERIFY2(olympus.ok(), qPrintable(olympus.error));
        QCOMPARE(olympus.image.size(), QSize(3648, 2736));
        const int last = olympus.image.height() - 1;
        for (int x : {0, 1000, 3647})
            QVERIFY(near(pixelAt(olympus.image, x, last), QColor(128, 128, 128), 2));
    }

    void hostileStreams_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("opens");
        const QByteArray small = redSquare(8);
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("text") << QByteArray("not a picture at all\n") << false;
        QTest::newRow("PNG bytes")
            << encodedWith(test::syntheticPhoto(8, 8).convertToFormat(QImage::Format_RGB32), "png")
            << false;
        QTest::newRow("claims 30000 x 30000") << withClaimedSize(small, 30000, 30000) << false;
        QTest::newRow("claims 20000 x 20000 from a few bytes")
            << withClaimedSize(small, 20000, 20000) << false;
        QTest::newRow("claims 6000 x 6000 from a few bytes")
            << withClaimedSize(small, 6000, 6000) << false;
        QTest::newRow("claims 2000 x 2000 from a few bytes: small enough to show grey")
            << withClaimedSize(small, 2000, 2000) << true;
        QTest::newRow("claims width 0") << withClaimedSize(small, 0, 8) << false;
        QTest::newRow("10 scans") << repeatedScans(10) << true;
        QTest::newRow("1000 scans") << repeatedScans(1000) << true;
        QTest::newRow("1001 scans") << repeatedScans(1001) << false;
        QTest::newRow("5000 scans") << repeatedScans(5000) << false;
        QTest::newRow("10 corrupt-data warnings") << warningFlood(10) << true;
        QTest::newRow("1000 corrupt-data warnings") << warningFlood(1000) << true;
        QTest::newRow("1001 corrupt-data warnings") << warningFlood(1001) << false;
        QTest::newRow("20000 corrupt-data warnings") << warningFlood(20000) << false;
        // Claimed pixels are paid for by picture data, not by padding in segments.
        QTest::newRow("20000 x 20000 progressive, 990 scans, 400 KB of COM padding")
            << claimingStream(20000, 20000, true, 990, 400'000) << false;
        QTest::newRow("20000 x 20000 baseline, 450 KB of COM padding")
            << claimingStream(20000, 20000, false, 1, 450'000) << false;
        QTest::newRow("6000 x 6000 baseline, 1 MB of COM padding")
            << claimingStream(6000, 6000, false, 1, 1'000'000) << false;
        QTest::newRow("4000 x 4000 baseline from a few bytes: within what any file may cost")
            << claimingStream(4000, 4000, false, 1, 0) << true;
        // The scans times the pixels of a progressive stream are bounded too.
        QTest::newRow("2048 x 2048 progressive, 256 scans: the most work allowed")
            << claimingStream(2048, 2048, true, 256, 0) << true;
        QTest::newRow("2048 x 2048 progressive, 257 scans")
            << claimingStream(2048, 2048, true, 257, 0) << false;
        QTest::newRow("2000 x 2000 progressive, 990 refinement scans of a few bytes")
            << refinementScans(2000, 990) << false;
    }

    void hostileStreams()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, opens);
        const LoadResult result = decodeJpeg(bytes);
        QCOMPARE(result.ok(), opens);
        QCOMPARE(result.error.isEmpty(), opens);
        if (opens)
            QCOMPARE(result.image.format(), QImage::Format_BGR888);
        // Read from a file, the stream is measured and judged the same way.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hostile.jpg"));
        QVERIFY(test::writeFile(path, bytes));
        const LoadResult fromFile = decodeJpegFile(path);
        QCOMPARE(fromFile.ok(), opens);
        QCOMPARE(fromFile.error, result.error);
        // Every one is refused from its header and data size alone, before any decoding.
        QCOMPARE(jpegRefusal(path), result.error);
    }

    void realPhotosHoldTheDataTheyClaim_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList names = test::photoNames(QStringLiteral("camera"));
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << test::cameraPhoto(name);
        // Its end is lost, yet what is left is plenty for the pixels it claims.
        const QString truncated = QStringLiteral("truncated-olympus.jpg");
        QTest::newRow(qPrintable(truncated)) << test::invalidPhoto(truncated);
        if (names.isEmpty())
            QTest::newRow("no camera photos") << QString();
    }

    void realPhotosHoldTheDataTheyClaim()
    {
        // Without the allowance every file has, each photo is paid for by its own data.
        QFETCH(QString, path);
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        DecodeLimits limits;
        limits.minMemory = 0;
        limits.minScanWork = 0;
        const LoadResult result = decodeJpegFile(path, limits);
        QVERIFY2(result.ok(), qPrintable(result.error));
    }

    void invalidFilesLoadOrFailCleanly_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& name : test::photoNames(QStringLiteral("invalid")))
            QTest::newRow(qPrintable(name)) << test::invalidPhoto(name);
    }

    void invalidFilesLoadOrFailCleanly()
    {
        QFETCH(QString, path);
        const LoadResult result = loadPhoto(path);
        QCOMPARE(result.ok(), result.error.isEmpty());
        if (result.ok()) {
            QCOMPARE(result.image.format(), QImage::Format_BGR888);
            QCOMPARE(result.image.size(), QImageReader(path).size());
        }
    }

    void otherPictureFormats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("topLeft");
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(QColor(0, 128, 255));
        picture.setPixelColor(0, 0, QColor(200, 10, 20));
        QImage transparent = picture;
        transparent.setPixelColor(0, 0, QColor(0, 0, 0, 0));
        QTest::newRow("bitmap") << "p.bmp"
                                << encodedWith(picture.convertToFormat(QImage::Format_RGB32), "bmp")
                                << QColor(200, 10, 20);
        QTest::newRow("PNG, upper-case extension")
            << "p.PNG" << encodedWith(picture, "png") << QColor(200, 10, 20);
        QTest::newRow("PNG, transparent pixel shows white")
            << "t.png" << encodedWith(transparent, "png") << QColor(255, 255, 255);
        if (QImageWriter::supportedImageFormats().contains("ico"))
            QTest::newRow("icon") << "p.ico" << encodedWith(picture, "ico") << QColor(200, 10, 20);
        // A one-pixel GIF whose only colour is red.
        QTest::newRow("GIF") << "p.gif"
                             << test::bytes("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00"
                                            "\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                                            "D\x01\x00;")
                             << QColor(255, 0, 0);
    }

    void otherPictureFormats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, topLeft);
        QVERIFY(!bytes.isEmpty());
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(test::writeFile(path, bytes));
        const LoadResult result = loadPhoto(path);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.format(), QImage::Format_BGR888);
        QCOMPARE(pixelAt(result.image, 0, 0), topLeft);
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing") << "missing.jpg" << QByteArray() << false;
        QTest::newRow("empty .jpg") << "empty.jpg" << QByteArray() << true;
        QTest::newRow("text as .JPEG") << "text.JPEG" << QByteArray("hello") << true;
        QTest::newRow("PNG named .jpg")
            << "png.jpg" << encodedWith(test::syntheticPhoto(4, 4), "png") << true;
        QTest::newRow("noise as .bmp")
            << "noise.bmp" << test::bytes("BM\x01\x02\x03garbage") << true;
        QTest::newRow("unknown extension") << "notes.txt" << QByteArray("hello") << true;
    }

    void unreadableFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (create)
            QVERIFY(test::writeFile(path, bytes));
        const LoadResult result = loadPhoto(path);
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
        QVERIFY(!loadPhoto(dir.path()).ok()); // a folder is not a picture either
    }

    void encoderMatchesPlainLibjpeg_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("libjpegQuality");
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("50") << 50 << 50;
        QTest::newRow("95") << 95 << 95;
        QTest::newRow("100") << 100 << 100;
        QTest::newRow("0 is taken as 1") << 0 << 1;
        QTest::newRow("250 is taken as 100") << 250 << 100;
    }

    void encoderMatchesPlainLibjpeg()
    {
        QFETCH(int, quality);
        QFETCH(int, libjpegQuality);
        const QImage photo = test::syntheticPhoto(77, 45);
        const EncodeResult ours = JpegEncoder(photo, quality).encode();
        QVERIFY2(ours.ok(), qPrintable(ours.error));

        LibjpegFixture f;
        f.width = photo.width();
        f.height = photo.height();
        f.quality = libjpegQuality;
        const QByteArray plain = test::encodeWithLibjpeg(f, [&](int x, int y, JSAMPLE* s) {
            const uchar* p = photo.constScanLine(y) + 3 * x;
            s[0] = p[2];
            s[1] = p[1];
            s[2] = p[0];
        });
        QCOMPARE(ours.jpeg, plain);
        QVERIFY(ours.jpeg.contains("\xFF\xC0")); // baseline frame
    }

    void encoderTakesAnyPictureFormat()
    {
        const QImage photo = test::syntheticPhoto(40, 30);
        const EncodeResult bgr = JpegEncoder(photo, 90).encode();
        const EncodeResult argb =
            JpegEncoder(photo.convertToFormat(QImage::Format_ARGB32), 90).encode();
        QVERIFY(bgr.ok() && argb.ok());
        QCOMPARE(argb.jpeg, bgr.jpeg);
        const LoadResult back = decodeJpeg(bgr.jpeg);
        QVERIFY(back.ok());
        QVERIFY(test::meanAbsDiff(back.image, photo) < 3.0);
    }

    void encoderFailures_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("stopAtRow");
        QTest::newRow("null picture") << QImage() << -1;
        QTest::newRow("wider than JPEG allows") << QImage(70000, 1, QImage::Format_BGR888) << -1;
        QTest::newRow("stopped half-way") << test::syntheticPhoto(64, 64) << 32;
        QTest::newRow("stopped at the last band") << test::syntheticPhoto(64, 64) << 64;
    }

    void encoderFailures()
    {
        QFETCH(QImage, picture);
        QFETCH(int, stopAtRow);
        JpegEncoder encoder(picture, 90);
        int lastRow = 0;
        bool rowsAdvance = true;
        encoder.setProgress([&](int done, int total) {
            rowsAdvance = rowsAdvance && done > lastRow && done <= total;
            lastRow = done;
            return stopAtRow < 0 || done < stopAtRow;
        });
        const EncodeResult result = encoder.encode();
        QVERIFY(!result.ok());
        QVERIFY(result.jpeg.isEmpty());
        QVERIFY(rowsAdvance);
        if (stopAtRow > 0)
            QCOMPARE(lastRow, stopAtRow);
    }
};

TESS_TEST_MAIN(TestJpegCodec)
#include "test_jpegcodec.moc"
