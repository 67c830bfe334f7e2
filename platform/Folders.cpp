#include "platform/Folders.h"

#include <QDir>
#include <QStandardPaths>

namespace tess::platform {

QString Folders::dataFolder() const
{
    return documentsFolder() + QStringLiteral("/Orvane/Tessarine/1/");
}

QString SystemFolders::documentsFolder() const
{
    QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty())
        path = QDir::homePath();
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool ensureDataFolder(const Folders& folders)
{
    const QString path = folders.dataFolder();
    if (QDir(path).exists())
        return true;
    return QDir().mkpath(path);
}

} // namespace tess::platform
