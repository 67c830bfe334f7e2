#include "render/StampLines.h"

#include <utility>

namespace tess::render {

QStringList stampLinesFromMasks(const QList<StampText>& entries,
                                const stamptext::ValueLookup& valueOf)
{
    QStringList lines;
    for (const StampText& entry : entries) {
        if (!entry.ticked)
            continue;
        QString line = stamptext::expandStampMask(entry.mask, valueOf);
        if (!line.isEmpty())
            lines.append(std::move(line));
    }
    return lines;
}

} // namespace tess::render
