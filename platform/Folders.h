#pragma once

#include <QString>

namespace tess::platform {

/// Where the user's documents live.
class Folders
{
public:
    virtual ~Folders() = default;
    /// The documents folder, without a trailing separator.
    virtual QString documentsFolder() const = 0;
    /// The data folder: the documents folder followed by "/Orvane/Tessarine/1/"
    /// (ends in a separator).
    QString dataFolder() const;
};

class SystemFolders : public Folders
{
public:
    QString documentsFolder() const override;
};

/// Creates the data folder with every missing folder above it; failures are silent.
bool ensureDataFolder(const Folders& folders);

} // namespace tess::platform
