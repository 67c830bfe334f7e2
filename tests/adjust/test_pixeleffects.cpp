#include "adjust/PixelEffects.h"
#include "tests/support/TestMain.h"

#include <QRandomGenerator>
#include <climits>
#include <vector>

using namespace tess;
using namespace tess::adjust;

Q_DECLARE_METATYPE(tess::PhotoEffect)
Q_DECLARE_METATYPE(QImage::Format)

namespace {

/// A Format_BGR888 bitmap from blue, green, red bytes, `width` pixels a row.
QImage bitmapOf(const QList<int>& bgr, int width)
{
    const int height = int(bgr.size() / 3 / width);
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < 3 * width; ++i)
            image.scanLine(y)[i] = uchar(bgr.at(3 * width * y + i));
    return image;
}

/// The pixel bytes of every row, without the padding.
QList<int> bytesOf(const QImage& image)
{
    QList<int> bytes;
    const int rowBytes = (image.width() * image.depth() + 7) / 8;
    for (int y = 0; y < image.height(); ++y)
        for (int i = 0; i < rowBytes; ++i)
            bytes.append(image.constScanLine(y)[i]);
    return bytes;
}

QImage randomBitmap(int width, int height, quint32 seed,
                    QImage::Format format = QImage::Format_BGR888)
{
    QImage image(width, height, format);
    QRandomGenerator random(seed);
    const int rowBytes = (width * image.depth() + 7) / 8;
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < rowBytes; ++i)
            image.scanLine(y)[i] = uchar(random.bounded(256));
    if (format == QImage::Format_ARGB32) // opaque, so a conversion keeps the colours
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, image.pixel(x, y) | 0xff000000u);
    return image;
}

/// Empty when both have the same size, format and pixel bytes, else where they differ.
QString difference(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size() || actual.format() != expected.format())
        return QStringLiteral("size or format differs");
    const int rowBytes = (actual.width() * actual.depth() + 7) / 8;
    for (int y = 0; y < actual.height(); ++y)
        for (int i = 0; i < rowBytes; ++i)
            if (actual.constScanLine(y)[i] != expected.constScanLine(y)[i])
                return QStringLiteral("row %1 byte %2: %3, expected %4")
                    .arg(y)
                    .arg(i)
                    .arg(actual.constScanLine(y)[i])
                    .arg(expected.constScanLine(y)[i]);
    return {};
}

const QStringList kOperations = {
    QStringLiteral("greyscale"), QStringLiteral("sepia"),    QStringLiteral("flaxen"),
    QStringLiteral("negative"),  QStringLiteral("brighten"), QStringLiteral("darken"),
    QStringLiteral("contrast"),  QStringLiteral("mirror"),   QStringLiteral("flip")};

void runOperation(const QString& name, QImage& bitmap)
{
    if (name == u"greyscale")
        applyGreyscale(bitmap);
    else if (name == u"sepia")
        applySepia(bitmap, 45);
    else if (name == u"flaxen")
        applyFlaxen(bitmap);
    else if (name == u"negative")
        applyNegative(bitmap);
    else if (name == u"brighten")
        brighten(bitmap, 45);
    else if (name == u"darken")
        darken(bitmap, 55);
    else if (name == u"contrast")
        adjustContrast(bitmap, 100);
    else if (name == u"mirror")
        mirrorPhoto(bitmap);
    else if (name == u"flip")
        flipPhoto(bitmap);
    else
        QFAIL("unknown operation");
}

/// The pipeline spelled out as its separate steps.
QImage stepByStep(const QImage& base, PhotoEffect effect, quint8 level, int brightness,
                  int contrast)
{
    QImage image = base.copy();
    switch (effect) {
    case PhotoEffect::None:
        break;
    case PhotoEffect::Greyscale:
        applyGreyscale(image);
        break;
    case PhotoEffect::Sepia:
        applySepia(image, level);
        break;
    case PhotoEffect::Flaxen:
        applyFlaxen(image);
        break;
    case PhotoEffect::Negative:
        applyNegative(image);
        break;
    }
    if (brightness >= 256)
        brighten(image, brightness - 255);
    else
        darken(image, 255 - brightness);
    adjustContrast(image, contrast - 255);
    return image;
}

/// Flaxen exactly as its steps read, in place on (B, G, R) bytes: neighbours past the end
/// read the last pixel as it is at that moment, writes past the end are dropped.
QList<int> flaxenByTheSteps(QList<int> row)
{
    const int width = int(row.size() / 3);
    const auto at = [&](int pixel, int channel) -> int& {
        return row[3 * std::min(pixel, width - 1) + channel];
    };
    for (int x = 0; x < width; ++x) {
        at(x, 2) = (at(x, 2) + at(x + 1, 1) + at(x + 2, 0)) / 3;
        if (x + 1 < width) {
            at(x + 1, 1) = (at(x, 1) + at(x + 1, 1) + at(x + 2, 0)) / 3;
            at(x + 1, 0) = (at(x, 0) + at(x + 1, 1) + at(x + 2, 0)) / 3;
        }
    }
    return row;
}

} // namespace

class TestPixelEffects : public QObject
{
    Q_OBJECT
private slots:
    void clampToByteLimits_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("lowest int") << INT_MIN << 0;
        QTest::newRow("minus one") << -1 << 0;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("inside") << 200 << 200;
        QTest::newRow("255") << 255 << 255;
        QTest::newRow("256") << 256 << 255;
        QTest::newRow("highest int") << INT_MAX << 255;
    }
    void clampToByteLimits()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        QCOMPARE(int(clampToByte(value)), expected);
    }

    // Pixels are (B, G, R).
    void colourEffects_data()
    {
        QTest::addColumn<PhotoEffect>("effect");
        QTest::addColumn<int>("level");
        QTest::addColumn<QList<int>>("pixel");
        QTest::addColumn<QList<int>>("expected");
        const PhotoEffect grey = PhotoEffect::Greyscale;
        const PhotoEffect sepia = PhotoEffect::Sepia;
        QTest::newRow("grey of red") << grey << 0 << QList{0, 0, 255} << QList{76, 76, 76};
        QTest::newRow("grey of green") << grey << 0 << QList{0, 255, 0} << QList{149, 149, 149};
        QTest::newRow("grey of blue") << grey << 0 << QList{255, 0, 0} << QList{28, 28, 28};
        QTest::newRow("grey of white") << grey << 0 << QList{255, 255, 255} << QList{255, 255, 255};
        QTest::newRow("sepia 45 of grey")
            << sepia << 45 << QList{100, 100, 100} << QList{100, 145, 190};
        QTest::newRow("sepia 45 of colour")
            << sepia << 45 << QList{100, 150, 200} << QList{150, 195, 240};
        QTest::newRow("sepia 100 of white")
            << sepia << 100 << QList{255, 255, 255} << QList{255, 255, 255};
        QTest::newRow("sepia 0 is the average")
            << sepia << 0 << QList{61, 20, 10} << QList{30, 30, 30};
        QTest::newRow("sepia 255 lifts without wrapping")
            << sepia << 255 << QList{0, 0, 1} << QList{0, 255, 255};
    }
    void colourEffects()
    {
        QFETCH(PhotoEffect, effect);
        QFETCH(int, level);
        QFETCH(QList<int>, pixel);
        QFETCH(QList<int>, expected);
        // The same pixel three times on a row, as effects work on whole rows.
        QImage image = bitmapOf(pixel + pixel + pixel, 3);
        if (effect == PhotoEffect::Sepia)
            applySepia(image, quint8(level));
        else
            applyGreyscale(image);
        QCOMPARE(bytesOf(image), expected + expected + expected);
        const QImage piped =
            applyPhotoAdjustments(bitmapOf(pixel, 1), effect, quint8(level), 255, 255);
        QCOMPARE(bytesOf(piped), expected);
    }

    // -1 in `expected` is a byte the case does not fix.
    void flaxenRows_data()
    {
        QTest::addColumn<QList<int>>("row");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("worked example")
            << QList{30, 60, 90, 0, 120, 240, 90, 30, 60, 40, 50, 70, 10, 20, 30, 200, 100, 0}
            << QList{30, 60, 100, 70, 90, 103, 54, 53, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
        // Row ends: missing neighbours repeat the last pixel.
        QTest::newRow("one pixel") << QList{10, 20, 61} << QList{10, 20, 30};
        QTest::newRow("two pixels")
            << QList{30, 60, 90, 0, 120, 240} << QList{30, 60, 70, 30, 60, 110};
        QTest::newRow("grey row of one") << QList{77, 77, 77} << QList{77, 77, 77};
        QTest::newRow("grey row of two") << QList<int>(6, 128) << QList<int>(6, 128);
        QTest::newRow("grey row of seven") << QList<int>(21, 9) << QList<int>(21, 9);
    }
    void flaxenRows()
    {
        QFETCH(QList<int>, row);
        QFETCH(QList<int>, expected);
        // Two equal rows: each row is worked on its own.
        QImage image = bitmapOf(row + row, int(row.size() / 3));
        applyFlaxen(image);
        const QList<int> bytes = bytesOf(image);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            if (expected.at(i % row.size()) >= 0)
                QCOMPARE(bytes.at(i), expected.at(i % row.size()));
    }

    void flaxenFollowsTheSteps_data()
    {
        QTest::addColumn<int>("width");
        for (int width : {1, 2, 3, 4, 5, 8, 33})
            QTest::addRow("width %d", width) << width;
    }
    void flaxenFollowsTheSteps()
    {
        QFETCH(int, width);
        const QImage base = randomBitmap(width, 6, quint32(width));
        QImage image = base;
        applyFlaxen(image);
        for (int y = 0; y < base.height(); ++y) {
            QList<int> row;
            for (int i = 0; i < 3 * width; ++i)
                row.append(base.constScanLine(y)[i]);
            QCOMPARE(bytesOf(image.copy(0, y, width, 1)), flaxenByTheSteps(row));
        }
    }

    void perByteRules_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        const QString neg = QStringLiteral("negative");
        const QString up = QStringLiteral("brighten");
        const QString down = QStringLiteral("darken");
        const QString con = QStringLiteral("contrast");
        QTest::newRow("negative of 0") << neg << 0 << 0 << 255;
        QTest::newRow("negative of 200") << neg << 0 << 200 << 55;
        QTest::newRow("brighten 255 of 0") << up << 255 << 0 << 255;
        QTest::newRow("brighten 255 of 100") << up << 255 << 100 << 255;
        QTest::newRow("brighten 45 of 100") << up << 45 << 100 << 127;
        QTest::newRow("brighten 1 truncates") << up << 1 << 100 << 100;
        QTest::newRow("darken 255 of 255") << down << 255 << 255 << 0;
        QTest::newRow("darken 55 of 100") << down << 55 << 100 << 79;
        QTest::newRow("darken 0 of 100") << down << 0 << 100 << 100;
        QTest::newRow("contrast -255 of 0") << con << -255 << 0 << 127;
        QTest::newRow("contrast -255 of 255") << con << -255 << 255 << 127;
        QTest::newRow("contrast 255 of 0") << con << 255 << 0 << 0;
        QTest::newRow("contrast 255 of 100") << con << 255 << 100 << 73;
        QTest::newRow("contrast 255 of 127") << con << 255 << 127 << 127;
        QTest::newRow("contrast 255 of 128") << con << 255 << 128 << 129;
        QTest::newRow("contrast 255 of 200") << con << 255 << 200 << 255;
        QTest::newRow("contrast 100 of 200") << con << 100 << 200 << 228;
        QTest::newRow("contrast 100 of 50") << con << 100 << 50 << 20;
        QTest::newRow("contrast -100 of 200") << con << -100 << 200 << 172;
        QTest::newRow("contrast -100 of 50") << con << -100 << 50 << 80;
        // Out-of-range n clamps instead of overflowing.
        QTest::newRow("brighten by the highest int") << up << INT_MAX << 100 << 255;
        QTest::newRow("brighten by the lowest int") << up << INT_MIN << 100 << 0;
        QTest::newRow("darken by the highest int") << down << INT_MAX << 100 << 0;
        QTest::newRow("darken by the lowest int") << down << INT_MIN << 100 << 255;
        QTest::newRow("contrast by the highest int, low") << con << INT_MAX << 100 << 0;
        QTest::newRow("contrast by the highest int, high") << con << INT_MAX << 200 << 255;
        QTest::newRow("contrast by the lowest int, low") << con << INT_MIN << 100 << 255;
    }
    void perByteRules()
    {
        QFETCH(QString, operation);
        QFETCH(int, n);
        QFETCH(int, value);
        QFETCH(int, expected);
        QImage image = bitmapOf(QList<int>(3 * 5 * 2, value), 5);
        if (operation == u"negative")
            applyNegative(image);
        else if (operation == u"brighten")
            brighten(image, n);
        else if (operation == u"darken")
            darken(image, n);
        else
            adjustContrast(image, n);
        QCOMPARE(bytesOf(image), QList<int>(3 * 5 * 2, expected));
    }

    void pipelineSettings_data()
    {
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("brightness 510") << 510 << 255 << 3 << 255;
        QTest::newRow("brightness 0") << 0 << 255 << 250 << 0;
        QTest::newRow("brightness 300") << 300 << 255 << 100 << 127;
        QTest::newRow("brightness 200") << 200 << 255 << 100 << 79;
        QTest::newRow("brightness 256") << 256 << 255 << 100 << 100;
        QTest::newRow("contrast 0") << 255 << 0 << 3 << 127;
        QTest::newRow("contrast 510") << 255 << 510 << 100 << 73;
        // Brightness runs first: 100 -> 127, which contrast leaves.
        QTest::newRow("brightness before contrast") << 300 << 510 << 100 << 127;
        QTest::newRow("darken then spread") << 200 << 510 << 100 << 31;
        // Settings far out of range (a damaged profile) saturate instead of overflowing.
        QTest::newRow("brightness highest int") << INT_MAX << 255 << 100 << 255;
        QTest::newRow("brightness lowest int") << INT_MIN << 255 << 100 << 0;
        QTest::newRow("contrast highest int") << 255 << INT_MAX << 100 << 0;
        QTest::newRow("contrast lowest int") << 255 << INT_MIN << 200 << 0;
    }
    void pipelineSettings()
    {
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(int, value);
        QFETCH(int, expected);
        const QImage base = bitmapOf(QList<int>(3 * 3 * 2, value), 3);
        const QImage result =
            applyPhotoAdjustments(base, PhotoEffect::None, 45, brightness, contrast);
        QCOMPARE(bytesOf(result), QList<int>(3 * 3 * 2, expected));
    }

    void unchangedSettingsGiveTheBasePhoto_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("BGR888") << QImage::Format_BGR888;
        QTest::newRow("RGB32") << QImage::Format_RGB32;
        QTest::newRow("opaque ARGB32") << QImage::Format_ARGB32;
        QTest::newRow("RGB888") << QImage::Format_RGB888;
        QTest::newRow("Grayscale8") << QImage::Format_Grayscale8;
    }
    void unchangedSettingsGiveTheBasePhoto()
    {
        QFETCH(QImage::Format, format);
        const QImage base = randomBitmap(1001, 37, 7, format);
        const QImage before = base.copy();
        QImage result = applyPhotoAdjustments(base, PhotoEffect::None, 45, 255, 255);
        QCOMPARE(result.format(), QImage::Format_BGR888);
        QCOMPARE(result.size(), base.size());
        for (int y = 0; y < base.height(); ++y)
            for (int x = 0; x < base.width(); ++x)
                QCOMPARE(result.pixel(x, y), base.pixel(x, y));
        // A copy of its own: writing to it leaves the base photo alone.
        result.fill(Qt::red);
        QCOMPARE(difference(base, before), QString());
    }

    // The one-pass, multi-threaded pipeline against its steps one after the other, on odd
    // widths whose rows are padded; 1001 x 257 is large enough to be split across threads.
    void pipelineEqualsTheSteps_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<PhotoEffect>("effect");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        const QList<QPair<QString, PhotoEffect>> effects = {
            {QStringLiteral("none"), PhotoEffect::None},
            {QStringLiteral("greyscale"), PhotoEffect::Greyscale},
            {QStringLiteral("sepia"), PhotoEffect::Sepia},
            {QStringLiteral("flaxen"), PhotoEffect::Flaxen},
            {QStringLiteral("negative"), PhotoEffect::Negative}};
        const QList<QPair<int, int>> settings = {
            {255, 255}, {300, 200}, {0, 510}, {510, 0}, {100, 400}};
        const QList<QSize> sizes = {{1001, 37}, {1001, 257}, {1, 700}, {2, 3}};
        for (const QSize& size : sizes)
            for (const auto& [name, effect] : effects)
                for (const auto& [b, c] : settings)
                    QTest::addRow("%dx%d %s %d/%d", size.width(), size.height(), qPrintable(name),
                                  b, c)
                        << QImage::Format_BGR888 << size << effect << b << c;
        for (const auto& [name, effect] : effects)
            QTest::addRow("RGB32 1001x257 %s", qPrintable(name))
                << QImage::Format_RGB32 << QSize(1001, 257) << effect << 300 << 200;
    }
    void pipelineEqualsTheSteps()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QSize, size);
        QFETCH(PhotoEffect, effect);
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        const QImage base = randomBitmap(size.width(), size.height(), 11, format);
        const QImage before = base.copy();
        const QImage result = applyPhotoAdjustments(base, effect, 60, brightness, contrast);
        QCOMPARE(difference(result, stepByStep(base, effect, 60, brightness, contrast)), QString());
        QCOMPARE(difference(base, before), QString());
    }

    void operationsConvertTo24Bits_data()
    {
        QTest::addColumn<QString>("operation");
        for (const QString& name : kOperations)
            QTest::newRow(qPrintable(name)) << name;
    }
    void operationsConvertTo24Bits()
    {
        QFETCH(QString, operation);
        const QImage base = randomBitmap(7, 5, 3, QImage::Format_RGB32);
        QImage image = base;
        runOperation(operation, image);
        QImage expected = base.convertToFormat(QImage::Format_BGR888);
        runOperation(operation, expected);
        // Flip swaps whole rows of whatever format it is given.
        const QImage::Format format =
            operation == u"flip" ? QImage::Format_RGB32 : QImage::Format_BGR888;
        QCOMPARE(image.format(), format);
        QCOMPARE(difference(image.convertToFormat(QImage::Format_BGR888), expected), QString());
    }

    void operationsStayInsideTheRows_data() { operationsConvertTo24Bits_data(); }
    void operationsStayInsideTheRows()
    {
        QFETCH(QString, operation);
        for (int width : {1, 2, 3, 5}) {
            const int height = 3;
            const qsizetype stride = 3 * width + 9;
            std::vector<uchar> buffer(size_t(stride * height), 0xA5);
            QRandomGenerator random{quint32(width)};
            for (int y = 0; y < height; ++y)
                for (int i = 0; i < 3 * width; ++i)
                    buffer[size_t(y * stride + i)] = uchar(random.bounded(256));
            QImage image(buffer.data(), width, height, stride, QImage::Format_BGR888);
            QVERIFY(!image.isNull());
            runOperation(operation, image);
            QCOMPARE(image.constBits(), buffer.data()); // worked in place, not on a copy
            for (int y = 0; y < height; ++y)
                for (qsizetype i = 3 * width; i < stride; ++i)
                    QCOMPARE(int(buffer[size_t(y * stride + i)]), 0xA5);
        }
    }

    void sharedCopiesAreLeftAlone_data() { operationsConvertTo24Bits_data(); }
    void sharedCopiesAreLeftAlone()
    {
        QFETCH(QString, operation);
        // Large enough to be worked on by several threads.
        const QImage original = randomBitmap(1001, 257, 5);
        const QImage before = original.copy();
        QImage shared = original;
        runOperation(operation, shared);
        QCOMPARE(difference(original, before), QString());
        QVERIFY(!difference(shared, before).isEmpty());
    }

    void nullBitmapsAreLeftAlone()
    {
        for (const QString& name : kOperations) {
            QImage image;
            runOperation(name, image);
            QVERIFY2(image.isNull(), qPrintable(name));
        }
        QVERIFY(applyPhotoAdjustments(QImage(), PhotoEffect::Flaxen, 45, 300, 200).isNull());
    }

    void negativeTwiceRestores()
    {
        const QImage base = randomBitmap(1001, 257, 9);
        QImage image = base;
        applyNegative(image);
        QVERIFY(!difference(image, base).isEmpty());
        applyNegative(image);
        QCOMPARE(difference(image, base), QString());
    }

    void mirrorAndFlip_data()
    {
        QTest::addColumn<bool>("mirror");
        QTest::addColumn<QSize>("size");
        for (const QSize& size :
             {QSize(1, 1), QSize(1, 4), QSize(4, 1), QSize(3, 2), QSize(4, 5), QSize(1001, 257)}) {
            QTest::addRow("mirror %dx%d", size.width(), size.height()) << true << size;
            QTest::addRow("flip %dx%d", size.width(), size.height()) << false << size;
        }
    }
    void mirrorAndFlip()
    {
        QFETCH(bool, mirror);
        QFETCH(QSize, size);
        const QImage base = randomBitmap(size.width(), size.height(), 13);
        QImage image = base;
        mirror ? mirrorPhoto(image) : flipPhoto(image);
        const int w = base.width();
        const int h = base.height();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                QCOMPARE(image.pixel(x, y),
                         mirror ? base.pixel(w - 1 - x, y) : base.pixel(x, h - 1 - y));
        mirror ? mirrorPhoto(image) : flipPhoto(image);
        QCOMPARE(difference(image, base), QString());
    }

    void keepFlagsOnOpen_data()
    {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("effectReset");
        QTest::addColumn<bool>("adjustmentsReset");
        QTest::newRow("0111") << QStringLiteral("0111") << true << false;
        QTest::newRow("1101") << QStringLiteral("1101") << false << true;
        QTest::newRow("1111") << QStringLiteral("1111") << false << false;
        QTest::newRow("0000") << QStringLiteral("0000") << true << true;
        QTest::newRow("only a 0 resets") << QStringLiteral("2x 1") << false << false;
        QTest::newRow("short: one 0") << QStringLiteral("0") << true << false;
        QTest::newRow("empty") << QString() << false << false;
    }
    void keepFlagsOnOpen()
    {
        QFETCH(QString, flags);
        QFETCH(bool, effectReset);
        QFETCH(bool, adjustmentsReset);
        StampAttributes attributes;
        attributes.effect = PhotoEffect::Sepia;
        attributes.sepiaLevel = 60;
        attributes.brightness = 300;
        attributes.contrast = 200;
        attributes.keepFlags = flags;
        StampAttributes expected = attributes;
        if (effectReset)
            expected.effect = PhotoEffect::None;
        if (adjustmentsReset) {
            expected.brightness = 255;
            expected.contrast = 255;
        }
        QCOMPARE(resetAdjustmentsOnOpen(attributes), effectReset);
        QVERIFY(attributes == expected); // sepia level and flags included
    }

    /// The display scaling keeps the exact size and stays close to a full smooth scaling,
    /// also where it samples a large photo down first.
    void scaledForDisplay_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::newRow("24 megapixels into the pane") << QSize(6000, 4000) << QSize(254, 169);
        QTest::newRow("a little larger") << QSize(300, 200) << QSize(254, 169);
        QTest::newRow("enlarged") << QSize(40, 30) << QSize(254, 190);
        QTest::newRow("one pixel") << QSize(1, 1) << QSize(3, 3);
    }
    void scaledForDisplay()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QImage photo(source, QImage::Format_BGR888);
        for (int y = 0; y < source.height(); ++y) {
            uchar* row = photo.scanLine(y);
            for (int x = 0; x < source.width(); ++x) {
                row[3 * x] = uchar(255 * x / qMax(1, source.width() - 1));
                row[3 * x + 1] = uchar(255 * y / qMax(1, source.height() - 1));
                row[3 * x + 2] = uchar((x / 8 + y / 8) % 2 ? 200 : 60); // fine detail
            }
        }
        const QImage shown = tess::adjust::scaledForDisplay(photo, target);
        QCOMPARE(shown.size(), target);
        const QImage reference =
            photo.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_BGR888);
        const QImage got = shown.convertToFormat(QImage::Format_BGR888);
        qint64 sum = 0;
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < 3 * target.width(); ++x)
                sum += qAbs(int(got.constScanLine(y)[x]) - int(reference.constScanLine(y)[x]));
        QVERIFY2(
            sum < 6 * qint64(3) * target.width() * target.height(),
            qPrintable(QString::number(double(sum) / (3.0 * target.width() * target.height()))));
        QVERIFY(tess::adjust::scaledForDisplay(QImage(), target).isNull());
    }
};

TESS_TEST_MAIN(TestPixelEffects)
#include "test_pixeleffects.moc"
