#pragma once

#include "app/attributes/StampAttributes.h"
#include "profiles/AttributeProfile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTest>

namespace tess::test {

/// A JPEG of \a size at \a path: a gradient shifted by \a seed, so every region and every
/// photo differs.
inline void makeJpeg(const QString& path, QSize size, int seed = 0)
{
    QImage image(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            row[3 * x] = uchar((x * 255 / qMax(1, size.width() - 1) + seed * 37) & 0xFF);
            row[3 * x + 1] = uchar(y * 255 / qMax(1, size.height() - 1));
            row[3 * x + 2] = uchar(128 + seed * 11);
        }
    }
    QVERIFY(image.save(path, "JPEG", 95));
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The lines of the profile the program writes for \a attributes.
inline QStringList profileLines(const StampAttributes& attributes)
{
    QStringList lines =
        QString::fromUtf8(profiles::profileBytes(attributes)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

inline void writeProfile(const QString& path, const QStringList& lines)
{
    writeBytes(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

} // namespace tess::test
