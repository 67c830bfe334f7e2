// libFuzzer target over stamp mask expansion: the input is a mask, then after each NUL the
// value of the next tag in table order, so values may hold tags themselves.
#include "stamptext/StampMask.h"

#include <QHash>
#include <QList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    QHash<QString, QString> values;
    const QStringList& tags = tess::stamptext::stampTags();
    for (qsizetype i = 1; i < parts.size() && i <= tags.size(); ++i)
        values.insert(tags[i - 1], QString::fromUtf8(parts[i]));
    tess::stamptext::expandStampMask(QString::fromUtf8(parts.value(0)),
                                     [&values](const QString& tag) { return values.value(tag); });
    return 0;
}
