#pragma once

#include <QString>

namespace tess::profiles {

/// Choices about saving kept outside the attribute profile, whose positional format older
/// versions read: a small file of their own in the data folder, one "Key=value" a line.
struct SaveOptions
{
    /// Keep the photo's own compression outside the stamp (the lossless save).
    bool keepOwnCompression = false;

    /// The file's name in the data folder, beside the default profile.
    static QString fileName() { return QStringLiteral("saving.ini"); }

    /// Reads \a path; a missing or unreadable file, and any line not understood, leave the
    /// defaults.
    static SaveOptions read(const QString& path);
    /// Writes \a path safely (the old file stays whole on failure); false on failure.
    bool write(const QString& path) const;
};

} // namespace tess::profiles
