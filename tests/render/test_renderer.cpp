#include "adjust/PixelEffects.h"
#include "render/StampLines.h"
#include "render/StampRenderer.h"
#include "tests/support/TestMain.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <climits>
#include <cmath>
#include <cstring>

using namespace tess;

Q_DECLARE_METATYPE(QList<tess::StampText>)
Q_DECLARE_METATYPE(tess::StampAttributes)

namespace {

constexpr quint32 White = 0x00FFFFFF;
constexpr quint32 Red = 0x000000FF; // 0x00BBGGRR

/// A photo whose bytes differ from pixel to pixel, so a misplaced blend shows.
QImage patternPhoto(int w, int h)
{
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = uchar(x * 7 + y * 3);
            row[3 * x + 1] = uchar(x ^ y);
            row[3 * x + 2] = uchar(x * y / 5);
        }
    }
    return image;
}

QImage blackPhoto(int w, int h)
{
    QImage image(w, h, QImage::Format_BGR888);
    image.fill(Qt::black);
    return image;
}

StampAttributes stampOf(const QString& position, int fontSize, int outlineWidth)
{
    StampAttributes a;
    a.fontName = QStringLiteral("Liberation Sans");
    a.fontSize = fontSize;
    a.bold = true;
    a.textColor = White;
    a.outlineColor = Red;
    a.outlineWidth = outlineWidth;
    a.position = position;
    a.borderWidth = 5;
    a.customX = 100;
    a.customY = 200;
    a.opacity = 255;
    return a;
}

QImage adjustedOf(const QImage& base, const StampAttributes& a)
{
    return adjust::applyPhotoAdjustments(base, a.effect, quint8(a.sepiaLevel), a.brightness,
                                         a.contrast);
}

/// The bounding box of the pixels in which two pictures of one size differ.
QRect differenceBox(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* ra = a.constScanLine(y);
        const uchar* rb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            if (std::memcmp(ra + 3 * x, rb + 3 * x, 3) != 0)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 3) != 0)
            return false;
    }
    return true;
}

/// The blend rule byte by byte, in floating point.
QImage referenceBlend(const QImage& textFree, const QImage& textBearing, int alpha)
{
    QImage result = textFree.copy();
    for (int y = 0; y < result.height(); ++y) {
        uchar* r = result.scanLine(y);
        const uchar* t = textBearing.constScanLine(y);
        for (int b = 0; b < result.width() * 3; ++b)
            r[b] = uchar(std::lround((t[b] * alpha + r[b] * (255.0 - alpha)) / 255.0));
    }
    return result;
}

/// The render done the slow way: the text drawn on a full copy of the adjusted photo.
QImage referenceTextBearing(const QImage& adjusted, const StampAttributes& a,
                            const QStringList& lines)
{
    const QFont font = render::stampFont(a, adjusted.height());
    const render::StampBlock block = render::measureStampLines(font, lines);
    const auto anchor = render::stampAnchor(a.position, adjusted.size(), block.maxWidth,
                                            block.blockHeight, a.borderWidth, a.customX, a.customY);
    QImage bearing = adjusted.copy();
    if (anchor) {
        QPainter painter(&bearing);
        render::drawStampLines(painter, font, a.textColor, a.outlineColor, anchor->x(), anchor->y(),
                               block.lineHeight, a.outlineWidth, lines);
    }
    return bearing;
}

int countPixels(const QImage& image, const QRect& area, bool (*test)(int b, int g, int r))
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(row[3 * x], row[3 * x + 1], row[3 * x + 2]))
                ++n;
        }
    }
    return n;
}

bool isReddish(int b, int g, int r)
{
    return r > 60 && r > g + 40 && r > b + 40;
}

bool isWhite(int b, int g, int r)
{
    return b == 255 && g == 255 && r == 255;
}

} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT
private slots:
    void anchorTable_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<int>("blockHeight");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<QPoint>("expected");

        const QSize photo(1000, 800);
        QTest::newRow("bottom right")
            << "Bottom Right" << photo << 300 << 20 << true << QPoint(695, 775);
        QTest::newRow("top right") << "Top Right" << photo << 300 << 20 << true << QPoint(695, 5);
        QTest::newRow("bottom left")
            << "Bottom Left" << photo << 300 << 20 << true << QPoint(5, 775);
        QTest::newRow("top left") << "Top Left" << photo << 300 << 20 << true << QPoint(5, 5);
        QTest::newRow("centre") << "Centre" << photo << 300 << 20 << true << QPoint(350, 390);
        QTest::newRow("custom") << "Custom" << photo << 300 << 20 << true << QPoint(100, 200);
        QTest::newRow("centre 350.5 rounds to even")
            << "Centre" << QSize(1001, 800) << 300 << 20 << true << QPoint(350, 390);
        QTest::newRow("centre 351.5 rounds to even")
            << "Centre" << QSize(1003, 800) << 300 << 20 << true << QPoint(352, 390);
        QTest::newRow("centre rounds y too")
            << "Centre" << QSize(1000, 801) << 300 << 20 << true << QPoint(350, 390);
        QTest::newRow("text wider than photo goes negative")
            << "Bottom Right" << QSize(200, 10) << 300 << 20 << true << QPoint(-105, -15);
        QTest::newRow("centre of oversized text")
            << "Centre" << QSize(100, 10) << 301 << 20 << true << QPoint(-100, -5);
        QTest::newRow("positions are case-sensitive")
            << "bottom right" << photo << 300 << 20 << false << QPoint();
        QTest::newRow("unknown position") << "Middle" << photo << 300 << 20 << false << QPoint();
        QTest::newRow("empty position") << "" << photo << 300 << 20 << false << QPoint();
    }

    void anchorTable()
    {
        QFETCH(QString, position);
        QFETCH(QSize, photo);
        QFETCH(int, maxWidth);
        QFETCH(int, blockHeight);
        QFETCH(bool, drawn);
        QFETCH(QPoint, expected);

        const auto anchor =
            render::stampAnchor(position, photo, maxWidth, blockHeight, 5, 100, 200);
        QCOMPARE(anchor.has_value(), drawn);
        if (drawn)
            QCOMPARE(*anchor, expected);
    }

    void anchorArithmeticDoesNotOverflow()
    {
        const auto corner = render::stampAnchor(QStringLiteral("Bottom Right"), {1000, 800},
                                                INT_MAX, INT_MAX, INT_MAX, 0, 0);
        QVERIFY(corner && corner->x() < -1000000 && corner->y() < -1000000);
        const auto far =
            render::stampAnchor(QStringLiteral("Bottom Left"), {1000, 800}, 0, 0, INT_MIN, 0, 0);
        QVERIFY(far && far->x() < -1000000 && far->y() > 1000000);
    }

    void fontSize_data()
    {
        QTest::addColumn<bool>("proportional");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("referenceHeight");
        QTest::addColumn<int>("photoHeight");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("pixels");

        QTest::newRow("fixed 12 pt is 16 px on any photo")
            << false << 12 << 768 << 4000 << 12 << 16;
        QTest::newRow("fixed 18 pt is 24 px") << false << 18 << 768 << 100 << 18 << 24;
        QTest::newRow("fixed 13 pt is 17 px (17.33)") << false << 13 << 768 << 100 << 13 << 17;
        QTest::newRow("fixed 11 pt is 15 px (14.67)") << false << 11 << 768 << 100 << 11 << 15;
        QTest::newRow("1536 high doubles") << true << 12 << 768 << 1536 << 24 << 32;
        QTest::newRow("800 high: 12.5 rounds to 12") << true << 12 << 768 << 800 << 12 << 16;
        QTest::newRow("832 high: 13") << true << 12 << 768 << 832 << 13 << 17;
        QTest::newRow("13.5 rounds to 14") << true << 27 << 768 << 384 << 14 << 19;
        QTest::newRow("reference 0 draws unscaled") << true << 12 << 0 << 1536 << 12 << 16;
        QTest::newRow("negative reference draws unscaled")
            << true << 12 << -768 << 1536 << 12 << 16;
        QTest::newRow("size 0 still gives a font") << false << 0 << 768 << 800 << 0 << 1;
        QTest::newRow("negative size still gives a font") << false << -20 << 768 << 800 << -20 << 1;
        QTest::newRow("absurd scale is capped")
            << true << 1000 << 1 << 65535 << 1000000 << render::MaxStampPixelSize;
    }

    void fontSize()
    {
        QFETCH(bool, proportional);
        QFETCH(int, fontSize);
        QFETCH(int, referenceHeight);
        QFETCH(int, photoHeight);
        QFETCH(int, points);
        QFETCH(int, pixels);

        StampAttributes a = stampOf(QStringLiteral("Top Left"), fontSize, 0);
        a.proportionalSize = proportional;
        a.referenceHeight = referenceHeight;
        QCOMPARE(render::stampPointSize(a, photoHeight), points);
        const QFont font = render::stampFont(a, photoHeight);
        QCOMPARE(font.pixelSize(), pixels);
        QCOMPARE(QFontInfo(font).pixelSize(), pixels);
        QVERIFY(font.bold());
        QVERIFY(!font.italic());
    }

    void fontIgnoresDeviceResolution()
    {
        const StampAttributes a = stampOf(QStringLiteral("Top Left"), 24, 0);
        const QStringList lines{QStringLiteral("Resolution 96 or 300")};
        QImage at96 = blackPhoto(400, 100);
        at96.setDotsPerMeterX(3780);
        at96.setDotsPerMeterY(3780);
        QImage at300 = blackPhoto(400, 100);
        at300.setDotsPerMeterX(11811);
        at300.setDotsPerMeterY(11811);
        const QImage stamped96 =
            render::renderStamp(at96, a, lines, render::AdjustedText::None).stamped;
        const QImage stamped300 =
            render::renderStamp(at300, a, lines, render::AdjustedText::None).stamped;
        QVERIFY(!samePixels(stamped96, at96));
        QVERIFY(samePixels(stamped96, stamped300));
    }

    void textLiesInItsCell_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("outlineWidth");
        QTest::addColumn<QStringList>("lines");

        const QString text = QStringLiteral("HELLO 1234");
        for (const QString& position :
             {positions::BottomRight, positions::TopRight, positions::BottomLeft,
              positions::TopLeft, positions::Centre, positions::Custom}) {
            QTest::addRow("%s plain", qPrintable(position)) << position << 0 << QStringList{text};
            QTest::addRow("%s outline 3", qPrintable(position))
                << position << 3 << QStringList{text};
        }
        QTest::newRow("empty first line keeps its place")
            << positions::TopLeft << 0 << QStringList{QString(), text};
        QTest::newRow("empty first line counts in the block")
            << positions::BottomRight << 3 << QStringList{QString(), text};
        QTest::newRow("empty last line counts in the block")
            << positions::BottomLeft << 0 << QStringList{text, QString()};
        QTest::newRow("lines one line height apart")
            << positions::Centre << 0 << QStringList{text, QStringLiteral("HI"), text};
        QTest::newRow("widest line sets the right edge")
            << positions::TopRight << 0 << QStringList{QStringLiteral("HI"), text};
    }

    void textLiesInItsCell()
    {
        QFETCH(QString, position);
        QFETCH(int, outlineWidth);
        QFETCH(QStringList, lines);

        const QImage base = blackPhoto(1000, 800);
        StampAttributes a = stampOf(position, 36, 0);
        const QFont font = render::stampFont(a, base.height());
        const QFontMetrics metrics(font);
        const int lineHeight = metrics.ascent() + metrics.descent();
        int maxWidth = 0;
        for (const QString& line : lines)
            maxWidth = std::max(maxWidth, metrics.horizontalAdvance(line));
        const int blockHeight = int(lines.size()) * lineHeight;
        QPoint anchor;
        if (position == positions::BottomRight)
            anchor = {1000 - maxWidth - 5, 800 - blockHeight - 5};
        else if (position == positions::TopRight)
            anchor = {1000 - maxWidth - 5, 5};
        else if (position == positions::BottomLeft)
            anchor = {5, 800 - blockHeight - 5};
        else if (position == positions::TopLeft)
            anchor = {5, 5};
        else if (position == positions::Centre)
            anchor = {int(std::nearbyint(500 - maxWidth / 2.0)),
                      int(std::nearbyint(400 - blockHeight / 2.0))};
        else
            anchor = {100, 200};

        // Every line is capitals and digits beginning with H: its ink runs from the cap
        // height down to the baseline, from H's left bearing to the end of the advance.
        qsizetype first = 0;
        while (lines.at(first).isEmpty())
            ++first;
        qsizetype last = lines.size() - 1;
        while (lines.at(last).isEmpty())
            --last;
        const int firstBaseline = anchor.y() + int(first) * lineHeight + metrics.ascent();
        const int lastBaseline = anchor.y() + int(last) * lineHeight + metrics.ascent();
        const QImage plainImage =
            render::renderStamp(base, a, lines, render::AdjustedText::None).stamped;
        const QRect plain = differenceBox(plainImage, base);
        QVERIFY2(qAbs(plain.bottom() - (lastBaseline - 1)) <= 1,
                 qPrintable(QString::number(plain.bottom())));
        QVERIFY2(qAbs(plain.top() - (firstBaseline - metrics.capHeight())) <= 2,
                 qPrintable(QString::number(plain.top())));
        QVERIFY2(qAbs(plain.left() - (anchor.x() + metrics.leftBearing(u'H'))) <= 1,
                 qPrintable(QString::number(plain.left())));
        QVERIFY(plain.right() <= anchor.x() + maxWidth);
        QVERIFY(plain.right() >= anchor.x() + maxWidth - lineHeight / 4);
        if (outlineWidth == 0) {
            QCOMPARE(
                countPixels(render::renderStamp(base, a, lines, render::AdjustedText::None).stamped,
                            plain, isReddish),
                0);
            return;
        }

        a.outlineWidth = outlineWidth;
        const QImage outlined =
            render::renderStamp(base, a, lines, render::AdjustedText::None).stamped;
        const QRect box = differenceBox(outlined, base);
        // The pen is centred on the outline: the ink grows by about half its width.
        for (int grown : {plain.left() - box.left(), plain.top() - box.top(),
                          box.right() - plain.right(), box.bottom() - plain.bottom()})
            QVERIFY2(grown >= 1 && grown <= 3, qPrintable(QString::number(grown)));
        QVERIFY(countPixels(outlined, box, isReddish) > 100);
        QVERIFY(countPixels(outlined, box, isWhite) > 20);
        // The outermost ink is outline, not fill.
        QCOMPARE(countPixels(outlined, QRect(box.left(), box.top(), 1, box.height()), isWhite), 0);
        QCOMPARE(countPixels(outlined, QRect(box.left(), box.top(), box.width(), 1), isWhite), 0);
    }

    void opacity_data()
    {
        QTest::addColumn<int>("opacity");
        QTest::addColumn<int>("alpha");
        QTest::newRow("0 shows no trace") << 0 << 0;
        QTest::newRow("20% is 51") << 51 << 51;
        QTest::newRow("60% is 153") << 153 << 153;
        QTest::newRow("custom 1") << 1 << 1;
        QTest::newRow("100% shows the text as drawn") << 255 << 255;
        QTest::newRow("only the low 8 bits count") << 256 + 51 << 51;
    }

    void opacity()
    {
        QFETCH(int, opacity);
        QFETCH(int, alpha);

        const QImage base = patternPhoto(300, 120);
        StampAttributes a = stampOf(positions::Centre, 20, 2);
        a.opacity = opacity;
        a.effect = PhotoEffect::Sepia;
        a.brightness = 300;
        const QStringList lines{QStringLiteral("Opacity"), QStringLiteral("two lines")};
        const QImage textFree = adjustedOf(base, a);

        const render::RenderOutput masks =
            render::renderStamp(base, a, lines, render::AdjustedText::FullOpacity);
        const render::RenderOutput preview =
            render::renderStamp(base, a, lines, render::AdjustedText::None);
        QVERIFY(!masks.failed && !preview.failed);
        const QImage textBearing = masks.adjusted();
        QVERIFY(!samePixels(textBearing, textFree));
        QVERIFY(samePixels(textBearing, referenceTextBearing(textFree, a, lines)));
        QVERIFY(samePixels(preview.adjusted(), textFree));
        QVERIFY(samePixels(masks.stamped, preview.stamped));
        QVERIFY(samePixels(masks.stamped, referenceBlend(textFree, textBearing, alpha)));
        if (alpha == 0)
            QVERIFY(samePixels(masks.stamped, textFree));
        if (alpha == 255)
            QVERIFY(samePixels(masks.stamped, textBearing));
    }

    void regionRenderEqualsFullReference_data()
    {
        QTest::addColumn<StampAttributes>("attributes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("inked");

        const QStringList lines{QStringLiteral("Shot 2008:07:03 14:05"),
                                QStringLiteral("Canon EOS  f/2.8 1/250 seconds"),
                                QStringLiteral("  blanks kept  ")};
        StampAttributes a = stampOf(positions::BottomRight, 14, 0);
        a.opacity = 153;
        a.textColor = 0x0040C0FF;
        a.outlineColor = 0x00201008;
        QTest::newRow("plain, bottom right") << a << lines << true;
        a.outlineWidth = 2;
        QTest::newRow("outline 2, bottom right") << a << lines << true;
        a.italic = true;
        a.position = positions::Centre;
        a.outlineWidth = 5;
        QTest::newRow("italic outline 5, centre") << a << lines << true;
        a.italic = false;
        a.position = positions::Custom;
        a.customX = -40;
        a.customY = -12;
        QTest::newRow("negative custom anchor is clipped") << a << lines << true;
        a.customX = 250;
        a.customY = 130;
        QTest::newRow("past the right and bottom edges") << a << lines << true;
        a.outlineWidth = 0;
        a.position = positions::TopLeft;
        a.fontSize = 60;
        QTest::newRow("text wider and taller than the photo") << a << lines << true;
        a.fontSize = 14;
        a.proportionalSize = true;
        a.referenceHeight = 100;
        a.outlineWidth = 1;
        QTest::newRow("proportional size") << a << lines << true;
        a.proportionalSize = false;
        a.effect = PhotoEffect::Negative;
        a.contrast = 200;
        a.opacity = 255;
        QTest::newRow("negative, full opacity") << a << lines << true;
        a.outlineWidth = -3;
        QTest::newRow("negative outline width draws width 1") << a << lines << true;
        a.outlineWidth = 1000000;
        QTest::newRow("huge outline width") << a << lines << true;
        a.outlineWidth = 2;
        a.fontSize = 1000000;
        a.position = positions::Centre;
        QTest::newRow("huge font") << a << QStringList{QStringLiteral("HHH")} << true;
        a.fontSize = 14;
        a.position = positions::Custom;
        a.customX = 5000;
        a.customY = 5000;
        QTest::newRow("anchor beyond the photo") << a << lines << false;
        a.customX = INT_MIN;
        a.customY = INT_MAX;
        QTest::newRow("extreme anchor") << a << lines << false;
        a.position = positions::BottomLeft;
        a.borderWidth = INT_MIN;
        QTest::newRow("extreme border width") << a << lines << false;
        a.borderWidth = 5;
        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many << QStringLiteral("line %1").arg(i);
        QTest::newRow("thousands of lines") << a << many << true;
        QTest::newRow("one very long line") << a << QStringList{QString(20000, u'W')} << true;
        a.position = QStringLiteral("Somewhere");
        QTest::newRow("unknown position draws nothing") << a << lines << false;
        a.position = positions::Centre;
        QTest::newRow("one empty line draws nothing") << a << QStringList{QString()} << false;
        QTest::newRow("no line at all draws nothing") << a << QStringList{} << false;
    }

    void regionRenderEqualsFullReference()
    {
        QFETCH(StampAttributes, attributes);
        QFETCH(QStringList, lines);
        QFETCH(bool, inked);

        const QImage base = patternPhoto(320, 150);
        const QImage textFree = adjustedOf(base, attributes);
        const QImage textBearing = referenceTextBearing(textFree, attributes, lines);
        const QImage expected = referenceBlend(textFree, textBearing, attributes.opacity & 0xFF);

        const render::RenderOutput masks =
            render::renderStamp(base, attributes, lines, render::AdjustedText::FullOpacity);
        const render::RenderOutput preview =
            render::renderStamp(base, attributes, lines, render::AdjustedText::None);
        QVERIFY(!masks.failed && !preview.failed);
        QCOMPARE(masks.stamped.size(), base.size());
        QCOMPARE(masks.stamped.format(), QImage::Format_BGR888);
        QCOMPARE(samePixels(textFree, textBearing), !inked);
        QVERIFY(samePixels(masks.stamped, expected));
        QVERIFY(samePixels(masks.adjusted(), textBearing));
        QVERIFY(samePixels(preview.stamped, expected));
        QVERIFY(samePixels(preview.adjusted(), textFree));

        // A base handed over is worked on in place; one still shared is left alone.
        const render::RenderOutput handedOver =
            render::renderStamp(base.copy(), attributes, lines, render::AdjustedText::None);
        QVERIFY(samePixels(handedOver.stamped, expected));
        QVERIFY(samePixels(handedOver.adjusted(), textFree));
        QImage shared = base;
        const render::RenderOutput fromShared =
            render::renderStamp(std::move(shared), attributes, lines, render::AdjustedText::None);
        QVERIFY(samePixels(fromShared.stamped, expected));
        QVERIFY(samePixels(base, patternPhoto(320, 150)));

        // A spare picture of an earlier render is written over when nobody else holds it.
        QImage spare(base.size(), QImage::Format_BGR888);
        spare.fill(Qt::magenta);
        const uchar* const sparePixels = spare.constBits();
        const render::RenderOutput reused = render::renderStamp(
            base, attributes, lines, render::AdjustedText::None, std::move(spare));
        QVERIFY(samePixels(reused.stamped, expected));
        QVERIFY(samePixels(reused.adjusted(), textFree));
        QCOMPARE(reused.stamped.constBits(), sparePixels);
        QImage held(base.size(), QImage::Format_BGR888);
        held.fill(Qt::magenta);
        const QImage holder = held;
        const render::RenderOutput notReused = render::renderStamp(
            base, attributes, lines, render::AdjustedText::None, std::move(held));
        QVERIFY(samePixels(notReused.stamped, expected));
        QCOMPARE(holder.pixelColor(0, 0), QColor(Qt::magenta));
    }

    void outlinedTextDrawsTheWholeGlyphPath_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("outline");

        QTest::newRow("lines inside") << QStringList{QStringLiteral("AVAVA Wolf fi ffl"),
                                                     QStringLiteral("T\u00e4 \u00c5\u00c9 1/250")}
                                      << QPoint(7, 9) << false << 2;
        QTest::newRow("line far wider than the photo")
            << QStringList{QString(5000, u'W') + QStringLiteral("end")} << QPoint(-30000, 20)
            << true << 2;
        QTest::newRow("lines above and below the photo")
            << QStringList{QStringLiteral("above"), QStringLiteral("in"), QStringLiteral("below")}
            << QPoint(10, -60) << false << 2;
        // Strokes of neighbouring letters and of neighbouring lines run into each other.
        QTest::newRow("crowded letters and lines, wide pen")
            << QStringList{QStringLiteral("gjpqy VAVA//\\ r.,;"),
                           QStringLiteral("\u00c5\u00c9\u00ce\u00d6 TTT lll"),
                           QStringLiteral("WWWMMM ||| iii")}
            << QPoint(3, 0) << true << 5;
        QTest::newRow("letters far apart, thin pen")
            << QStringList{QStringLiteral("i      .      l      !")} << QPoint(20, 30) << false
            << 1;
    }

    void outlinedTextDrawsTheWholeGlyphPath()
    {
        QFETCH(QStringList, lines);
        QFETCH(QPoint, at);
        QFETCH(bool, italic);
        QFETCH(int, outline);

        StampAttributes a = stampOf(positions::Custom, 36, outline);
        a.italic = italic;
        const QFont font = render::stampFont(a, 100);
        const QFontMetrics metrics(font);
        const int lineHeight = metrics.ascent() + metrics.descent();
        const QImage base = patternPhoto(400, 100);

        QImage drawn = base.copy();
        QPainter painter(&drawn);
        render::drawStampLines(painter, font, White, Red, at.x(), at.y(), lineHeight, outline,
                               lines);
        painter.end();

        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (int i = 0; i < lines.size(); ++i)
            path.addText(QPointF(at.x(), at.y() + i * lineHeight + metrics.ascent()), font,
                         lines.at(i));
        QImage expected = base.copy();
        QPainter whole(&expected);
        whole.setRenderHint(QPainter::Antialiasing);
        whole.setPen(QPen(QBrush(Qt::red), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        whole.setBrush(Qt::white);
        whole.drawPath(path);
        whole.end();

        QVERIFY(!samePixels(drawn, base));
        QVERIFY(samePixels(drawn, expected));
    }

    void blendRule_data()
    {
        QTest::addColumn<int>("free");
        QTest::addColumn<int>("bearing");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("expected");
        QTest::newRow("alpha 0 keeps the text-free byte") << 77 << 200 << 0 << 77;
        QTest::newRow("alpha 255 takes the text byte") << 77 << 200 << 255 << 200;
        QTest::newRow("51 of 255") << 0 << 200 << 51 << 40;
        QTest::newRow("0.502 rounds up") << 0 << 1 << 128 << 1;
        QTest::newRow("0.498 rounds down") << 1 << 0 << 128 << 0;
        QTest::newRow("equal bytes stay") << 93 << 93 << 77 << 93;
        QTest::newRow("mixed") << 10 << 250 << 153 << 154;           // 154.0
        QTest::newRow("mixed, rounding") << 11 << 250 << 102 << 107; // 106.6
    }

    void blendRule()
    {
        QFETCH(int, free);
        QFETCH(int, bearing);
        QFETCH(int, alpha);
        QFETCH(int, expected);

        QImage textFree(5, 4, QImage::Format_BGR888);
        textFree.fill(QColor(free, free, free));
        QImage textBearing(5, 4, QImage::Format_BGR888);
        textBearing.fill(QColor(bearing, bearing, bearing));
        const QImage full = render::blendStamp(textFree, textBearing, quint8(alpha));
        QCOMPARE(full.pixelColor(4, 3), QColor(expected, expected, expected));
        QCOMPARE(full.pixelColor(0, 0), QColor(expected, expected, expected));
        QCOMPARE(textFree.pixelColor(0, 0), QColor(free, free, free)); // a copy

        const QImage part =
            render::blendStamp(textFree, textBearing, quint8(alpha), QRect(1, 1, 2, 2));
        QCOMPARE(part.pixelColor(2, 2), QColor(expected, expected, expected));
        QCOMPARE(part.pixelColor(3, 2), QColor(free, free, free));
        QCOMPARE(part.pixelColor(1, 0), QColor(free, free, free));
    }

    void blendOddInputs()
    {
        const QImage free = patternPhoto(40, 30);
        QImage bearing = free.copy();
        bearing.fill(Qt::white);
        // A region outside the picture blends nothing.
        QVERIFY(samePixels(render::blendStamp(free, bearing, 128, QRect(100, 100, 5, 5)), free));
        // Different sizes blend where they overlap.
        const QImage small = bearing.copy(0, 0, 10, 10);
        const QImage mixed = render::blendStamp(free, small, 255);
        QCOMPARE(mixed.size(), free.size());
        QCOMPARE(mixed.pixelColor(9, 9), QColor(Qt::white));
        QCOMPARE(mixed.pixelColor(10, 9), free.pixelColor(10, 9));
        // Other formats are blended as 24-bit pictures.
        const QImage argb =
            render::blendStamp(free.convertToFormat(QImage::Format_ARGB32), bearing, 255);
        QCOMPARE(argb.format(), QImage::Format_BGR888);
        QVERIFY(samePixels(argb, bearing));
        QVERIFY(render::blendStamp(QImage(), bearing, 128).isNull());
    }

    void nullBaseGivesEmptyPictures()
    {
        const render::RenderOutput out =
            render::renderStamp(QImage(), stampOf(positions::Centre, 12, 0),
                                {QStringLiteral("text")}, render::AdjustedText::FullOpacity);
        QVERIFY(!out.failed);
        QVERIFY(out.adjusted().isNull());
        QVERIFY(out.stamped.isNull());
    }

    void stampLinesFromMasks_data()
    {
        QTest::addColumn<QList<StampText>>("entries");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty expansion leaves no line")
            << QList<StampText>{{QStringLiteral("[artist_exif]"), true},
                                {QStringLiteral("[make_exif] [model_exif]"), true}}
            << QStringList{QStringLiteral("Canon EOS 40D")};
        QTest::newRow("unticked entries are left out, order kept")
            << QList<StampText>{{QStringLiteral("first [dd]"), true},
                                {QStringLiteral("skipped"), false},
                                {QStringLiteral("[p_filename]"), true}}
            << QStringList{QStringLiteral("first 09"), QStringLiteral("IMG_0412.JPG")};
        QTest::newRow("blanks are kept")
            << QList<StampText>{{QStringLiteral(" [artist_exif] "), true}}
            << QStringList{QStringLiteral("  ")};
        QTest::newRow("empty mask") << QList<StampText>{{QString(), true}} << QStringList{};
        QTest::newRow("nothing ticked")
            << QList<StampText>{{QStringLiteral("text"), false}} << QStringList{};
        QTest::newRow("empty list") << QList<StampText>{} << QStringList{};
    }

    void stampLinesFromMasks()
    {
        QFETCH(QList<StampText>, entries);
        QFETCH(QStringList, expected);

        const QHash<QString, QString> table{
            {QStringLiteral("[make_exif]"), QStringLiteral("Canon")},
            {QStringLiteral("[model_exif]"), QStringLiteral("EOS 40D")},
            {QStringLiteral("[dd]"), QStringLiteral("09")},
            {QStringLiteral("[p_filename]"), QStringLiteral("IMG_0412.JPG")}};
        const auto valueOf = [&table](const QString& tag) { return table.value(tag); };
        QCOMPARE(render::stampLinesFromMasks(entries, valueOf), expected);
    }
};

TESS_TEST_MAIN(TestRenderer)
#include "test_renderer.moc"
