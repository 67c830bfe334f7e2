// libFuzzer target over the profile readers of the window and the batch: any file must
// neither crash nor hang; what the window reads, the batch reads too; and what the window
// read, written and read again, comes back the same.
#include "batch/BatchSettings.h"
#include "profiles/AttributeProfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tess;

namespace {

void writeBytes(const QString& path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.tsrx"));
    writeBytes(path, QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));

    StampAttributes read = startupStampAttributes();
    profiles::AttributesTarget target(read);
    const bool ok = profiles::loadAttributeProfile(path, target, true);
    const std::optional<batch::BatchSettings> batch = batch::readBatchProfile(path);
    if (ok && !batch)
        std::abort(); // the batch converts fewer lines than the window

    if (ok) {
        writeBytes(path, profiles::profileBytes(read));
        StampAttributes again = startupStampAttributes();
        profiles::AttributesTarget againTarget(again);
        if (!profiles::loadAttributeProfile(path, againTarget, true) || !(again == read))
            std::abort();
    }
    return 0;
}
