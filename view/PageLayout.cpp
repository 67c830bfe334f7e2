#include "view/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace tess::view {

namespace {

constexpr int Border = 30;

} // namespace

SheetLayout wholePageLayout(QSize client, QSize scrollBars, QSize paper, int pageCount)
{
    SheetLayout layout;
    if (paper.width() <= 0 || paper.height() <= 0)
        return layout;
    const float zx = float(client.width() - 2 * Border - scrollBars.width()) / float(paper.width());
    const float zy =
        float(client.height() - 2 * Border - scrollBars.height()) / float(paper.height());
    // A panel smaller than its border shows no sheet rather than a mirrored one.
    layout.zoom = std::max(0.0f, std::min(zx, zy));
    const int sw = int(std::nearbyint(paper.width() * layout.zoom));
    const int sh = int(std::nearbyint(paper.height() * layout.zoom));
    const int left = std::max(0, (client.width() - (sw + 2 * Border)) / 2) + Border;
    for (int i = 0; i < pageCount; ++i)
        layout.sheets.append(QRect(left, Border + i * (sh + Border), sw, sh));
    return layout;
}

int sheetAt(const SheetLayout& layout, QPoint point)
{
    for (int i = 0; i < layout.sheets.size(); ++i)
        if (layout.sheets.at(i).contains(point))
            return i;
    return -1;
}

} // namespace tess::view
