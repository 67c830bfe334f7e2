#include "batch/BatchSetup.h"

#include <algorithm>

namespace tess::batch {

bool isBatchJpegName(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < slash)
        return false;
    const QString extension = path.sliced(dot).toUpper();
    return extension == u".JPG" || extension == u".JPEG";
}

QStringList batchJpegFiles(const QStringList& paths)
{
    QStringList files;
    for (const QString& path : paths) {
        if (isBatchJpegName(path))
            files.append(path);
    }
    return files;
}

QString normaliseDestinationFolder(const QString& folder)
{
    if (folder.isEmpty())
        return folder;
    QString path = folder + u'/';
    // Until none is left, so that "/out//" too ends in exactly one separator.
    while (path.contains(QStringLiteral("//")))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

QString missingBatchInput(const BatchSetupInput& input)
{
    QString items;
    if (input.savedProfile && input.profilePath.isEmpty())
        items += QStringLiteral("- A valid attribute profile.\n");
    if (input.fileCount <= 0)
        items += QStringLiteral("- At least one JPEG file to process.\n");
    if (input.destinationFolder.isEmpty())
        items += QStringLiteral("- A destination folder.\n");
    if (items.isEmpty())
        return {};
    return QStringLiteral("The following information is missing.  Please correct in order to "
                          "proceed: \n\n") +
           items;
}

} // namespace tess::batch
