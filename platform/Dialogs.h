#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tess::platform {

/// The font a stamp is drawn in: only face, size and the two styles are kept.
struct FontChoice
{
    QString face;
    int pointSize = 12;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontChoice&) const = default;
};

/// The common dialogs: file choosers, the font dialog and the colour dialogs.
/// Each returns nothing when the user cancels.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    /// Open dialog for one photo, with a picture preview and the three JPEG filters;
    /// it remembers the last chosen file.
    virtual std::optional<QString> openPhoto(const QString& initialFolder) = 0;
    /// The same for several photos at once; every file must exist. Empty when cancelled.
    virtual QStringList openPhotos(const QString& initialFolder) = 0;
    /// Save As for a photo: accepts only existing folders, adds ".jpg" to a name that does not
    /// end in ".jpg" or ".jpeg", asks before replacing.
    virtual std::optional<QString> savePhotoAs(const QString& initialFolder) = 0;
    /// Open and save dialogs for attribute profiles ("*.tsrx").
    virtual std::optional<QString> openProfile(const QString& title,
                                               const QString& initialFolder) = 0;
    virtual std::optional<QString> saveProfile(const QString& title,
                                               const QString& initialFolder) = 0;
    /// Scalable fonts only, no effects: face, size, bold and italic; starts with \a current.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& current) = 0;
    /// Colours are 0x00BBGGRR.
    virtual std::optional<quint32> chooseColor(quint32 current) = 0;
    /// The folder browser with \a caption, starting at \a initialFolder (may be empty).
    virtual std::optional<QString> chooseFolder(const QString& caption,
                                                const QString& initialFolder) = 0;
};

/// Shell actions.
class Shell
{
public:
    virtual ~Shell() = default;
    /// Opens a web page in the user's browser; does not wait for it. False when no program
    /// could be started for it.
    virtual bool openUrl(const QString& url) = 0;
    /// Opens a document with the program the system associates with its type; false when
    /// it could not be opened.
    virtual bool openDocument(const QString& path) = 0;
    /// Shows a folder in a new file-manager window.
    virtual void showFolder(const QString& path) = 0;
};

class Prompts;

/// Opens the web page \a url; when no browser can be started, an information box gives its
/// address so that the user can open it by hand.
void openUrlOrTell(Shell& shell, Prompts& prompts, const QString& url);
/// Opens the document \a path (which exists); when no program can open it, an information
/// box gives its path.
void openDocumentOrTell(Shell& shell, Prompts& prompts, const QString& path);

} // namespace tess::platform
