#pragma once

#include "app/attributes/StampAttributes.h"
#include "stamptext/StampMask.h"

#include <QList>
#include <QStringList>

namespace tess::render {

/// The stamp lines of a stamp text list: the expansion of every ticked entry's mask, in
/// list order, leaving out expansions that come out empty. An empty result means no line;
/// the caller adds the single empty line that measuring and anchoring expect.
QStringList stampLinesFromMasks(const QList<StampText>& entries,
                                const stamptext::ValueLookup& valueOf);

} // namespace tess::render
