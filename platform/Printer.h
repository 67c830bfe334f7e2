#pragma once

#include <QPicture>
#include <QRect>
#include <QString>
#include <optional>

class QPainter;

namespace tess::platform {

enum class PageOrientation
{
    Portrait,
    Landscape
};

/// What the current printer reports of its sheet, in printer pixels and in the current
/// orientation.
struct PrinterMetrics
{
    /// The whole sheet.
    int physicalWidth = 0;
    int physicalHeight = 0;
    /// The non-printable border at the left and at the top.
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;
    /// The printable area.
    int printableWidth = 0;
    int printableHeight = 0;
    /// Printer pixels per inch.
    int dpiX = 0;
    int dpiY = 0;
    /// 2 for a black-and-white printer; -1 for more colours than a palette holds.
    int numColors = -1;
    bool operator==(const PrinterMetrics&) const = default;
};

/// The outcome of a print job: ok, or the reason it failed in the platform's own words.
struct PrintResult
{
    bool ok = true;
    QString error;
};

/// The program's current printer. The printer setup dialog changes which printer it is.
class Printer
{
public:
    virtual ~Printer() = default;
    virtual void setOrientation(PageOrientation orientation) = 0;
    /// The sheet in the current orientation; nothing when no printer can be asked.
    virtual std::optional<PrinterMetrics> metrics() = 0;
    /// The system's printer setup dialog; true when the user confirms it.
    virtual bool setup() = 0;
    /// Prints \a page as one job named \a title. The page's bounding rectangle is its frame;
    /// it is replayed stretched so that the frame fills \a target, given in printer pixels
    /// from the top-left corner of the printable area. Does not wait for the printer.
    virtual PrintResult printPage(const QString& title, const QPicture& page,
                                  const QRect& target) = 0;
};

/// Replays \a page so that its frame (its bounding rectangle) fills \a target.
void drawPage(QPainter& painter, const QPicture& page, const QRect& target);

} // namespace tess::platform
