#pragma once

#include "platform/SafeFile.h"

namespace tess::test {

/// Arms a fault of the safe-write path (see platform::setSafeWriteFault) for the life of this
/// object, so a failing test leaves nothing armed for the next one.
class SafeWriteFault
{
public:
    SafeWriteFault(platform::SafeWriteStep step, int nth, int systemError)
    {
        platform::setSafeWriteFault(step, nth, systemError);
    }
    ~SafeWriteFault() { platform::setSafeWriteFault(platform::SafeWriteStep::Create, 0, 0); }
    SafeWriteFault(const SafeWriteFault&) = delete;
    SafeWriteFault& operator=(const SafeWriteFault&) = delete;
};

} // namespace tess::test
