#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace tess::profiles {

/// The text of the profile at `path`: the file is read whole, a UTF-8 byte-order mark in
/// front is dropped, line 1 is compared with the header byte for byte, and the bytes are
/// decoded as UTF-8, else Windows-1252. Nothing when the file can't be read, is far too
/// large to be a profile, does not begin with the header, or has a line of more than
/// `MaxProfileLineLength` characters.
std::optional<QString> readProfileText(const QString& path);

/// Hands out the lines of a profile's text one by one: CR LF, LF and CR all end a line,
/// and a break at the very end does not start another line. Past the end every line is
/// empty.
class ProfileLines
{
public:
    explicit ProfileLines(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    QStringView next();
    /// Skips the marker lines after line 27, up to and including "-12-" and twelve lines at
    /// most. A file whose markers begin before line 28 (an older, shorter version of the
    /// format) ends them sooner; skipping a fixed twelve lines there would swallow its
    /// first stamp text entries.
    void skipMarkers();

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace tess::profiles
