#pragma once

#include "platform/Printer.h"

#include <memory>

class QPrinter;

namespace tess::platform {

/// The current printer through QPrinter, made when it is first asked for. A printer chosen
/// in the setup dialog, a PDF file included, stays the current printer until the program
/// ends. A printer that cannot be used, or whose last job failed, is asked afresh the next
/// time: a queue that comes back is found again.
class QtPrinter : public Printer
{
public:
    QtPrinter();
    ~QtPrinter() override;

    void setOrientation(PageOrientation orientation) override;
    std::optional<PrinterMetrics> metrics() override;
    bool setup() override;
    PrintResult printPage(const QString& title, const PageImage& page,
                          const QRect& target) override;

private:
    QPrinter& printer();
    /// True when there is a printer, or a PDF file chosen to print to. Asks afresh when the
    /// current one cannot be used.
    bool usable();
    /// A new QPrinter for the same printer, sheet and orientation.
    void renew();
    /// The printer's own resolution; the sheet is measured in it.
    void takeDeviceResolution();
    /// The sheet and its printable area in printer pixels: the printer's own non-printable
    /// border, not the margins a dialog suggests.
    QRect sheetPixels() const;
    QRect printablePixels() const;

    std::unique_ptr<QPrinter> m_printer;
    /// The last job failed: the next question makes a new QPrinter.
    bool m_askAfresh = false;
};

} // namespace tess::platform
