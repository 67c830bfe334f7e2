#include "platform/qt/QtPrinter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace tess::platform {

QtPrinter::QtPrinter() = default;
QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool QtPrinter::usable()
{
    // Without a printer Qt falls back to PDF output; that counts only once the user has
    // chosen a file to print to in the setup dialog.
    QPrinter& p = printer();
    if (p.outputFormat() == QPrinter::PdfFormat)
        return !p.outputFileName().isEmpty();
    return p.isValid();
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
    const QPageLayout layout = p.pageLayout();
    const QRect sheet = layout.fullRectPixels(resolution);
    const QRect printable = layout.paintRectPixels(resolution);
    if (resolution <= 0 || sheet.isEmpty() || printable.isEmpty())
        return std::nullopt;

    PrinterMetrics m;
    m.physicalWidth = sheet.width();
    m.physicalHeight = sheet.height();
    m.physicalOffsetX = printable.left() - sheet.left();
    m.physicalOffsetY = printable.top() - sheet.top();
    m.printableWidth = printable.width();
    m.printableHeight = printable.height();
    m.dpiX = p.logicalDpiX();
    m.dpiY = p.logicalDpiY();

    // A printer that cannot print colour, or one set to print grey, is black and white.
    bool colour = p.colorMode() == QPrinter::Color;
    if (p.outputFormat() == QPrinter::NativeFormat) {
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
    QPrintDialog dialog(&printer(), QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // Only the printer and its sheet are chosen here: the page is always one sheet, once.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The dialog only chooses; the Print button of the preview prints.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    }
    return dialog.exec() == QDialog::Accepted;
}

PrintResult QtPrinter::printPage(const QString& title, const QPicture& page, const QRect& target)
{
    if (!usable())
        return {false, QStringLiteral("There is no printer installed.")};
    QPrinter& p = printer();
    p.setDocName(title);
    p.setFullPage(false);
    p.setCopyCount(1);
    p.setPrintRange(QPrinter::AllPages);

    QPainter painter;
    if (!painter.begin(&p))
        return {false, QStringLiteral("The print job could not be started.")};
    drawPage(painter, page, target);
    if (!painter.end() || p.printerState() == QPrinter::Error)
        return {false, QStringLiteral("The page could not be printed.")};
    if (p.printerState() == QPrinter::Aborted)
        return {false, QStringLiteral("The print job was cancelled.")};
    return {};
}

} // namespace tess::platform
