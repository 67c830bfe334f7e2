#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace tess::view {

/// Where the page preview panel draws its sheets in whole-page mode.
struct SheetLayout
{
    /// The display scale of a sheet.
    float zoom = 1.0f;
    /// One rectangle per page, in the panel's client coordinates.
    QList<QRect> sheets;
};

/// Whole-page mode with one page per row, for a panel of \a client size whose vertical
/// scroll bar is \a scrollBars.width() wide and whose horizontal one is
/// \a scrollBars.height() high: every sheet as large as fits with a 30 pixel border,
/// centred horizontally, one below the other.
SheetLayout wholePageLayout(QSize client, QSize scrollBars, QSize paper, int pageCount);

/// The index of the sheet that \a point lies in, or -1.
int sheetAt(const SheetLayout& layout, QPoint point);

} // namespace tess::view
