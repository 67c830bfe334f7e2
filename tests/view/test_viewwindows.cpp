#include "tests/support/TestMain.h"
#include "tests/support/WorkspaceFixture.h"
#include "view/PrintGeometry.h"
#include "view/ui/TForm14.h"
#include "view/ui/TNicePreview.h"
#include "view/ui/TPreviewForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QToolButton>

using namespace tess;
using namespace tess::view;
using namespace tess::view::ui;
using platform::PageOrientation;
using tess::test::ScriptedPrinter;
using tess::test::WorkspaceFixture;

Q_DECLARE_METATYPE(tess::platform::PageOrientation)

namespace {

/// The main window's windows, counting what was asked of them.
struct CountingWindows : test::ScriptedWindows
{
    int printPreviews = 0;
    void showPrintPreview() override { ++printPreviews; }
};

/// A workspace after start-up on a letter printer at 600 dpi with 100 printer pixels of
/// border on every side.
struct Printing : WorkspaceFixture
{
    Printing()
    {
        platform.printer.portrait = ScriptedPrinter::letter(600, 100);
        ws->formCreate();
    }
};

/// Sends a mouse event with \a buttons held to \a widget at \a pos (widget coordinates).
void mouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
           Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

/// Drags Image1 by \a delta with \a button: press, then one move.
void dragImage(TPreviewForm& form, QPoint from, QPoint delta, Qt::MouseButton button)
{
    mouse(form.Image1, QEvent::MouseButtonPress, from, button, button);
    mouse(form.Image1, QEvent::MouseMove, from + delta, Qt::NoButton, button);
    mouse(form.Image1, QEvent::MouseButtonRelease, from + delta, button, Qt::NoButton);
}

/// Replays \a page into a white picture of \a size, with its frame stretched over \a target.
QImage replay(const platform::PageImage& page, QSize size, QRect target)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    platform::drawPage(p, page, target);
    return out;
}

/// The smallest rectangle holding every pixel of \a image that is not white.
QRect inked(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool isGrey(const QImage& image, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c))
                return false;
        }
    return true;
}

} // namespace

class TestViewWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // --- Full Screen Preview --------------------------------------------------------------

    void previewCaptionAndButtons()
    {
        WorkspaceFixture f;
        TPreviewForm form(*f.ws);
        QCOMPARE(form.windowTitle(), QStringLiteral("Full Screen Preview"));
        QCOMPARE(form.ToolButton2->toolTip(), QStringLiteral("Best Fit"));
        QCOMPARE(form.ToolButton3->toolTip(), QStringLiteral("Actual Size"));
        QCOMPARE(form.ToolButton6->toolTip(), QStringLiteral("Print"));
        QCOMPARE(form.ToolButton1->toolTip(), QStringLiteral("Close"));
        QCOMPARE(form.Image1->cursor().shape(), Qt::SizeAllCursor);
        QVERIFY(!form.isVisible());
        QVERIFY(form.picture().isNull());
    }

    void previewFollowsEveryRender()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        TPreviewForm form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(320, 200)));
        QCOMPARE(form.picture(), f.ws->previewCopy());
        QCOMPARE(form.Image1->size(), QSize(320, 200));

        const QImage before = form.picture();
        f.ws->flip1Click();
        QVERIFY(form.picture() != before);
        QCOMPARE(form.picture(), f.ws->previewCopy());

        f.ws->close1Click();
        QVERIFY(form.picture().isNull());
        QCOMPARE(form.Image1->size(), QSize(0, 0));
    }

    void previewModes()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        TPreviewForm form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(1600, 1200)));
        form.show();
        QCOMPARE(form.model().mode(), PreviewViewModel::Mode::ActualSize);
        QCOMPARE(form.Image1->geometry(), QRect(0, 0, 1600, 1200));

        form.ToolButton2->click();
        QCOMPARE(form.model().mode(), PreviewViewModel::Mode::BestFit);
        QCOMPARE(form.Image1->geometry(), form.ScrollBox1->rect());
        QCOMPARE(form.model().photoRect().size(),
                 bestFitSize(QSize(1600, 1200), form.ScrollBox1->size()));

        // Coming back to the window shows the photo at its own size again.
        form.FormActivate();
        QCOMPARE(form.model().mode(), PreviewViewModel::Mode::ActualSize);
        QCOMPARE(form.Image1->geometry(), QRect(0, 0, 1600, 1200));

        form.ToolButton1->click();
        QVERIFY(!form.isVisible());
    }

    void previewPanning_data()
    {
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("left by 100") << QPoint(-100, 0) << Qt::LeftButton << QPoint(-100, 0);
        QTest::newRow("up and left") << QPoint(-30, -40) << Qt::LeftButton << QPoint(-30, -40);
        QTest::newRow("right from the corner stays")
            << QPoint(50, 0) << Qt::LeftButton << QPoint(0, 0);
        QTest::newRow("right button does not pan")
            << QPoint(-100, -50) << Qt::RightButton << QPoint(0, 0);
    }
    void previewPanning()
    {
        QFETCH(QPoint, delta);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, expected);
        WorkspaceFixture f;
        f.ws->formCreate();
        TPreviewForm form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(1600, 1200)));
        form.show();
        dragImage(form, QPoint(200, 150), delta, button);
        QCOMPARE(form.Image1->pos(), expected);
        QCOMPARE(form.model().position(), expected);
    }

    void previewPanLimits()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        TPreviewForm form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(1600, 1200)));
        form.show();
        const QSize view = form.ScrollBox1->size();
        QCOMPARE(form.model().panLimitX(), view.width() - 1600);
        QCOMPARE(form.model().panLimitY(), view.height() - 1200);
        // A drag that would reach the limit is not applied at all.
        dragImage(form, QPoint(1500, 100), QPoint(view.width() - 1600, 0), Qt::LeftButton);
        QCOMPARE(form.Image1->pos(), QPoint(0, 0));
        dragImage(form, QPoint(1500, 100), QPoint(view.width() - 1599, 0), Qt::LeftButton);
        QCOMPARE(form.Image1->pos(), QPoint(view.width() - 1599, 0));
    }

    void previewSmallPhotoStays()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        TPreviewForm form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(60, 40)));
        form.show();
        dragImage(form, QPoint(30, 20), QPoint(-10, -10), Qt::LeftButton);
        QCOMPARE(form.Image1->pos(), QPoint(0, 0));
    }

    void previewPositionAfterOpenResizeAndHide()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        TPreviewForm form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(1600, 1200)));
        form.show();
        dragImage(form, QPoint(200, 150), QPoint(-100, -50), Qt::LeftButton);
        QCOMPARE(form.Image1->pos(), QPoint(-100, -50));

        // Hidden and shown again: the photo stays where it was.
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        form.show();
        QCOMPARE(form.Image1->pos(), QPoint(-100, -50));

        // Another photo starts at the corner.
        f.open(f.makePhoto(QStringLiteral("b.jpg"), QSize(1500, 1100)));
        QCOMPARE(form.Image1->pos(), QPoint(0, 0));
        QCOMPARE(form.Image1->size(), QSize(1500, 1100));

        // So does a resized window.
        dragImage(form, QPoint(200, 150), QPoint(-100, -50), Qt::LeftButton);
        QCOMPARE(form.Image1->pos(), QPoint(-100, -50));
        form.resize(form.size() + QSize(40, 30));
        QCOMPARE(form.Image1->pos(), QPoint(0, 0));
        QCOMPARE(form.model().panLimitX(), form.ScrollBox1->width() - 1500);
    }

    void previewActivationFromAnotherWindow()
    {
        WorkspaceFixture f;
        f.ws->formCreate();
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(1600, 1200)));
        QWidget main;
        main.resize(200, 100);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        TPreviewForm form(*f.ws);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ToolButton2->click();
        QCOMPARE(form.model().mode(), PreviewViewModel::Mode::BestFit);

        // Working in the main window and coming back: Actual Size again.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(form.model().mode(), PreviewViewModel::Mode::BestFit);
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.model().mode(), PreviewViewModel::Mode::ActualSize);
    }

    void previewPrintButtonOnlyWithAPhoto()
    {
        WorkspaceFixture f;
        CountingWindows windows;
        f.ws->setWindows(&windows);
        TPreviewForm form(*f.ws);
        QVERIFY(!form.ToolButton6->isEnabled());
        form.ToolButton6Click();
        QCOMPARE(windows.printPreviews, 0);

        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(30, 20)));
        QVERIFY(form.ToolButton6->isEnabled());
        form.ToolButton6->click();
        QCOMPARE(windows.printPreviews, 1);

        // The photo closed while the window stays open: no blank sheet.
        f.ws->close1Click();
        QVERIFY(!form.ToolButton6->isEnabled());
        form.ToolButton6Click();
        QCOMPARE(windows.printPreviews, 1);
    }

    // --- Print Preview --------------------------------------------------------------------

    void printPreviewAtCreation()
    {
        Printing f;
        TForm14 form(*f.ws);
        QCOMPARE(form.windowTitle(), QStringLiteral("Print Preview"));
        QVERIFY(!form.cropToFit());
        QCOMPARE(form.NicePreview1->Title, QStringLiteral("Printing ..."));
        QCOMPARE(form.ToolButton1->toolTip(), QStringLiteral("Stretch to Fit"));
        QCOMPARE(form.ToolButton2->toolTip(), QStringLiteral("Crop to Fit"));
        QCOMPARE(form.ToolButton4->toolTip(), QStringLiteral("Printer Setup"));
        QCOMPARE(form.ToolButton6->toolTip(), QStringLiteral("Print"));
        QCOMPARE(form.ToolButton8->toolTip(), QStringLiteral("Close"));
        QCOMPARE(form.statusText(),
                 QStringLiteral("Printer Setup: 600.0 dpi, 8.5 x 11.0 - Mode: Shrink to Fit"));
        QCOMPARE(form.NicePreview1->pageCount(), 0);
    }

    void printPage_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<bool>("crop");
        QTest::addColumn<PageOrientation>("orientation");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<QString>("status");
        QTest::newRow("stretch, landscape")
            << QSize(300, 200) << false << PageOrientation::Landscape << QSize(1056, 816)
            << QSize(1024, 683) << QPoint(16, 66)
            << "Printer Setup: 600.0 dpi, 11.0 x 8.5 - Mode: Shrink to Fit";
        QTest::newRow("stretch, portrait")
            << QSize(200, 300) << false << PageOrientation::Portrait << QSize(816, 1056)
            << QSize(683, 1024) << QPoint(66, 16)
            << "Printer Setup: 600.0 dpi, 8.5 x 11.0 - Mode: Shrink to Fit";
        QTest::newRow("stretch, square on portrait")
            << QSize(300, 300) << false << PageOrientation::Portrait << QSize(816, 1056)
            << QSize(784, 784) << QPoint(16, 136)
            << "Printer Setup: 600.0 dpi, 8.5 x 11.0 - Mode: Shrink to Fit";
        QTest::newRow("crop, landscape")
            << QSize(300, 200) << true << PageOrientation::Landscape << QSize(1056, 816)
            << QSize(1024, 784) << QPoint(16, 16)
            << "Printer Setup: 600.0 dpi, 11.0 x 8.5 - Mode: Crop to Fit";
        QTest::newRow("crop, portrait")
            << QSize(200, 300) << true << PageOrientation::Portrait << QSize(816, 1056)
            << QSize(784, 1024) << QPoint(16, 16)
            << "Printer Setup: 600.0 dpi, 8.5 x 11.0 - Mode: Crop to Fit";
    }
    void printPage()
    {
        QFETCH(QSize, photo);
        QFETCH(bool, crop);
        QFETCH(PageOrientation, orientation);
        QFETCH(QSize, paper);
        QFETCH(QSize, target);
        QFETCH(QPoint, origin);
        QFETCH(QString, status);
        Printing f;
        f.open(f.makePhoto(QStringLiteral("a.jpg"), photo));
        TForm14 form(*f.ws);
        if (crop)
            form.ToolButton2->click();
        form.FormActivate();

        QCOMPARE(f.platform.printer.orientation, orientation);
        QCOMPARE(form.cropToFit(), crop);
        QCOMPARE(form.statusText(), status);
        QCOMPARE(form.margins(), QMargins(16, 16, 16, 16));
        TNicePreview* preview = form.NicePreview1;
        QCOMPARE(QSize(preview->PaperWidth, preview->PaperHeight), paper);
        QCOMPARE(QList<int>({preview->MarginLeft, preview->MarginTop, preview->MarginRight,
                             preview->MarginBottom}),
                 QList<int>({16, 16, 16, 16}));
        QCOMPARE(form.layout().target, target);
        QCOMPARE(form.layout().origin, origin);

        // The page holds the photo in its place on the sheet, and nothing else: printed
        // from the photo's own pixels, shown from the copy scaled to its place.
        QCOMPARE(preview->pageCount(), 1);
        QCOMPARE(preview->page(0).picture.boundingRect(), QRect(QPoint(0, 0), paper));
        QCOMPARE(preview->page(0).photoRect, QRect(origin, target));
        QCOMPARE(preview->page(0).photo, printPhoto(f.ws->stampedPhoto(), form.layout()));
        const QImage page = replay(preview->shownPage(0), paper, QRect(QPoint(0, 0), paper));
        const QImage expected =
            printBitmap(f.ws->stampedPhoto(), form.layout()).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(page.copy(QRect(origin, target)), expected);
        QCOMPARE(page.pixelColor(origin - QPoint(1, 1)), QColor(Qt::white));
        QCOMPARE(page.pixelColor(origin + QPoint(target.width(), target.height())),
                 QColor(Qt::white));
    }

    void modeSurvivesReopening()
    {
        Printing f;
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        TForm14 form(*f.ws);
        form.ToolButton2->click();
        form.show();
        QVERIFY(form.cropToFit());
        QCOMPARE(form.layout().target, QSize(1024, 784));
        form.ToolButton8->click();
        QVERIFY(!form.isVisible());
        form.show();
        QVERIFY(form.cropToFit());
        QCOMPARE(form.layout().target, QSize(1024, 784));
        form.ToolButton1->click();
        QVERIFY(!form.cropToFit());
        QCOMPARE(form.layout().target, QSize(1024, 683));
        QVERIFY(form.statusText().endsWith(QStringLiteral("Mode: Shrink to Fit")));
    }

    void showingBuildsFromTheCurrentPhoto()
    {
        Printing f;
        TForm14 form(*f.ws);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        form.show();
        QCOMPARE(form.layout().target, QSize(1024, 683));
        form.hide();
        f.open(f.makePhoto(QStringLiteral("b.jpg"), QSize(200, 300)));
        form.show();
        QCOMPARE(form.layout().target, QSize(683, 1024));
        QCOMPARE(f.platform.printer.orientation, PageOrientation::Portrait);
    }

    void printerSetupCancelled()
    {
        Printing f;
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        TForm14 form(*f.ws);
        form.FormActivate();
        const PrintLayout before = form.layout();
        const QString status = form.statusText();
        f.platform.printer.onSetup = [](ScriptedPrinter& p) {
            p.portrait = ScriptedPrinter::letter(300, 0);
        };
        form.ToolButton4->click();
        QCOMPARE(f.platform.printer.setupShown, 1);
        QCOMPARE(form.layout(), before);
        QCOMPARE(form.statusText(), status);
    }

    void printerSetupConfirmed()
    {
        Printing f;
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        TForm14 form(*f.ws);
        form.FormActivate();
        // The user picks a borderless black-and-white printer and turns the sheet.
        f.platform.printer.setupAnswers.enqueue(true);
        f.platform.printer.onSetup = [](ScriptedPrinter& p) {
            p.portrait = ScriptedPrinter::letter(300, 0, 2);
            p.orientation = PageOrientation::Portrait;
        };
        form.ToolButton4->click();
        QCOMPARE(f.platform.printer.orientation, PageOrientation::Landscape);
        QCOMPARE(form.margins(), QMargins());
        QCOMPARE(form.layout().target, QSize(1056, 704));
        QVERIFY(form.layout().grey);
        QCOMPARE(form.statusText(),
                 QStringLiteral("Printer Setup: 300.0 dpi, 11.0 x 8.5 - Mode: Shrink to Fit"));
        const QImage page =
            replay(form.NicePreview1->shownPage(0), QSize(1056, 816), QRect(0, 0, 1056, 816));
        QVERIFY(isGrey(page, QRect(form.layout().origin, form.layout().target)));
        QVERIFY(isGrey(form.NicePreview1->page(0).photo, QRect(0, 0, 300, 200)));
    }

    void colourPrinterKeepsColours()
    {
        Printing f;
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        TForm14 form(*f.ws);
        form.FormActivate();
        const QImage page =
            replay(form.NicePreview1->shownPage(0), QSize(1056, 816), QRect(0, 0, 1056, 816));
        QVERIFY(!isGrey(page, QRect(form.layout().origin, form.layout().target)));
    }

    void printing_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("crop");
        QTest::addColumn<QRect>("target");
        QTest::addColumn<QSize>("photoPixels");
        QTest::addColumn<QRect>("printedPhoto");
        // A 3000 x 2000 photo on a letter sheet with a border of a sixth of an inch. The
        // printer gets the photo's own pixels (the part cropped, when cropped), placed where
        // the preview shows it, in printer pixels from the printable area's corner.
        QTest::newRow("stretch, at the screen's resolution")
            << 96 << false << QRect(-16, -16, 1056, 816) << QSize(3000, 2000)
            << QRect(0, 50, 1024, 683);
        QTest::newRow("crop fills the printable area")
            << 96 << true << QRect(-16, -16, 1056, 816) << QSize(2612, 2000)
            << QRect(0, 0, 1024, 784);
        QTest::newRow("stretch, at twice the screen's resolution")
            << 192 << false << QRect(-32, -32, 2112, 1632) << QSize(3000, 2000)
            << QRect(0, 100, 2048, 1366);
    }
    void printing()
    {
        QFETCH(int, dpi);
        QFETCH(bool, crop);
        QFETCH(QRect, target);
        QFETCH(QSize, photoPixels);
        QFETCH(QRect, printedPhoto);
        Printing f;
        f.platform.printer.portrait = ScriptedPrinter::letter(dpi, dpi / 6);
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(3000, 2000)));
        TForm14 form(*f.ws);
        if (crop)
            form.ToolButton2Click();
        form.FormActivate();
        form.ToolButton6->click();

        QVERIFY(f.platform.prompts.shown.isEmpty());
        QCOMPARE(f.platform.printer.jobs.size(), 1);
        const ScriptedPrinter::Job& job = f.platform.printer.jobs.at(0);
        QCOMPARE(job.title, QStringLiteral("Printing ... - Page 1"));
        QCOMPARE(job.target, target);
        QCOMPARE(job.page.picture.boundingRect(), QRect(QPoint(0, 0), form.layout().paper));
        QCOMPARE(job.page.photo.size(), photoPixels);
        QCOMPARE(job.page.photo, printPhoto(f.ws->stampedPhoto(), form.layout()));

        // What comes out of the printable area: the photo where the preview shows it.
        const platform::PrinterMetrics m = *f.platform.printer.metrics();
        const QImage printed =
            replay(job.page, QSize(m.printableWidth, m.printableHeight), job.target);
        QCOMPARE(inked(printed), printedPhoto);
    }

    void printingFails_data()
    {
        QTest::addColumn<bool>("printer");
        QTest::addColumn<QString>("jobError");
        QTest::addColumn<QString>("message");
        QTest::newRow("no printer")
            << false << QString() << QStringLiteral("There is no printer installed.");
        QTest::newRow("the job cannot start")
            << true << QStringLiteral("The print job could not be started.")
            << QStringLiteral("The print job could not be started.");
    }
    void printingFails()
    {
        QFETCH(bool, printer);
        QFETCH(QString, jobError);
        QFETCH(QString, message);
        Printing f;
        if (!printer)
            f.platform.printer.portrait.reset();
        if (!jobError.isEmpty())
            f.platform.printer.jobError = jobError;
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        TForm14 form(*f.ws);
        form.FormActivate();
        const PrintLayout before = form.layout();
        form.ToolButton6->click();
        QCOMPARE(f.platform.prompts.shown,
                 (QList<test::ScriptedPrompts::Message>{{QStringLiteral("error"), message}}));
        QVERIFY(f.platform.printer.jobs.isEmpty());
        QCOMPARE(form.layout(), before);
        QCOMPARE(form.NicePreview1->pageCount(), 1);
    }

    void withoutPrinterThePreviewShowsALetterSheet()
    {
        Printing f;
        f.platform.printer.portrait.reset();
        f.open(f.makePhoto(QStringLiteral("a.jpg"), QSize(300, 200)));
        TForm14 form(*f.ws);
        form.FormActivate();
        QCOMPARE(QSize(form.NicePreview1->PaperWidth, form.NicePreview1->PaperHeight),
                 QSize(816, 1056));
        QCOMPARE(form.margins(), QMargins());
        QCOMPARE(form.layout().target, QSize(816, 544));
        QCOMPARE(form.statusText(),
                 QStringLiteral("Printer Setup: no printer - Mode: Shrink to Fit"));
        QVERIFY(f.platform.prompts.shown.isEmpty());
    }

    void withoutPhotoTheSheetIsEmpty()
    {
        Printing f;
        TForm14 form(*f.ws);
        form.FormActivate();
        QCOMPARE(form.NicePreview1->pageCount(), 1);
        QVERIFY(form.layout().target.isEmpty());
        QVERIFY(form.NicePreview1->page(0).photo.isNull());
        const QImage page =
            replay(form.NicePreview1->page(0), QSize(816, 1056), QRect(0, 0, 816, 1056));
        QCOMPARE(page.pixelColor(408, 528), QColor(Qt::white));
        // Nothing to print, not even a blank sheet.
        QVERIFY(!form.ToolButton6->isEnabled());
    }

    // --- The page preview panel -----------------------------------------------------------

    void panelSelectsAPage()
    {
        TNicePreview panel;
        panel.resize(500, 400);
        panel.Clear();
        QPainter* p = panel.NewPage();
        p->fillRect(QRect(100, 100, 600, 800), Qt::darkGreen);
        panel.EndPage();
        QSignalSpy changed(&panel, &TNicePreview::OnChange);
        const QRect sheet = panel.sheetLayout().sheets.value(0);
        QVERIFY(!sheet.isEmpty());

        QTest::mouseClick(&panel, Qt::RightButton, {}, sheet.center());
        QCOMPARE(panel.SelectedPage, -1);
        QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(panel.SelectedPage, -1);
        QCOMPARE(changed.count(), 0);
        QTest::mouseClick(&panel, Qt::LeftButton, {}, sheet.center());
        QCOMPARE(panel.SelectedPage, 0);
        QCOMPARE(changed.count(), 1);
        QTest::mouseClick(&panel, Qt::LeftButton, {}, sheet.center());
        QCOMPARE(changed.count(), 1);

        panel.Clear();
        QCOMPARE(panel.SelectedPage, -1);
        QCOMPARE(panel.pageCount(), 0);
    }

    void panelDrawsSheets()
    {
        TNicePreview panel;
        panel.resize(500, 400);
        QPainter* p = panel.NewPage();
        p->fillRect(QRect(0, 0, 816, 1056).adjusted(200, 200, -200, -200), Qt::blue);
        panel.EndPage();
        const QRect sheet = panel.sheetLayout().sheets.value(0);
        QCOMPARE(panel.Zoom, panel.sheetLayout().zoom);
        QVERIFY(panel.Zoom > 0.2f && panel.Zoom < 0.4f);

        QImage shot = panel.grab().toImage();
        QCOMPARE(shot.pixelColor(5, 5), panel.palette().color(QPalette::Button));
        QCOMPARE(shot.pixelColor(sheet.topLeft()), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(sheet.topLeft() + QPoint(3, 3)), QColor(Qt::white));
        QCOMPARE(shot.pixelColor(sheet.center()), QColor(Qt::blue));
        // The shadow along the right and the bottom edge, not above its start.
        QCOMPARE(shot.pixelColor(sheet.right() + 2, sheet.center().y()), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(sheet.center().x(), sheet.bottom() + 2), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(sheet.right() + 2, sheet.top() + 1),
                 panel.palette().color(QPalette::Button));

        QTest::mouseClick(&panel, Qt::LeftButton, {}, sheet.center());
        shot = panel.grab().toImage();
        QCOMPARE(shot.pixelColor(sheet.topLeft()), QColor(Qt::red));
    }

    void panelFollowsItsSize()
    {
        TNicePreview panel;
        panel.resize(500, 400);
        panel.NewPage();
        panel.EndPage();
        panel.show();
        const float before = panel.Zoom;
        panel.resize(1000, 800);
        QVERIFY(panel.Zoom > before);
        QCOMPARE(panel.sheetLayout().sheets.value(0).top(), 30);
    }
};

TESS_TEST_MAIN(TestViewWindows)
#include "test_viewwindows.moc"
