#pragma once

#include "platform/Printer.h"

#include <memory>

class QPrinter;

namespace tess::platform {

/// The current printer through QPrinter, made when it is first asked for. A printer chosen
/// in the setup dialog, a PDF file included, stays the current printer until the program
/// ends.
class QtPrinter : public Printer
{
public:
    QtPrinter();
    ~QtPrinter() override;

    void setOrientation(PageOrientation orientation) override;
    std::optional<PrinterMetrics> metrics() override;
    bool setup() override;
    PrintResult printPage(const QString& title, const QPicture& page, const QRect& target) override;

private:
    QPrinter& printer();
    /// True when there is a printer, or a PDF file chosen to print to.
    bool usable();

    std::unique_ptr<QPrinter> m_printer;
};

} // namespace tess::platform
