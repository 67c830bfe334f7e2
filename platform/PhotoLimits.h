#pragma once

#include <QtGlobal>

namespace tess::platform {

/// The most pixels a photo may have to be opened or previewed: about 1.2 GB as a 24-bit
/// picture.
inline constexpr qint64 MaxPhotoPixels = 400'000'000;

} // namespace tess::platform
