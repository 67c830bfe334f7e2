#include "info/AboutTexts.h"

#include <cmath>

namespace tess::info {

namespace {

QString windowsName(const platform::OsVersion& os)
{
    if (os.platformId == 1 && os.major == 4) {
        if (os.minor == 0)
            return QStringLiteral(" Windows 95");
        if (os.minor == 10)
            return os.servicePack.size() >= 2 && os.servicePack.at(1) == u'A'
                       ? QStringLiteral("Windows 98SE")
                       : QStringLiteral("Windows 98");
        if (os.minor == 90)
            return QStringLiteral("Windows ME");
    }
    if (os.platformId == 2) {
        if (os.major <= 4)
            return QStringLiteral("Windows NT");
        if (os.major == 5 && os.minor == 0)
            return QStringLiteral("Windows 2000");
        if (os.major == 5 && os.minor == 1)
            return QStringLiteral("Windows XP");
        if (os.major == 5 && os.minor == 2)
            return QStringLiteral("Windows Server 2003");
        if (os.major == 6 && os.minor == 0)
            return QStringLiteral("Windows Vista");
        if (os.major == 6 && os.minor == 1)
            return QStringLiteral("Windows 7");
    }
    return QStringLiteral("Unknown");
}

} // namespace

QString describeOSName(const std::optional<platform::OsVersion>& os)
{
    if (!os)
        return QStringLiteral("Unknown");
    if (os->platformId == 1 || os->platformId == 2)
        return windowsName(*os);
    return os->productName.isEmpty() ? QStringLiteral("Unknown") : os->productName;
}

QString describeOSBuild(const std::optional<platform::OsVersion>& os)
{
    if (!os)
        return QString();
    QString text = QStringLiteral(" (Build ");
    if (os->platformId == 1) {
        text += QString::number(os->build & 0xFFFF);
    } else if (os->platformId == 2) {
        text += QString::number(os->build);
        if (!os->servicePack.isEmpty())
            text += QStringLiteral(": ") + os->servicePack;
    } else {
        text += os->kernelVersion.isEmpty() ? QString::number(os->build) : os->kernelVersion;
    }
    return text + u')';
}

QString describeOS(const std::optional<platform::OsVersion>& os)
{
    const QString build = describeOSBuild(os);
    return build.isEmpty() ? describeOSName(os) : describeOSName(os) + u' ' + build;
}

QString formatPhysicalMemory(quint64 bytes, const QLocale& locale)
{
    // Thousands are always grouped, also where the locale leaves them ungrouped.
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const auto kilobytes = qulonglong(std::nearbyint(double(bytes) / 1024.0));
    return grouped.toString(kilobytes) + QStringLiteral(" KB");
}

QString memoryLabel(const std::optional<platform::OsVersion>& os)
{
    QString name = QStringLiteral("Windows");
    if (os && os->platformId != 1 && os->platformId != 2) {
        if (!os->systemName.isEmpty())
            name = os->systemName;
        else if (!os->productName.isEmpty())
            name = os->productName;
    }
    return QStringLiteral("Memory Available to ") + name + u':';
}

QString versionLine(const TrsFileVersion& version)
{
    return QStringLiteral("Version ") + QString::number(version.Major) + u'.' +
           QString::number(version.Minor) + QStringLiteral(" (Build ") +
           QString::number(version.Build) + u')';
}

AboutTexts aboutTexts(const std::optional<QString>& versionText, platform::SystemInfo* system,
                      const QLocale& locale)
{
    AboutTexts texts;
    const std::optional<platform::OsVersion> os = system ? system->osVersion() : std::nullopt;
    texts.os = describeOS(os);
    texts.memoryLabel = memoryLabel(os);
    if (const std::optional<quint64> memory = system ? system->physicalMemory() : std::nullopt)
        texts.memory = formatPhysicalMemory(*memory, locale);
    TrsFileVersion version;
    if (versionText && version.LoadFromText(*versionText))
        texts.version = versionLine(version);
    return texts;
}

} // namespace tess::info
