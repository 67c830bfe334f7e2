#pragma once

#include <QImage>
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
    bool printed = true;
    QString error; ///< why the page was not printed
    bool ok() const { return printed; }
};

/// One sheet as it is printed: a recorded page image whose bounding rectangle is its frame
/// (the whole sheet), and a photo laid over it. The photo keeps its own pixels, so that the
/// printer gets them all, at its own resolution, however small the page image's units are.
struct PageImage
{
    QPicture picture;
    /// Drawn stretched into \c photoRect, given in the picture's coordinates; none when null.
    QImage photo;
    QRect photoRect;
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
    /// Prints \a page as one job named \a title, replayed stretched so that its frame fills
    /// \a target, given in printer pixels from the top-left corner of the printable area.
    /// Does not wait for the printer to finish the job.
    virtual PrintResult printPage(const QString& title, const PageImage& page,
                                  const QRect& target) = 0;
};

/// Replays \a page so that its frame (its picture's bounding rectangle) fills \a target.
void drawPage(QPainter& painter, const PageImage& page, const QRect& target);

} // namespace tess::platform
