#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tess::test {

/// The whole file, or nothing when it can't be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Creates or replaces \a path with \a bytes; false when it could not be written whole.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// Writes \a bytes to \a name in \a dir; its path, or empty when it could not be written.
inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    return writeFile(path, bytes) ? path : QString();
}

} // namespace tess::test
