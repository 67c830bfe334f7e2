#include "profiles/ProfileText.h"

#include "platform/Text8Bit.h"
#include "profiles/AttributeProfile.h"
#include "profiles/ProfileLayout.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tess::profiles {

namespace {

/// What some editors put in front of a UTF-8 file.
constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool startsWithHeaderLine(QByteArrayView bytes)
{
    const QByteArray header = ProfileHeader.toLatin1();
    if (!bytes.startsWith(header))
        return false;
    return bytes.size() == header.size() || bytes[header.size()] == '\r' ||
           bytes[header.size()] == '\n';
}

/// Far above any font name or mask a person types; a longer line would cost minutes of
/// work wherever it is drawn or logged. Counted in characters, so a file the program wrote
/// from what it read is never refused for UTF-8 taking more bytes than Windows-1252.
bool hasOverlongLine(QStringView text)
{
    qsizetype length = 0;
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n')
            length = 0;
        else if (++length > MaxProfileLineLength)
            return true;
    }
    return false;
}

} // namespace

std::optional<QString> readProfileText(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxProfileBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Room for the size found when opening and one byte more, so a file that grew past the
    // limit since is still refused; not the whole limit, which would cost 64 MB each read.
    const QByteArray read = file.read(std::min(file.size(), MaxProfileBytes) + 1);
    if (file.error() != QFileDevice::NoError || read.size() > MaxProfileBytes)
        return std::nullopt;
    QByteArrayView bytes(read);
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    if (!startsWithHeaderLine(bytes))
        return std::nullopt;
    // The header is plain ASCII, so it is one line in either decoding.
    QString text = platform::decode8Bit(bytes);
    if (hasOverlongLine(text))
        return std::nullopt;
    return text;
}

QStringView ProfileLines::next()
{
    if (atEnd())
        return {};
    const qsizetype start = m_pos;
    qsizetype end = start;
    while (end < m_text.size() && !isLineBreak(m_text[end]))
        ++end;
    m_pos = end;
    if (m_pos < m_text.size()) {
        const bool crlf =
            m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n';
        m_pos += crlf ? 2 : 1;
    }
    return m_text.sliced(start, end - start);
}

void ProfileLines::skipMarkers()
{
    for (int i = 0; i < MarkerLineCount && !atEnd(); ++i) {
        if (next() == u"-12-")
            return;
    }
}

} // namespace tess::profiles
