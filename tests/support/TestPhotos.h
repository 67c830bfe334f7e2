#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

namespace tess::test {

/// The folder of real camera photos and broken files shipped beside the project.
inline QString photosDir()
{
    return QStringLiteral(TESS_PHOTOS_DIR);
}

inline QString cameraPhoto(const QString& name)
{
    return photosDir() + QStringLiteral("/camera/") + name;
}

inline QString invalidPhoto(const QString& name)
{
    return photosDir() + QStringLiteral("/invalid/") + name;
}

/// File names in camera/ or invalid/, sorted.
inline QStringList photoNames(const QString& sub)
{
    return QDir(photosDir() + u'/' + sub)
        .entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, QDir::Files, QDir::Name);
}

} // namespace tess::test
