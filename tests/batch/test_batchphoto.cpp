#include "adjust/PixelEffects.h"
#include "batch/BatchPhoto.h"
#include "render/StampRenderer.h"
#include "stamptext/DateFormats.h"
#include "tests/batch/BatchTestSupport.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestMain.h"
#include "tests/support/TestPhotos.h"

#include <QFontInfo>

using namespace tess;
using namespace tess::batch;
using tess::test::cameraPhoto;

namespace {

/// A photo with some detail in every region.
QImage gradient(QSize size)
{
    QImage image(size, QImage::Format_BGR888);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            row[3 * x] = uchar(x * 7);
            row[3 * x + 1] = uchar(y * 5);
            row[3 * x + 2] = uchar(90 + (x + y) % 60);
        }
    }
    return image;
}

BatchSettings plainSettings()
{
    BatchSettings s;
    s.fontName = QStringLiteral("DejaVu Sans");
    return s;
}

/// The error text renderBatchPhoto fails with; empty when it does not fail.
QString renderError(const BatchSettings& s, const QStringList& lines)
{
    try {
        renderBatchPhoto(gradient(QSize(120, 90)), s, lines);
    } catch (const BatchError& e) {
        return e.message;
    }
    return QString();
}

} // namespace

class TestBatchPhoto : public QObject
{
    Q_OBJECT
private slots:
    /// Only keep flag characters 2 and 4 count, and only a "1" switches their step on.
    void keepFlags_data()
    {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("effect");
        QTest::addColumn<bool>("adjustments");
        QTest::newRow("0000") << "0000" << false << false;
        QTest::newRow("second and fourth 0, first and third 1") << "1010" << false << false;
        QTest::newRow("1111") << "1111" << true << true;
        QTest::newRow("0101") << "0101" << true << true;
        QTest::newRow("effect only") << "0100" << true << false;
        QTest::newRow("adjustments only") << "0001" << false << true;
        QTest::newRow("other characters switch off") << "1x1y" << false << false;
        QTest::newRow("too short for the fourth") << "11" << true << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void keepFlags()
    {
        QFETCH(QString, flags);
        QFETCH(bool, effect);
        QFETCH(bool, adjustments);
        BatchSettings s = plainSettings();
        s.keepFlags = flags;
        s.effect = QStringLiteral("sepia");
        s.sepiaLevel = 256 + 60; // the low 8 bits count
        s.brightness = 300;
        s.contrast = 280;
        const QImage photo = gradient(QSize(64, 48));
        const QImage expected =
            adjust::applyPhotoAdjustments(photo, effect ? PhotoEffect::Sepia : PhotoEffect::None,
                                          60, adjustments ? 300 : 255, adjustments ? 280 : 255);
        QCOMPARE(renderBatchPhoto(photo, s, {QString()}), expected);
    }

    /// The effect text is compared exactly; anything but the four names is no effect.
    void effectText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("effect");
        QTest::newRow("greyscale") << "greyscale" << int(PhotoEffect::Greyscale);
        QTest::newRow("sepia") << "sepia" << int(PhotoEffect::Sepia);
        QTest::newRow("flaxen") << "flaxen" << int(PhotoEffect::Flaxen);
        QTest::newRow("negative") << "negative" << int(PhotoEffect::Negative);
        QTest::newRow("none") << "none" << int(PhotoEffect::None);
        QTest::newRow("capitals") << "Negative" << int(PhotoEffect::None);
        QTest::newRow("marker line of a shorter file") << "-6-" << int(PhotoEffect::None);
    }
    void effectText()
    {
        QFETCH(QString, text);
        QFETCH(int, effect);
        BatchSettings s = plainSettings();
        s.effect = text;
        const QImage photo = gradient(QSize(40, 30));
        QCOMPARE(renderBatchPhoto(photo, s, {QString()}),
                 adjust::applyPhotoAdjustments(photo, PhotoEffect(effect), 45, 255, 255));
    }

    /// Settings the main window can hold give the main window's stamped photo.
    void sameAsMainRenderer_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("outline");
        QTest::addColumn<int>("opacity");
        QTest::addColumn<bool>("bold");
        QTest::newRow("bottom right, plain") << positions::BottomRight << 0 << 255 << false;
        QTest::newRow("top left, outline 2, 60%") << positions::TopLeft << 2 << 153 << false;
        QTest::newRow("bottom left, outline 5, bold") << positions::BottomLeft << 5 << 204 << true;
        QTest::newRow("top right, 20%") << positions::TopRight << 1 << 51 << false;
        QTest::newRow("centre") << positions::Centre << 3 << 255 << true;
        QTest::newRow("opacity 0") << positions::Centre << 0 << 0 << false;
    }
    void sameAsMainRenderer()
    {
        QFETCH(QString, position);
        QFETCH(int, outline);
        QFETCH(int, opacity);
        QFETCH(bool, bold);
        StampAttributes a;
        a.fontName = QStringLiteral("DejaVu Sans");
        a.fontSize = 14;
        a.bold = bold;
        a.textColor = 0x0000FFFF;
        a.outlineColor = 0x00800000;
        a.outlineWidth = outline;
        a.position = position;
        a.opacity = opacity;
        a.borderWidth = 7;
        a.effect = PhotoEffect::Flaxen;
        a.brightness = 270;
        a.contrast = 240;
        const QImage photo = gradient(QSize(200, 120));
        const QStringList lines{QStringLiteral("Batch line one"), QStringLiteral("2"), QString()};
        const QImage expected =
            render::renderStamp(photo, a, lines, render::AdjustedText::None).stamped;
        QCOMPARE(renderBatchPhoto(photo, batchSettingsFromAttributes(a), lines), expected);
        if (opacity != 0)
            QVERIFY(expected != adjust::applyPhotoAdjustments(photo, a.effect, 45, 270, 240));
    }

    /// "Custom" places the block at the same fraction of every photo.
    void anchor_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QStringList>("custom"); // x, x maximum, y, y maximum
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QPoint>("anchor");
        const QStringList half{"320", "640", "240", "480"};
        QTest::newRow("half of 2000 x 1000")
            << "Custom" << half << QSize(2000, 1000) << QPoint(1000, 500);
        QTest::newRow("half of 800 x 600")
            << "Custom" << half << QSize(800, 600) << QPoint(400, 300);
        QTest::newRow("halves round to even") << "Custom" << QStringList{"1", "2", "1", "2"}
                                              << QSize(2001, 1003) << QPoint(1000, 502);
        QTest::newRow("fractions")
            << "Custom" << QStringList{"1", "3", "2", "3"} << QSize(300, 90) << QPoint(100, 60);
        QTest::newRow("horizontal maximum 0")
            << "Custom" << QStringList{"5", "0", "240", "480"} << QSize(800, 600) << QPoint(0, 0);
        QTest::newRow("vertical maximum 0")
            << "Custom" << QStringList{"320", "640", "0", "0"} << QSize(800, 600) << QPoint(0, 0);
        QTest::newRow("custom text no number")
            << "Custom" << QStringList{"x", "640", "240", "480"} << QSize(800, 600) << QPoint(0, 0);
        QTest::newRow("far beyond the photo")
            << "Custom" << QStringList{"2000000000", "1", "-2000000000", "1"} << QSize(800, 600)
            << QPoint(1 << 30, -(1 << 30));
        QTest::newRow("top left with maxima 0")
            << "Top Left" << QStringList{"0", "0", "0", "0"} << QSize(800, 600) << QPoint(5, 5);
    }
    void anchor()
    {
        QFETCH(QString, position);
        QFETCH(QStringList, custom);
        QFETCH(QSize, photo);
        QFETCH(QPoint, anchor);
        BatchSettings s = plainSettings();
        s.position = position;
        s.customX = custom[0];
        s.customXMax = custom[1];
        s.customY = custom[2];
        s.customYMax = custom[3];
        const StampAttributes a = batchStampAttributes(photo, s);
        QCOMPARE(render::stampAnchor(a.position, photo, 0, 0, a.borderWidth, a.customX, a.customY),
                 std::optional<QPoint>(anchor));
    }

    /// The corners and the centre follow the main window's anchor table; the custom maxima
    /// play no part there. Any other text draws nothing.
    void anchorTable_data()
    {
        QTest::addColumn<QString>("position");
        QTest::newRow("bottom right") << positions::BottomRight;
        QTest::newRow("top right") << positions::TopRight;
        QTest::newRow("bottom left") << positions::BottomLeft;
        QTest::newRow("top left") << positions::TopLeft;
        QTest::newRow("centre") << positions::Centre;
        QTest::newRow("lower case") << "bottom right";
        QTest::newRow("empty") << "";
    }
    void anchorTable()
    {
        QFETCH(QString, position);
        BatchSettings s = plainSettings();
        s.position = position;
        s.borderWidth = QStringLiteral("9");
        s.customXMax = s.customYMax = QStringLiteral("0");
        const QStringList lines{QStringLiteral("Stamp text"), QStringLiteral("two")};
        const QSize photo(640, 480);
        const StampAttributes a = batchStampAttributes(photo, s);
        const render::StampBlock block =
            render::measureStampLines(render::stampFont(a, photo.height()), lines);
        const std::optional<QPoint> anchor =
            render::stampAnchor(position, photo, block.maxWidth, block.blockHeight, 9, 0, 0);
        QCOMPARE(render::stampAnchor(a.position, photo, block.maxWidth, block.blockHeight,
                                     a.borderWidth, a.customX, a.customY),
                 anchor);
        const QImage picture = gradient(photo);
        const QImage stamped = renderBatchPhoto(picture, s, lines);
        QCOMPARE(stamped != picture, anchor.has_value());
    }

    void fontStyle_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("Regular") << "Regular" << false << false;
        QTest::newRow("Bold") << "Bold" << true << false;
        QTest::newRow("Italic") << "Italic" << false << true;
        QTest::newRow("Bold, Italic") << "Bold, Italic" << true << true;
        QTest::newRow("lower case") << "bold" << false << false;
        QTest::newRow("other text") << "Bold Italic" << false << false;
    }
    void fontStyle()
    {
        QFETCH(QString, style);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        BatchSettings s = plainSettings();
        s.fontStyle = style;
        const QFont font = render::stampFont(batchStampAttributes(QSize(100, 100), s), 100);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    }

    void fontSize_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("proportional");
        QTest::addColumn<int>("reference");
        QTest::addColumn<int>("photoHeight");
        QTest::addColumn<int>("points");
        QTest::newRow("fixed") << "18" << false << 768 << 1000 << 18;
        QTest::newRow("proportional") << "20" << true << 500 << 1000 << 40;
        QTest::newRow("proportional halves to even") << "5" << true << 2 << 1 << 2;
        QTest::newRow("reference 0 unused when off") << "12" << false << 0 << 300 << 12;
        QTest::newRow("negative reference: unscaled") << "12" << true << -5 << 300 << 12;
    }
    void fontSize()
    {
        QFETCH(QString, size);
        QFETCH(bool, proportional);
        QFETCH(int, reference);
        QFETCH(int, photoHeight);
        QFETCH(int, points);
        BatchSettings s = plainSettings();
        s.fontSize = size;
        s.proportionalSize = proportional;
        s.referenceHeight = reference;
        StampAttributes fixed;
        fixed.fontName = s.fontName;
        fixed.fontSize = points;
        QCOMPARE(render::stampFont(batchStampAttributes(QSize(50, photoHeight), s), photoHeight)
                     .pixelSize(),
                 render::stampFont(fixed, photoHeight).pixelSize());
    }

    /// The outline width is any integer: 9 draws a wider outline than the main window's
    /// limit of 5 would allow.
    void outlineWidthNotLimited()
    {
        BatchSettings s = plainSettings();
        s.fontSize = QStringLiteral("30");
        s.textColor = 0x00FFFFFF;
        s.outlineColor = 0x00000000;
        s.position = positions::TopLeft;
        const QImage photo = gradient(QSize(300, 100));
        const QStringList lines{QStringLiteral("Wide")};
        s.outlineWidth = QStringLiteral("9");
        const QImage nine = renderBatchPhoto(photo, s, lines);
        s.outlineWidth = QStringLiteral("5");
        const QImage five = renderBatchPhoto(photo, s, lines);
        s.outlineWidth = QStringLiteral("0");
        const QImage plain = renderBatchPhoto(photo, s, lines);
        QCOMPARE(batchStampAttributes(photo.size(), s).outlineWidth, 0);
        QVERIFY(nine != five);
        QVERIFY(five != plain);
        // The wider pen darkens more of the photo.
        const auto darkPixels = [](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += qGray(image.pixel(x, y)) < 20;
            return n;
        };
        QVERIFY(darkPixels(nine) > darkPixels(five));
    }

    /// A value converted per photo that is no integer fails the photo with its own message.
    void badValues_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("error");
        QTest::newRow("font size") << "fontSize"
                                   << "12pt"
                                   << "Top Left"
                                   << "'12pt' is not a valid integer value";
        QTest::newRow("outline width") << "outlineWidth"
                                       << ""
                                       << "Top Left"
                                       << "'' is not a valid integer value";
        QTest::newRow("border at a corner") << "borderWidth"
                                            << "wide"
                                            << "Bottom Right"
                                            << "'wide' is not a valid integer value";
        QTest::newRow("border unused at the centre") << "borderWidth"
                                                     << "wide"
                                                     << "Centre"
                                                     << "";
        QTest::newRow("opacity") << "opacity"
                                 << "50%"
                                 << "Centre"
                                 << "'50%' is not a valid integer value";
        QTest::newRow("reference height 0") << "referenceHeight"
                                            << "0"
                                            << "Centre"
                                            << "Division by zero";
        QTest::newRow("custom texts never fail") << "customX"
                                                 << "left"
                                                 << "Custom"
                                                 << "";
    }
    void badValues()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, position);
        QFETCH(QString, error);
        BatchSettings s = plainSettings();
        s.position = position;
        if (field == QStringLiteral("fontSize"))
            s.fontSize = value;
        else if (field == QStringLiteral("outlineWidth"))
            s.outlineWidth = value;
        else if (field == QStringLiteral("borderWidth"))
            s.borderWidth = value;
        else if (field == QStringLiteral("opacity"))
            s.opacity = value;
        else if (field == QStringLiteral("customX"))
            s.customX = value;
        else if (field == QStringLiteral("referenceHeight")) {
            s.proportionalSize = true;
            s.referenceHeight = value.toInt();
        }
        QCOMPARE(renderError(s, {QStringLiteral("text")}), error);
    }

    /// Masks expand with the values of the photo being stamped.
    void expandMask_data()
    {
        QTest::addColumn<QString>("photo");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("dateTimeFormat");
        QTest::addColumn<QString>("expected");
        QTest::newRow("make and model") << "Canon_40D.jpg"
                                        << "[make_exif] [Model_EXIF]" << 0 << "Canon Canon EOS 40D";
        QTest::newRow("size and name")
            << "Nikon_D70.jpg"
            << "[p_width]x[p_height] [p_filename]" << 0 << "100x66 Nikon_D70.jpg";
        QTest::newRow("date format 8: day-month-year") << "Canon_40D.jpg"
                                                       << "[datetime_exif]" << 8 << "31-07-2008";
        QTest::newRow("date format 0: as stored")
            << "Canon_40D.jpg"
            << "[datetime_exif]" << 0 << "2008:07:31 10:38:11";
        QTest::newRow("no EXIF: EXIF tags empty")
            << "xmp-no_exif.jpg"
            << "<[make_exif]|[p_filename]>" << 0 << "<|xmp-no_exif.jpg>";
        QTest::newRow("light source, no bracket left")
            << "Panasonic_DMC-FZ30.jpg"
            << "([lightsource_exif])" << 0 << "(Unknown)";
        QTest::newRow("clock") << "Canon_40D.jpg"
                               << "[yyyy]-[MM]-[dd] [hh]:[mm]:[ss]" << 0 << "2008-07-03 14:05:09";
    }
    void expandMask()
    {
        QFETCH(QString, photo);
        QFETCH(QString, mask);
        QFETCH(int, dateTimeFormat);
        QFETCH(QString, expected);
        test::ScriptedClock clock;
        BatchSettings s;
        s.dateFormatDateTime = dateTimeFormat;
        const QString path = cameraPhoto(photo);
        const QImage image(path);
        QVERIFY(!image.isNull());
        QCOMPARE(expandBatchMask(path, image.size(), mask, s, clock), expected);
    }

    /// Unticked masks and masks that expand to nothing give no line; no line at all gives
    /// one empty line.
    void stampLines()
    {
        test::ScriptedClock clock;
        const QString path = cameraPhoto(QStringLiteral("xmp-no_exif.jpg"));
        const stamptext::PhotoValueTable values =
            batchPhotoValues(path, QSize(322, 466), BatchSettings(), clock);
        const QList<StampText> entries{{"[make_exif]", true},
                                       {"[p_filename]", true},
                                       {"unticked", false},
                                       {"[p_width]", true}};
        QCOMPARE(batchStampLines(entries, values), (QStringList{"xmp-no_exif.jpg", "322"}));
        QCOMPARE(batchStampLines({{"[make_exif]", true}}, values), QStringList{QString()});
        QCOMPARE(batchStampLines({}, values), QStringList{QString()});
    }
};

TESS_TEST_MAIN(TestBatchPhoto)
#include "test_batchphoto.moc"
