#include "profiles/ProfileText.h"

#include "platform/Text8Bit.h"
#include "profiles/AttributeProfile.h"
#include "profiles/ProfileLayout.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

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
/// work wherever it is drawn or logged.
bool hasOverlongLine(QByteArrayView bytes)
{
    qsizetype length = 0;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n')
            length = 0;
        else if (++length > MaxProfileLineBytes)
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
    const QByteArray read = file.read(MaxProfileBytes + 1);
    if (file.error() != QFileDevice::NoError || read.size() > MaxProfileBytes)
        return std::nullopt;
    QByteArrayView bytes(read);
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    if (!startsWithHeaderLine(bytes) || hasOverlongLine(bytes))
        return std::nullopt;
    // The header is plain ASCII, so it is one line in either decoding.
    return platform::decode8Bit(bytes);
}

QStringView ProfileLines::next()
{
    if (atEnd())
        return {};
    const qsizetype start = pos_;
    qsizetype end = start;
    while (end < text_.size() && !isLineBreak(text_[end]))
        ++end;
    pos_ = end;
    if (pos_ < text_.size()) {
        const bool crlf =
            text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n';
        pos_ += crlf ? 2 : 1;
    }
    return text_.sliced(start, end - start);
}

void ProfileLines::skipMarkers()
{
    for (int i = 0; i < MarkerLineCount && !atEnd(); ++i) {
        if (next() == u"-12-")
            return;
    }
}

} // namespace tess::profiles
