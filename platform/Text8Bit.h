#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tess::platform {

/// Decodes 8-bit text read from a file: UTF-8 when the bytes are valid UTF-8, otherwise
/// Windows-1252 (what files written on Windows hold).
QString decode8Bit(QByteArrayView bytes);

/// Windows-1252 alone (bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D map to the C1 controls).
QString decodeWindows1252(QByteArrayView bytes);

} // namespace tess::platform
