#pragma once

#include "platform/SystemInfo.h"

namespace tess::platform {

/// The system's version through QSysInfo and QOperatingSystemVersion; the physical memory
/// from sysconf.
class QtSystemInfo : public SystemInfo
{
public:
    std::optional<OsVersion> osVersion() override;
    std::optional<quint64> physicalMemory() override;
};

} // namespace tess::platform
