#include "platform/qt/QtPrinter.h"

#include "platform/qt/CupsQueue.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTabWidget>

namespace tess::platform {

namespace {

// What QPrinter::HighResolution gives where the printer does not say.
constexpr int HighResolutionDpi = 1200;

bool native(const QPrinter& p)
{
    return p.outputFormat() == QPrinter::NativeFormat;
}

} // namespace

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        takeDeviceResolution();
    } else if (m_askAfresh) {
        renew();
    }
    return *m_printer;
}

void QtPrinter::renew()
{
    m_askAfresh = false;
    if (!m_printer) {
        printer();
        return;
    }
    const QPrinter& old = *m_printer;
    const QString name = old.printerName();
    const QString file = old.outputFileName();
    const QPageLayout layout = old.pageLayout();
    const QPrinter::ColorMode colour = old.colorMode();
    auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!file.isEmpty()) {
        fresh->setOutputFileName(file);
    } else if (!name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name)) {
        fresh->setPrinterName(name);
    }
    fresh->setPageLayout(layout);
    fresh->setColorMode(colour);
    m_printer = std::move(fresh);
    takeDeviceResolution();
}

void QtPrinter::takeDeviceResolution()
{
    QPrinter& p = *m_printer;
    // A PDF file has no resolution of its own; Qt's finest is as good as any.
    const int dpi = native(p) ? cups::defaultResolution(p.printerName()) : 0;
    p.setResolution(dpi > 0 ? dpi : HighResolutionDpi);
}

bool QtPrinter::usable()
{
    // Without a printer Qt falls back to PDF output; that counts only once the user has
    // chosen a file to print to in the setup dialog.
    const auto canPrint = [](const QPrinter& p) {
        if (p.outputFormat() == QPrinter::PdfFormat)
            return !p.outputFileName().isEmpty();
        return p.isValid();
    };
    if (canPrint(printer()))
        return true;
    renew();
    return canPrint(printer());
}

QRect QtPrinter::sheetPixels() const
{
    return m_printer->pageLayout().fullRectPixels(m_printer->resolution());
}

QRect QtPrinter::printablePixels() const
{
    QPageLayout layout = m_printer->pageLayout();
    layout.setMode(QPageLayout::FullPageMode);
    layout.setMargins(layout.minimumMargins());
    return layout.paintRectPixels(m_printer->resolution());
}

void QtPrinter::setOrientation(PageOrientation orientation)
{
    printer().setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

std::optional<PrinterMetrics> QtPrinter::metrics()
{
    if (!usable())
        return std::nullopt;
    QPrinter& p = printer();
    const int resolution = p.resolution();
    const QRect sheet = sheetPixels();
    const QRect printable = printablePixels();
    if (resolution <= 0 || sheet.isEmpty() || printable.isEmpty())
        return std::nullopt;

    PrinterMetrics m;
    m.physicalWidth = sheet.width();
    m.physicalHeight = sheet.height();
    m.physicalOffsetX = printable.left() - sheet.left();
    m.physicalOffsetY = printable.top() - sheet.top();
    m.printableWidth = printable.width();
    m.printableHeight = printable.height();
    m.dpiX = resolution;
    m.dpiY = resolution;

    // A printer that cannot print colour, or one set to print grey, is black and white.
    bool colour = p.colorMode() == QPrinter::Color;
    if (native(p)) {
        const QPrinterInfo info(p);
        const QList<QPrinter::ColorMode> modes = info.supportedColorModes();
        if (!modes.isEmpty() && !modes.contains(QPrinter::Color))
            colour = false;
    }
    m.numColors = colour ? -1 : 2;
    return m;
}

bool QtPrinter::setup()
{
    usable();
    QPrintDialog dialog(&printer(), QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // Only the printer and its sheet are chosen here: the page is always one sheet, once.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // So the dialog offers no copies and no pages: the tab with them goes.
    if (auto* tabs = dialog.findChild<QTabWidget*>(QStringLiteral("tabs"))) {
        if (QWidget* copies = tabs->findChild<QWidget*>(QStringLiteral("copiesTab")))
            tabs->removeTab(tabs->indexOf(copies));
    }
    // The dialog only chooses; the Print button of the preview prints.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    takeDeviceResolution();
    return true;
}

PrintResult QtPrinter::printPage(const QString& title, const PageImage& page, const QRect& target)
{
    if (!usable()) {
        const QString reason = cups::serverUnreachable();
        return {false,
                reason.isEmpty() ? QStringLiteral("There is no printer installed.") : reason};
    }
    QPrinter& p = printer();
    if (native(p)) {
        const QString reason = cups::unreachable(p.printerName());
        if (!reason.isEmpty()) {
            m_askAfresh = true;
            return {false, reason};
        }
    }
    p.setDocName(title);
    p.setCopyCount(1);
    p.setPrintRange(QPrinter::AllPages);
    // The target is measured from the printable area that metrics() reports, whatever
    // margins the sheet's layout carries.
    p.setFullPage(true);
    const QPoint printableOrigin = printablePixels().topLeft() - sheetPixels().topLeft();

    const auto failed = [this](const QString& reason) {
        m_askAfresh = true;
        return PrintResult{false, reason};
    };
    QPainter painter;
    if (!painter.begin(&p))
        return failed(QStringLiteral("The print job could not be started."));
    painter.translate(printableOrigin);
    drawPage(painter, page, target);
    const bool ended = painter.end();
    if (native(p)) {
        const QString refusal = cups::lastRefusal();
        if (!refusal.isEmpty())
            return failed(refusal);
    }
    if (!ended || p.printerState() == QPrinter::Error)
        return failed(QStringLiteral("The page could not be printed."));
    if (p.printerState() == QPrinter::Aborted)
        return failed(QStringLiteral("The print job was cancelled."));
    return {};
}

} // namespace tess::platform
