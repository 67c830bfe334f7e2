#pragma once

#include <QString>
#include <optional>

namespace tess::platform {

/// The operating system's own account of its version.
struct OsVersion
{
    /// 1 for the Windows 95 family, 2 for the NT family, 0 for any other system.
    int platformId = 0;
    int major = 0;
    int minor = 0;
    quint32 build = 0;
    /// The service-pack text; empty without one.
    QString servicePack;
    /// Systems other than Windows: the product's name and its kernel's version.
    QString productName;
    QString kernelVersion;
    /// Systems other than Windows: the system's short name ("Linux").
    QString systemName;
};

/// Questions about the machine the program runs on.
class SystemInfo
{
public:
    virtual ~SystemInfo() = default;
    /// Nothing when the system does not say.
    virtual std::optional<OsVersion> osVersion() = 0;
    /// Total physical memory in bytes; nothing when the system does not say.
    virtual std::optional<quint64> physicalMemory() = 0;
};

} // namespace tess::platform
