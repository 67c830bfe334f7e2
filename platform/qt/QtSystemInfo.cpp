#include "platform/qt/QtSystemInfo.h"

#include <QOperatingSystemVersion>
#include <QSysInfo>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace tess::platform {

std::optional<OsVersion> QtSystemInfo::osVersion()
{
    OsVersion v;
    const QOperatingSystemVersion current = QOperatingSystemVersion::current();
    if (current.type() == QOperatingSystemVersion::Windows) {
        // Qt runs on the NT family only.
        v.platformId = 2;
        v.major = current.majorVersion();
        v.minor = qMax(0, current.minorVersion());
        v.build = quint32(qMax(0, current.microVersion()));
        return v;
    }
    v.productName = QSysInfo::prettyProductName();
    v.kernelVersion = QSysInfo::kernelVersion();
    const QString kernel = QSysInfo::kernelType();
    if (kernel == u"linux")
        v.systemName = QStringLiteral("Linux");
    else if (kernel == u"darwin")
        v.systemName = QStringLiteral("macOS");
    else if (!kernel.isEmpty())
        v.systemName = kernel.at(0).toUpper() + kernel.mid(1);
    if (v.productName.isEmpty() && v.kernelVersion.isEmpty())
        return std::nullopt;
    return v;
}

std::optional<quint64> QtSystemInfo::physicalMemory()
{
#if defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::nullopt;
    return quint64(pages) * quint64(pageSize);
#elif defined(Q_OS_WIN)
    MEMORYSTATUSEX status;
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return std::nullopt;
    return quint64(status.ullTotalPhys);
#else
    return std::nullopt;
#endif
}

} // namespace tess::platform
