#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TestMain.h"
#include "view/PageLayout.h"
#include "view/PrintGeometry.h"

#include <QPainter>
#include <QPicture>

using namespace tess;
using namespace tess::view;
using platform::PageOrientation;
using platform::PrinterMetrics;
using tess::test::ScriptedPrinter;
using Metrics = std::optional<PrinterMetrics>;

Q_DECLARE_METATYPE(Metrics)
Q_DECLARE_METATYPE(QMargins)
Q_DECLARE_METATYPE(tess::platform::PageOrientation)

namespace {

constexpr QSize Screen96(96, 96);

PrinterMetrics landscape(const PrinterMetrics& m)
{
    return ScriptedPrinter::turned(m);
}

/// Letter at 600 dpi with 100 printer pixels of border on every side.
PrinterMetrics letter600()
{
    return ScriptedPrinter::letter(600, 100);
}

/// A4 at 300 dpi with uneven borders: 50 left, 75 top, 60 right, 120 bottom.
PrinterMetrics a4Uneven()
{
    PrinterMetrics m;
    m.physicalWidth = 2480;
    m.physicalHeight = 3508;
    m.physicalOffsetX = 50;
    m.physicalOffsetY = 75;
    m.printableWidth = 2480 - 50 - 60;
    m.printableHeight = 3508 - 75 - 120;
    m.dpiX = 300;
    m.dpiY = 300;
    return m;
}

} // namespace

class TestPrintGeometry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void orientation_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<PageOrientation>("expected");
        QTest::newRow("wider than high") << QSize(3000, 2000) << PageOrientation::Landscape;
        QTest::newRow("higher than wide") << QSize(2000, 3000) << PageOrientation::Portrait;
        QTest::newRow("square is portrait") << QSize(3000, 3000) << PageOrientation::Portrait;
        QTest::newRow("one pixel wider") << QSize(1001, 1000) << PageOrientation::Landscape;
        QTest::newRow("no photo") << QSize() << PageOrientation::Portrait;
    }
    void orientation()
    {
        QFETCH(QSize, photo);
        QFETCH(PageOrientation, expected);
        QCOMPARE(printOrientation(photo), expected);
    }

    void paperSize_data()
    {
        QTest::addColumn<Metrics>("printer");
        QTest::addColumn<QSize>("screenDpi");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("letter portrait") << Metrics(letter600()) << Screen96 << QSize(816, 1056);
        QTest::newRow("letter landscape")
            << Metrics(landscape(letter600())) << Screen96 << QSize(1056, 816);
        // 2480 / 300 * 96 = 793.6, 3508 / 300 * 96 = 1122.56
        QTest::newRow("A4 rounds") << Metrics(a4Uneven()) << Screen96 << QSize(794, 1123);
        QTest::newRow("screen at 120 dpi")
            << Metrics(letter600()) << QSize(120, 120) << QSize(1020, 1320);
        PrinterMetrics uneven = letter600();
        uneven.dpiY = 1200;
        uneven.physicalHeight = 13200;
        QTest::newRow("different resolutions across and down")
            << Metrics(uneven) << Screen96 << QSize(816, 1056);
        QTest::newRow("no printer: letter at 360 dpi") << Metrics() << Screen96 << QSize(816, 1056);
        PrinterMetrics zero = letter600();
        zero.dpiX = 0;
        QTest::newRow("a printer without a resolution counts as none")
            << Metrics(zero) << Screen96 << QSize(816, 1056);
    }
    void paperSize()
    {
        QFETCH(Metrics, printer);
        QFETCH(QSize, screenDpi);
        QFETCH(QSize, expected);
        QCOMPARE(paperSizeFromPrinter(printer, screenDpi), expected);
    }

    void margins_data()
    {
        QTest::addColumn<Metrics>("printer");
        QTest::addColumn<QSize>("screenDpi");
        QTest::addColumn<QMargins>("expected");
        QTest::newRow("letter, 100 of 600")
            << Metrics(letter600()) << Screen96 << QMargins(16, 16, 16, 16);
        QTest::newRow("landscape")
            << Metrics(landscape(letter600())) << Screen96 << QMargins(16, 16, 16, 16);
        // 50*96/300 = 16, 75*96/300 = 24, 60*96/300 = 19.2, 120*96/300 = 38.4: all truncated.
        QTest::newRow("uneven borders truncate")
            << Metrics(a4Uneven()) << Screen96 << QMargins(16, 24, 19, 38);
        QTest::newRow("landscape swaps the borders")
            << Metrics(landscape(a4Uneven())) << Screen96 << QMargins(24, 16, 38, 19);
        QTest::newRow("screen at 120 dpi")
            << Metrics(letter600()) << QSize(120, 120) << QMargins(20, 20, 20, 20);
        QTest::newRow("borderless")
            << Metrics(ScriptedPrinter::letter(300, 0)) << Screen96 << QMargins(0, 0, 0, 0);
        QTest::newRow("no printer") << Metrics() << Screen96 << QMargins();
    }
    void margins()
    {
        QFETCH(Metrics, printer);
        QFETCH(QSize, screenDpi);
        QFETCH(QMargins, expected);
        QCOMPARE(printMargins(printer, screenDpi), expected);
    }

    void stretch_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("3000x2000, landscape sheet")
            << QSize(3000, 2000) << QSize(1024, 784) << QSize(1024, 683);
        QTest::newRow("4000x3000, landscape sheet")
            << QSize(4000, 3000) << QSize(1024, 784) << QSize(1024, 768);
        QTest::newRow("2000x3000, portrait sheet")
            << QSize(2000, 3000) << QSize(784, 1024) << QSize(683, 1024);
        QTest::newRow("square: too wide at full height")
            << QSize(3000, 3000) << QSize(784, 1024) << QSize(784, 784);
        QTest::newRow("2400x2500: 983 wide is too wide")
            << QSize(2400, 2500) << QSize(784, 1024) << QSize(784, 817);
        QTest::newRow("wide photo too high at full width")
            << QSize(1200, 1000) << QSize(1024, 784) << QSize(941, 784);
        QTest::newRow("small photo is enlarged")
            << QSize(300, 200) << QSize(1024, 784) << QSize(1024, 683);
        QTest::newRow("empty photo") << QSize() << QSize(1024, 784) << QSize();
        QTest::newRow("empty box") << QSize(3000, 2000) << QSize(0, 784) << QSize();
        QTest::newRow("negative box") << QSize(3000, 2000) << QSize(-20, -20) << QSize();
        QTest::newRow("a sliver keeps one pixel")
            << QSize(10000, 1) << QSize(1024, 784) << QSize(1024, 1);
    }
    void stretch()
    {
        QFETCH(QSize, photo);
        QFETCH(QSize, box);
        QFETCH(QSize, expected);
        QCOMPARE(stretchSize(photo, box), expected);
    }

    void crop_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("3000x2000: sides cut")
            << QSize(3000, 2000) << QSize(1024, 784) << QRect(194, 0, 2612, 2000);
        QTest::newRow("2000x3000: top and bottom cut")
            << QSize(2000, 3000) << QSize(784, 1024) << QRect(0, 194, 2000, 2612);
        QTest::newRow("3000x3000 on portrait: sides cut")
            << QSize(3000, 3000) << QSize(784, 1024) << QRect(352, 0, 2297, 3000);
        // (2000 - 3000 * 400 / 1024) / 2 = 414.06, 3000 * 400 / 1024 = 1171.875
        QTest::newRow("wide photo, wider box")
            << QSize(3000, 2000) << QSize(1024, 400) << QRect(0, 414, 3000, 1172);
        QTest::newRow("tall photo, taller box")
            << QSize(2000, 3000) << QSize(400, 1024) << QRect(414, 0, 1172, 3000);
        QTest::newRow("same proportions: nothing cut")
            << QSize(2048, 1568) << QSize(1024, 784) << QRect(0, 0, 2048, 1568);
        QTest::newRow("empty photo") << QSize() << QSize(1024, 784) << QRect();
        QTest::newRow("empty box") << QSize(3000, 2000) << QSize(1024, 0) << QRect();
    }
    void crop()
    {
        QFETCH(QSize, photo);
        QFETCH(QSize, box);
        QFETCH(QRect, expected);
        QCOMPARE(cropSource(photo, box), expected);
    }

    void rowsFromTop_data()
    {
        QTest::addColumn<QRect>("fromBottom");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("centred stays")
            << QRect(0, 194, 2000, 2612) << QSize(2000, 3000) << QRect(0, 194, 2000, 2612);
        QTest::newRow("one row off centre")
            << QRect(0, 414, 3000, 1172) << QSize(3000, 2000) << QRect(0, 414, 3000, 1172);
        QTest::newRow("bottom rows") << QRect(0, 0, 10, 4) << QSize(10, 10) << QRect(0, 6, 10, 4);
        QTest::newRow("kept inside the picture")
            << QRect(-1, -1, 12, 12) << QSize(10, 10) << QRect(0, 0, 10, 10);
    }
    void rowsFromTop()
    {
        QFETCH(QRect, fromBottom);
        QFETCH(QSize, picture);
        QFETCH(QRect, expected);
        QCOMPARE(view::rowsFromTop(fromBottom, picture), expected);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<bool>("crop");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<QRect>("source");
        const QSize landscapeSheet(1056, 816);
        const QSize portraitSheet(816, 1056);
        QTest::newRow("stretch 3000x2000: 66.5 rounds to 66")
            << QSize(3000, 2000) << false << landscapeSheet << QSize(1024, 784) << QSize(1024, 683)
            << QPoint(16, 66) << QRect(0, 0, 3000, 2000);
        QTest::newRow("stretch 4000x3000")
            << QSize(4000, 3000) << false << landscapeSheet << QSize(1024, 784) << QSize(1024, 768)
            << QPoint(16, 24) << QRect(0, 0, 4000, 3000);
        QTest::newRow("stretch 2000x3000")
            << QSize(2000, 3000) << false << portraitSheet << QSize(784, 1024) << QSize(683, 1024)
            << QPoint(66, 16) << QRect(0, 0, 2000, 3000);
        QTest::newRow("stretch 3000x3000")
            << QSize(3000, 3000) << false << portraitSheet << QSize(784, 1024) << QSize(784, 784)
            << QPoint(16, 136) << QRect(0, 0, 3000, 3000);
        QTest::newRow("stretch 2400x2500: 119.5 rounds to 120")
            << QSize(2400, 2500) << false << portraitSheet << QSize(784, 1024) << QSize(784, 817)
            << QPoint(16, 120) << QRect(0, 0, 2400, 2500);
        QTest::newRow("crop 3000x2000")
            << QSize(3000, 2000) << true << landscapeSheet << QSize(1024, 784) << QSize(1024, 784)
            << QPoint(16, 16) << QRect(194, 0, 2612, 2000);
        QTest::newRow("crop 2000x3000")
            << QSize(2000, 3000) << true << portraitSheet << QSize(784, 1024) << QSize(784, 1024)
            << QPoint(16, 16) << QRect(0, 194, 2000, 2612);
        QTest::newRow("crop 3000x3000")
            << QSize(3000, 3000) << true << portraitSheet << QSize(784, 1024) << QSize(784, 1024)
            << QPoint(16, 16) << QRect(352, 0, 2297, 3000);
        QTest::newRow("no photo: nothing on the sheet")
            << QSize() << false << portraitSheet << QSize(784, 1024) << QSize() << QPoint(408, 528)
            << QRect();
        QTest::newRow("no photo, crop") << QSize() << true << portraitSheet << QSize(784, 1024)
                                        << QSize() << QPoint(408, 528) << QRect();
    }
    void layout()
    {
        QFETCH(QSize, photo);
        QFETCH(bool, crop);
        QFETCH(QSize, paper);
        QFETCH(QSize, box);
        QFETCH(QSize, target);
        QFETCH(QPoint, origin);
        QFETCH(QRect, source);
        const bool wide = printOrientation(photo) == PageOrientation::Landscape;
        const PrinterMetrics printer = wide ? landscape(letter600()) : letter600();
        const PrintLayout l = printLayout(photo, printer, crop, Screen96);
        QCOMPARE(l.paper, paper);
        QCOMPARE(l.margins, QMargins(16, 16, 16, 16));
        QCOMPARE(l.box, box);
        QCOMPARE(l.target, target);
        QCOMPARE(l.origin, origin);
        QCOMPARE(l.source, source);
        QVERIFY(!l.grey);
    }

    void layoutWithoutPrinter()
    {
        // The sheet of a missing printer: letter, no margins, portrait whatever the photo.
        const PrintLayout l = printLayout(QSize(3000, 2000), std::nullopt, false, Screen96);
        QCOMPARE(l.paper, QSize(816, 1056));
        QCOMPARE(l.margins, QMargins());
        QCOMPARE(l.box, QSize(816, 1056));
        QCOMPARE(l.target, QSize(816, 544));
        QCOMPARE(l.origin, QPoint(0, 256));
        QVERIFY(!l.grey);
    }

    void layoutMarginsLargerThanSheet()
    {
        PrinterMetrics odd = letter600();
        odd.printableWidth = -6000;
        const PrintLayout l = printLayout(QSize(3000, 2000), odd, true, Screen96);
        QVERIFY(l.box.width() <= 0);
        QVERIFY(l.target.isEmpty());
        QVERIFY(printBitmap(QImage(3000, 2000, QImage::Format_BGR888), l).isNull());
    }

    void blackAndWhite_data()
    {
        QTest::addColumn<int>("numColors");
        QTest::addColumn<bool>("grey");
        QTest::newRow("two colours") << 2 << true;
        QTest::newRow("full colour") << -1 << false;
        QTest::newRow("sixteen colours") << 16 << false;
    }
    void blackAndWhite()
    {
        QFETCH(int, numColors);
        QFETCH(bool, grey);
        QImage photo(300, 200, QImage::Format_BGR888);
        photo.fill(QColor(200, 40, 10));
        const PrintLayout l =
            printLayout(photo.size(), ScriptedPrinter::letter(96, 0, numColors), false, Screen96);
        QCOMPARE(l.grey, grey);
        const QImage bitmap = printBitmap(photo, l);
        QCOMPARE(bitmap.size(), l.target);
        const QColor middle = bitmap.pixelColor(bitmap.width() / 2, bitmap.height() / 2);
        if (grey) {
            QCOMPARE(middle.red(), middle.green());
            QCOMPARE(middle.green(), middle.blue());
        } else {
            QCOMPARE(middle, QColor(200, 40, 10));
        }
    }

    void cropBitmapTakesTheCentre()
    {
        // Left and right thirds red, middle third blue: cropping a 3:1 photo into a square
        // box keeps only the blue.
        QImage photo(900, 300, QImage::Format_BGR888);
        photo.fill(Qt::red);
        for (int y = 0; y < 300; ++y)
            for (int x = 300; x < 600; ++x)
                photo.setPixelColor(x, y, Qt::blue);
        PrintLayout l;
        l.target = QSize(100, 100);
        l.source = view::rowsFromTop(cropSource(photo.size(), QSize(100, 100)), photo.size());
        QCOMPARE(l.source, QRect(300, 0, 300, 300));
        const QImage bitmap = printBitmap(photo, l);
        QCOMPARE(bitmap.size(), QSize(100, 100));
        QCOMPARE(bitmap.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(bitmap.pixelColor(99, 99), QColor(Qt::blue));
    }

    void statusLine_data()
    {
        QTest::addColumn<Metrics>("printer");
        QTest::addColumn<bool>("crop");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("portrait, crop")
            << Metrics(letter600()) << true << us
            << QStringLiteral("Printer Setup: 600.0 dpi, 8.5 x 11.0 - Mode: Crop to Fit");
        QTest::newRow("landscape, stretch")
            << Metrics(landscape(letter600())) << false << us
            << QStringLiteral("Printer Setup: 600.0 dpi, 11.0 x 8.5 - Mode: Shrink to Fit");
        QTest::newRow("no thousands separator")
            << Metrics(ScriptedPrinter::letter(1200, 0)) << false << us
            << QStringLiteral("Printer Setup: 1200.0 dpi, 8.5 x 11.0 - Mode: Shrink to Fit");
        QTest::newRow("decimal comma")
            << Metrics(ScriptedPrinter::letter(1200, 0)) << true
            << QLocale(QLocale::German, QLocale::Germany)
            << QStringLiteral("Printer Setup: 1200,0 dpi, 8,5 x 11,0 - Mode: Crop to Fit");
        QTest::newRow("A4 rounds to one place")
            << Metrics(a4Uneven()) << false << us
            << QStringLiteral("Printer Setup: 300.0 dpi, 8.3 x 11.7 - Mode: Shrink to Fit");
        QTest::newRow("no printer")
            << Metrics() << false << us
            << QStringLiteral("Printer Setup: no printer - Mode: Shrink to Fit");
    }
    void statusLine()
    {
        QFETCH(Metrics, printer);
        QFETCH(bool, crop);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(printStatusLine(printer, crop, locale), expected);
    }

    void printTarget_data()
    {
        QTest::addColumn<PrinterMetrics>("printer");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("letter") << letter600() << QRect(-100, -100, 5100, 6600);
        QTest::newRow("landscape") << landscape(letter600()) << QRect(-100, -100, 6600, 5100);
        QTest::newRow("uneven") << a4Uneven() << QRect(-50, -75, 2480, 3508);
        QTest::newRow("borderless") << ScriptedPrinter::letter(300, 0) << QRect(0, 0, 2550, 3300);
    }
    void printTarget()
    {
        QFETCH(PrinterMetrics, printer);
        QFETCH(QRect, expected);
        QCOMPARE(view::printTarget(printer), expected);
    }

    void pageFillsItsTarget_data()
    {
        QTest::addColumn<int>("deviceDpi");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("target");
        QTest::newRow("screen, one to one") << 96 << QRect(0, 0, 100, 50) << QRect(0, 0, 100, 50);
        QTest::newRow("screen, doubled and moved")
            << 96 << QRect(0, 0, 100, 50) << QRect(20, 10, 200, 100);
        QTest::newRow("printer resolution")
            << 600 << QRect(0, 0, 100, 50) << QRect(-10, -10, 220, 110);
        QTest::newRow("printer resolution, frame off the origin")
            << 192 << QRect(50, 20, 100, 50) << QRect(10, 10, 200, 100);
        QTest::newRow("stretched unevenly") << 300 << QRect(0, 0, 100, 50) << QRect(0, 0, 150, 150);
    }
    void pageFillsItsTarget()
    {
        QFETCH(int, deviceDpi);
        QFETCH(QRect, frame);
        QFETCH(QRect, target);
        // A page whose frame is red, with a blue square in the middle of it and a green
        // photo of more pixels than its place on the page in the top-right corner.
        platform::PageImage page;
        {
            QPainter p(&page.picture);
            p.fillRect(frame, Qt::red);
            p.fillRect(QRect(frame.center() - QPoint(10, 10), QSize(20, 20)), Qt::blue);
        }
        page.picture.setBoundingRect(frame);
        page.photo = QImage(400, 200, QImage::Format_RGB32);
        page.photo.fill(Qt::green);
        page.photoRect = QRect(frame.x() + frame.width() - 20, frame.y(), 20, 10);
        QImage device(260, 180, QImage::Format_RGB32);
        device.setDotsPerMeterX(qRound(deviceDpi / 0.0254));
        device.setDotsPerMeterY(qRound(deviceDpi / 0.0254));
        device.fill(Qt::white);
        QPainter painter(&device);
        platform::drawPage(painter, page, target);
        painter.end();

        const QRect inside = target.intersected(device.rect()).adjusted(1, 1, -2, -2);
        QCOMPARE(device.pixelColor(inside.topLeft()), QColor(Qt::red));
        QCOMPARE(device.pixelColor(inside.bottomRight()), QColor(Qt::red));
        QCOMPARE(device.pixelColor(target.center()), QColor(Qt::blue));
        const QPointF photoCentre = QRectF(page.photoRect).center() - frame.topLeft();
        const QPoint photoOnDevice =
            target.topLeft() + QPointF(photoCentre.x() * target.width() / frame.width(),
                                       photoCentre.y() * target.height() / frame.height())
                                   .toPoint();
        QCOMPARE(device.pixelColor(photoOnDevice), QColor(Qt::green));
        QCOMPARE(device.pixelColor(photoOnDevice + QPoint(0, target.height() / 5)),
                 QColor(Qt::red));
        const QPoint outside = target.bottomRight() + QPoint(2, 2);
        QCOMPARE(device.pixelColor(outside), QColor(Qt::white));
    }

    void wholePage_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<int>("pages");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QList<QRect>>("sheets");
        // (400 - 60 - 16) / 1056 is smaller than (500 - 60 - 16) / 816.
        QTest::newRow("portrait sheet, height decides")
            << QSize(500, 400) << QSize(816, 1056) << 1 << 324.0f / 1056.0f
            << QList<QRect>{QRect(125, 30, 250, 324)};
        QTest::newRow("landscape sheet, height decides")
            << QSize(500, 400) << QSize(1056, 816) << 1 << 324.0f / 816.0f
            << QList<QRect>{QRect(40, 30, 419, 324)};
        // The scroll bar's width stays free: (300 - (224 + 60)) div 2 + 30 = 38.
        QTest::newRow("narrow panel, width decides")
            << QSize(300, 900) << QSize(816, 1056) << 1 << 224.0f / 816.0f
            << QList<QRect>{QRect(38, 30, 224, 290)};
        QTest::newRow("two pages, one per row")
            << QSize(500, 400) << QSize(816, 1056) << 2 << 324.0f / 1056.0f
            << QList<QRect>{QRect(125, 30, 250, 324), QRect(125, 384, 250, 324)};
        QTest::newRow("no pages") << QSize(500, 400) << QSize(816, 1056) << 0 << 324.0f / 1056.0f
                                  << QList<QRect>{};
        QTest::newRow("panel smaller than its border")
            << QSize(50, 50) << QSize(816, 1056) << 1 << 0.0f << QList<QRect>{QRect(30, 30, 0, 0)};
    }
    void wholePage()
    {
        QFETCH(QSize, client);
        QFETCH(QSize, paper);
        QFETCH(int, pages);
        QFETCH(float, zoom);
        QFETCH(QList<QRect>, sheets);
        const SheetLayout l = wholePageLayout(client, QSize(16, 16), paper, pages);
        QCOMPARE(l.zoom, zoom);
        QCOMPARE(l.sheets, sheets);
    }

    void sheetAt_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside the first") << QPoint(200, 100) << 0;
        QTest::newRow("top-left corner") << QPoint(125, 30) << 0;
        QTest::newRow("inside the second") << QPoint(130, 400) << 1;
        QTest::newRow("between the two") << QPoint(200, 370) << -1;
        QTest::newRow("in the border") << QPoint(10, 10) << -1;
        QTest::newRow("just right of the first") << QPoint(375, 100) << -1;
    }
    void sheetAt()
    {
        QFETCH(QPoint, point);
        QFETCH(int, expected);
        const SheetLayout l = wholePageLayout(QSize(500, 400), QSize(16, 16), QSize(816, 1056), 2);
        QCOMPARE(view::sheetAt(l, point), expected);
    }
};

TESS_TEST_MAIN(TestPrintGeometry)
#include "test_printgeometry.moc"
