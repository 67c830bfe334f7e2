#pragma once

#include <QString>

namespace tess::platform::cups {

// What the print system (CUPS) says of a print queue, where the program is built with it;
// without it every answer is "nothing known".

/// The queue's own default resolution in dots per inch; 0 when it does not say.
int defaultResolution(const QString& queue);

/// Why the print system cannot be reached now, in the system's words; empty when it can.
QString serverUnreachable();

/// Why \a queue cannot be reached now, in the print system's words; empty when it can.
QString unreachable(const QString& queue);

/// The print system's answer to the last request this thread sent it, when that was a
/// refusal: its reason in its own words; empty when it was accepted.
QString lastRefusal();

} // namespace tess::platform::cups
