#include "profiles/SaveOptions.h"

#include "platform/SafeFile.h"

#include <QFile>

namespace tess::profiles {

namespace {

const QByteArray KeepOwnCompressionKey = "KeepOwnCompression";
constexpr qint64 MaxFileBytes = 64 * 1024; // far above what the file holds

} // namespace

SaveOptions SaveOptions::read(const QString& path)
{
    SaveOptions options;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return options;
    for (const QByteArray& line : file.read(MaxFileBytes).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray value = line.mid(equals + 1).trimmed();
        if (line.left(equals).trimmed() == KeepOwnCompressionKey && (value == "0" || value == "1"))
            options.keepOwnCompression = value == "1";
    }
    return options;
}

bool SaveOptions::write(const QString& path) const
{
    const QByteArray text = KeepOwnCompressionKey + '=' + (keepOwnCompression ? '1' : '0') + '\n';
    return platform::writeFileSafely(path, text);
}

} // namespace tess::profiles
