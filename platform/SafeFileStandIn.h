#pragma once

#include <QByteArrayView>
#include <QString>

namespace tess::platform {

/// Writes \a bytes to a temporary file beside \a destPath and renames it over the destination
/// once every byte is written, flushed and synced; on any failure the destination is left as
/// it was and \a error (when given) says why.
///
/// Stands in for the shared safe writer until it is available here: the same name and
/// signature, so its callers switch by their include alone.
bool writeFileSafely(const QString& destPath, QByteArrayView bytes, QString* error = nullptr);

} // namespace tess::platform
