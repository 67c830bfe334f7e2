#pragma once

#include <QString>
#include <QStringList>

namespace tess::batch {

/// The JPEG rule of the file list: the file name's extension (from its last dot), in
/// upper case, is ".JPG" or ".JPEG".
bool isBatchJpegName(const QString& path);

/// \a paths that pass the JPEG rule, in their order; the others are left out silently.
QStringList batchJpegFiles(const QStringList& paths);

/// A destination folder a file name can be appended to: a non-empty path gets a "/"
/// appended, then doubled separators become single ones ("/out" and "/out/" give "/out/",
/// the root stays "/"). An empty path stays empty.
QString normaliseDestinationFolder(const QString& folder);

/// What the setup dialog holds when OK is pressed.
struct BatchSetupInput
{
    bool savedProfile = false; ///< "&Saved Attributes Profile:" is chosen
    QString profilePath;
    int fileCount = 0;
    QString destinationFolder;
};

/// The text of the error box for incomplete input, or empty when nothing is missing.
QString missingBatchInput(const BatchSetupInput& input);

} // namespace tess::batch
