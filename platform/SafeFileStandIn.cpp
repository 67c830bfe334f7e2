#include "platform/SafeFileStandIn.h"

#include <QSaveFile>
#include <unistd.h>

namespace tess::platform {

bool writeFileSafely(const QString& destPath, QByteArrayView bytes, QString* error)
{
    QSaveFile file(destPath);
    file.setDirectWriteFallback(false); // never write a destination in place
    // commit() renames even when the flush of its last buffered bytes failed: flush and sync
    // here, where a failure can still be seen.
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), bytes.size()) == bytes.size() && file.flush() &&
                         ::fsync(file.handle()) == 0;
    if (!written) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tess::platform
