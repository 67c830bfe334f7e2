#pragma once

#include "info/TrsFileVersion.h"
#include "platform/SystemInfo.h"

#include <QLocale>
#include <QString>
#include <optional>

namespace tess::info {

/// The first half of the operating-system line: the system's name, "Unknown" when the
/// system does not say or is a Windows version without a name here.
QString describeOSName(const std::optional<platform::OsVersion>& os);
/// The second half: " (Build 2600: Service Pack 3)"; empty when the system does not say.
QString describeOSBuild(const std::optional<platform::OsVersion>& os);
/// The whole line: name, a blank, build ("Windows XP  (Build 2600: Service Pack 3)").
QString describeOS(const std::optional<platform::OsVersion>& os);

/// Physical memory in kilobytes, rounded, grouped in thousands: "2,096,128 KB".
QString formatPhysicalMemory(quint64 bytes, const QLocale& locale);

/// "Memory Available to Linux:": the label of the memory figure, naming the running system
/// by its short name, else by its product's name (Windows when the system does not say).
QString memoryLabel(const std::optional<platform::OsVersion>& os);

/// "Version 1.5 (Build 4)"; the release number is not shown.
QString versionLine(const TrsFileVersion& version);

/// What the About box shows besides its fixed texts.
struct AboutTexts
{
    QString version = QStringLiteral("Version 0.2 build 50");
    QString os = QStringLiteral("os");
    QString memory = QStringLiteral("0");
    /// The label before the memory figure, naming the running system.
    QString memoryLabel = QStringLiteral("Memory Available to Windows:");
};

/// The three values, worked out once: the version from \a versionText (the initial text
/// when it is missing or unreadable), the system's name and build, and its memory.
AboutTexts aboutTexts(const std::optional<QString>& versionText, platform::SystemInfo* system,
                      const QLocale& locale);

} // namespace tess::info
