#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTest>

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

/// File names in camera/ or invalid/, sorted. When there are none the calling test fails
/// (a table without rows would pass without testing anything) and gets one name of a file
/// that does not exist.
inline QStringList photoNames(const QString& sub)
{
    const QString folder = photosDir() + u'/' + sub;
    const QStringList names = QDir(folder).entryList(
        {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("No sample photos in ") + folder), __FILE__,
                     __LINE__);
        return {QStringLiteral("missing-sample-photo.jpg")};
    }
    return names;
}

} // namespace tess::test
