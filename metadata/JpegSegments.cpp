#include "metadata/JpegSegments.h"

#include "metadata/ByteCursor.h"
#include "metadata/JpegCodec.h"
#include "metadata/Orientation.h"
#include "metadata/SegmentWalker.h"
#include "platform/SafeFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>

namespace tess::metadata {

namespace {

constexpr quint8 kApp0 = 0xE0;
constexpr quint8 kApp1 = 0xE1;
constexpr quint8 kApp2 = 0xE2;
constexpr quint8 kApp13 = 0xED;
constexpr quint8 kCom = 0xFE;

const char kExifHeader[] = {'E', 'x', 'i', 'f', '\0', '\0'};
const char kIccHeader[] = "ICC_PROFILE"; // followed by its NUL in the file
constexpr int kIccHeaderSize = 12;       // "ICC_PROFILE\0"
constexpr int kIccChunkHeaderSize = 14;  // ... then sequence number and chunk count
const char kXmpHeader[] = "http://ns.adobe.com/xap/1.0/";                // and its NUL
const char kXmpExtensionHeader[] = "http://ns.adobe.com/xmp/extension/"; // and its NUL

/// True when the segment's payload (after the two length bytes) begins with \a prefix.
bool payloadStartsWith(const QByteArray& data, const char* prefix, qsizetype size)
{
    return data.size() >= 2 + size &&
           QByteArrayView(data).sliced(2).startsWith(QByteArrayView(prefix, size));
}

quint8 byteAt(const QByteArray& b, qsizetype i)
{
    return quint8(b[i]);
}

constexpr quint16 kTagImageWidth = 256;
constexpr quint16 kTagImageLength = 257;
constexpr quint16 kTagOrientation = 0x0112;
constexpr quint16 kTagThumbnailOffset = 0x0201;
constexpr quint16 kTagThumbnailLength = 0x0202;
constexpr quint16 kTagPixelXDimension = 0xA002;
constexpr quint16 kTagPixelYDimension = 0xA003;
constexpr quint16 kTagExifIfd = 0x8769;
constexpr quint16 kTagInteropIfd = 0xA005;
constexpr quint16 kTypeByte = 1;
constexpr quint16 kTypeShort = 3;
constexpr quint16 kTypeLong = 4;
constexpr int kMaxIfdDepth = 2;                         // IFD0 -> EXIF -> interoperability
constexpr qsizetype kTiffBase = 2 + sizeof kExifHeader; // in the segment data

/// One directory entry whose value sits in the entry itself, read in the block's byte order.
struct InlineValue
{
    quint32 value = 0;
    int position = 0; ///< in the segment data
    int bytes = 0;    ///< 1, 2 or 4
};

/// The entry's single BYTE, SHORT or LONG value, or with \a pair also a pair of SHORTs (the
/// first counts); nothing for any other entry.
std::optional<InlineValue> inlineValue(const ByteCursor& tiff, quint64 field, quint32 type,
                                       quint32 count, bool pair = false)
{
    const bool single =
        count == 1 && (type == kTypeByte || type == kTypeShort || type == kTypeLong);
    if (!single && !(pair && type == kTypeShort && count == 2))
        return std::nullopt;
    ByteCursor value = tiff.at(field);
    InlineValue v;
    v.bytes = type == kTypeByte ? 1 : type == kTypeShort ? 2 : 4;
    v.value = v.bytes == 1 ? value.u8() : v.bytes == 2 ? value.u16() : value.u32();
    v.position = int(kTiffBase + qsizetype(field));
    return v;
}

/// Walks IFD0 (depth 0) and the EXIF and interoperability directories; gives the offset of
/// IFD0's next directory (IFD1), 0 when none.
quint32 walkIfd(const ByteCursor& tiff, quint32 offset, int depth, std::vector<quint32>& visited,
                TImageInfo& info)
{
    if (depth > kMaxIfdDepth || std::find(visited.begin(), visited.end(), offset) != visited.end())
        return 0;
    visited.push_back(offset);
    if (!tiff.contains(offset, 2))
        return 0;
    ByteCursor entry = tiff.at(offset);
    const quint32 count = entry.u16();
    for (quint32 i = 0; i < count; ++i) {
        if (!tiff.contains(entry.pos(), 12))
            return 0; // the directory runs past the block: keep what was read
        const quint32 tag = entry.u16();
        const quint32 type = entry.u16();
        const quint32 n = entry.u32();
        const quint64 field = entry.pos();
        entry.u32();
        // Only values held in the entry itself can be read and rewritten in place; a BYTE
        // size is no size.
        const auto size =
            type == kTypeByte ? std::nullopt : inlineValue(tiff, field, type, n, true);
        if ((tag == kTagImageWidth || tag == kTagPixelXDimension) && size) {
            info.width = size->value;
            info.widthPosition = size->position;
            info.widthBytes = size->bytes;
        } else if ((tag == kTagImageLength || tag == kTagPixelYDimension) && size) {
            info.height = size->value;
            info.heightPosition = size->position;
            info.heightBytes = size->bytes;
        } else if (tag == kTagOrientation && depth == 0) {
            if (const auto v = inlineValue(tiff, field, type, n)) {
                info.orientation = v->value;
                info.orientationPosition = v->position;
                info.orientationBytes = v->bytes;
            }
        } else if (tag == kTagExifIfd || tag == kTagInteropIfd) {
            walkIfd(tiff, tiff.at(field).u32(), depth + 1, visited, info);
        }
    }
    return tiff.contains(entry.pos(), 4) ? entry.u32() : 0;
}

/// IFD1: the thumbnail's stream and its own orientation.
void walkThumbnailIfd(const ByteCursor& tiff, quint32 offset, TImageInfo& info)
{
    if (!tiff.contains(offset, 2))
        return;
    ByteCursor entry = tiff.at(offset);
    const quint32 count = entry.u16();
    std::optional<InlineValue> start, length;
    for (quint32 i = 0; i < count && tiff.contains(entry.pos(), 12); ++i) {
        const quint32 tag = entry.u16();
        const quint32 type = entry.u16();
        const quint32 n = entry.u32();
        const auto v = inlineValue(tiff, entry.pos(), type, n);
        entry.u32();
        if (tag == kTagThumbnailOffset)
            start = v;
        else if (tag == kTagThumbnailLength)
            length = v;
        else if (tag == kTagOrientation && v) {
            info.thumbnailOrientationPosition = v->position;
            info.thumbnailOrientationBytes = v->bytes;
        }
    }
    if (start && length && length->value > 0 && tiff.contains(start->value, length->value)) {
        info.thumbnailPosition = int(kTiffBase + qsizetype(start->value));
        info.thumbnailLength = int(length->value);
        info.thumbnailLengthPosition = length->position;
        info.thumbnailLengthBytes = length->bytes;
    }
}

} // namespace

std::optional<TImageInfo> TImageInfo::parse(const QByteArray& segmentData)
{
    if (!payloadStartsWith(segmentData, kExifHeader, sizeof kExifHeader) ||
        segmentData.size() < kTiffBase + 8)
        return std::nullopt;
    const QByteArrayView block = QByteArrayView(segmentData).sliced(kTiffBase);
    TImageInfo info;
    if (block.startsWith("MM"))
        info.bigEndian = true;
    else if (!block.startsWith("II"))
        return std::nullopt;
    const ByteCursor tiff(block, info.bigEndian);
    ByteCursor header = tiff.at(2);
    if (header.u16() != 42)
        return std::nullopt;
    try {
        std::vector<quint32> visited;
        if (const quint32 ifd1 = walkIfd(tiff, header.u32(), 0, visited, info))
            walkThumbnailIfd(tiff, ifd1, info);
    } catch (const ByteCursor::OutOfSpan&) {
        // cannot happen: every read is checked first; keep what was read
    }
    return info;
}

void TimgData::clear()
{
    m_sections.clear();
    m_exif = m_header = m_iptc = m_comment = m_xmp = -1;
    m_icc.clear();
    m_xmpExtension.clear();
    m_info.reset();
}

void TimgData::loadSourceSegments(const QString& path)
{
    clear();
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    const QString suffix = info.suffix().toLower();
    if (suffix != u"jpg" && suffix != u"jpeg" && suffix != u"jpe")
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    readSegments(file);
}

void TimgData::loadSourceSegments(const QByteArray& bytes)
{
    clear();
    QByteArray data = bytes;
    QBuffer buffer(&data);
    if (buffer.open(QIODevice::ReadOnly))
        readSegments(buffer);
}

void TimgData::keep(tSection section, int& roleIndex)
{
    if (roleIndex >= 0) {
        m_sections[std::size_t(roleIndex)] = std::move(section);
        return;
    }
    roleIndex = int(m_sections.size());
    m_sections.push_back(std::move(section));
}

void TimgData::readSegments(QIODevice& in)
{
    constexpr qsizetype identifierBytes = sizeof kXmpExtensionHeader; // the longest, NUL included
    SegmentWalker walker(in);
    bool extensionTooLarge = false;
    while (walker.next()) {
        const quint8 marker = walker.marker();
        if (!isMetadataMarker(marker))
            continue;
        // Which role the segment takes, from the first bytes of its payload.
        const QByteArray start = walker.payload(identifierBytes);
        auto startsWith = [&start](const char* id, qsizetype size) {
            return start.startsWith(QByteArrayView(id, size));
        };
        int unused = -1;
        int* roleIndex = nullptr;
        std::vector<int>* list = nullptr;
        switch (marker) {
        case kApp0:
            roleIndex = &m_header; // a later one takes the role over
            break;
        case kApp1:
            if (startsWith(kExifHeader, sizeof kExifHeader) && m_exif < 0)
                roleIndex = &m_exif;
            else if (startsWith(kXmpHeader, sizeof kXmpHeader) && m_xmp < 0)
                roleIndex = &m_xmp;
            else if (startsWith(kXmpExtensionHeader, sizeof kXmpExtensionHeader))
                list = &m_xmpExtension;
            break;
        case kApp2:
            if (startsWith(kIccHeader, kIccHeaderSize))
                list = &m_icc;
            break;
        case kApp13:
            if (m_iptc < 0)
                roleIndex = &m_iptc;
            break;
        case kCom:
            roleIndex = &m_comment; // a later one takes the role over
            break;
        default:
            break;
        }
        if (list) {
            if (list == &m_xmpExtension && (extensionTooLarge || int(list->size()) >= kMaxChunks)) {
                extensionTooLarge = true; // an extension carried in part would be damaged
                list->clear();
                continue;
            }
            if (int(list->size()) > kMaxChunks)
                continue; // too many chunks: iccSections() gives none
            roleIndex = &unused;
        }
        if (!roleIndex)
            continue; // not carried, not read
        QByteArray data = walker.data();
        if (data.isEmpty())
            return; // runs past the end of the file: not kept, and nothing follows
        keep(tSection{marker, walker.length(), std::move(data)}, *roleIndex);
        if (list)
            list->push_back(unused);
        if (roleIndex == &m_exif)
            m_info = TImageInfo::parse(m_sections[std::size_t(m_exif)].data);
    }
}

int TimgData::orientation() const
{
    const quint32 o = m_info ? m_info->orientation : 1;
    return o >= 1 && o <= 8 ? int(o) : 1;
}

std::vector<const tSection*> TimgData::xmpExtensionSections() const
{
    std::vector<const tSection*> out;
    for (int index : m_xmpExtension)
        out.push_back(&m_sections[std::size_t(index)]);
    return out;
}

std::vector<const tSection*> TimgData::iccSections() const
{
    // Each chunk: "ICC_PROFILE\0", its 1-based sequence number, the chunk count, profile bytes.
    std::vector<const tSection*> chunks;
    const int count = int(m_icc.size());
    if (count == 0 || count > 255)
        return chunks;
    std::vector<bool> seen(std::size_t(count) + 1, false);
    for (int index : m_icc) {
        const tSection& s = m_sections[std::size_t(index)];
        if (s.data.size() < 2 + kIccChunkHeaderSize + 1)
            return {};
        const int sequence = byteAt(s.data, 2 + kIccHeaderSize);
        const int total = byteAt(s.data, 2 + kIccHeaderSize + 1);
        if (total != count || sequence < 1 || sequence > count || seen[std::size_t(sequence)])
            return {};
        seen[std::size_t(sequence)] = true;
        if (sequence == 1) {
            // The profile header's data colour space (bytes 16..19) must match the RGB output.
            constexpr qsizetype colourSpace = 2 + kIccChunkHeaderSize + 16;
            if (s.data.size() < colourSpace + 4 ||
                QByteArrayView(s.data).sliced(colourSpace, 4) != QByteArrayView("RGB "))
                return {};
        }
        chunks.push_back(&s);
    }
    return chunks;
}

QByteArray TimgData::defaultJfifSegment()
{
    // JFIF 1.02, density in dots per inch, 300 x 300, no thumbnail.
    static const char bytes[] = {'\xFF', '\xE0', '\x00', '\x10', 'J',    'F',
                                 'I',    'F',    '\x00', '\x01', '\x02', '\x01',
                                 '\x01', '\x2C', '\x01', '\x2C', '\x00', '\x00'};
    return QByteArray(bytes, sizeof bytes);
}

namespace {

/// An XMP packet with its tiff:Orientation (attribute or element) set to 1, the packet's
/// length kept: only the digit changes.
QByteArray uprightXmp(QByteArray data)
{
    static const QByteArray name = QByteArrayLiteral("tiff:Orientation");
    for (qsizetype at = data.indexOf(name); at >= 0; at = data.indexOf(name, at + 1)) {
        qsizetype pos = at + name.size();
        auto skipBlanks = [&data, &pos] {
            while (pos < data.size() && QByteArrayView(" \t\r\n").contains(data[pos]))
                ++pos;
        };
        skipBlanks();
        if (pos < data.size() && data[pos] == '=') { // attribute: ="6" or ='6'
            ++pos;
            skipBlanks();
            if (pos >= data.size() || (data[pos] != '"' && data[pos] != '\''))
                continue;
            ++pos;
        } else if (pos < data.size() && data[pos] == '>') { // element: >6<
            ++pos;
            skipBlanks();
        } else {
            continue;
        }
        if (pos < data.size() && std::isdigit(uchar(data[pos])) &&
            (pos + 1 >= data.size() || !std::isdigit(uchar(data[pos + 1]))))
            data[pos] = '1';
    }
    return data;
}

/// Turns the EXIF block's JPEG thumbnail upright in its own space; the block is left as it
/// was when the thumbnail does not decode or its upright encoding does not fit there.
void turnThumbnail(QByteArray& data, const TImageInfo& info, int orientation)
{
    if (info.thumbnailPosition <= 0 || info.thumbnailLength <= 0 ||
        qint64(info.thumbnailPosition) + info.thumbnailLength > data.size())
        return;
    DecodeLimits limits;
    limits.maxPixels = qint64(1) << 20; // a thumbnail fits in one 64 KiB segment
    const LoadResult thumbnail = decodeJpeg(
        QByteArrayView(data).sliced(info.thumbnailPosition, info.thumbnailLength), limits);
    if (!thumbnail.ok())
        return;
    const QImage upright = uprightPicture(thumbnail.image, orientation);
    if (upright.isNull())
        return;
    for (int quality : {90, 80, 70, 60, 50}) {
        const EncodeResult encoded = JpegEncoder(upright, quality).encode();
        const qsizetype imageData = jpegImageDataStart(encoded.jpeg);
        if (!encoded.ok() || imageData < 0)
            return;
        // SOI, then the image data: the encoder's JFIF segment has no place in a thumbnail.
        const QByteArray stream = encoded.jpeg.left(2) + encoded.jpeg.mid(imageData);
        if (stream.size() > info.thumbnailLength)
            continue;
        if (stream.size() < info.thumbnailLength && info.thumbnailLengthPosition <= 0)
            return; // the shorter stream's length could not be recorded
        data.replace(info.thumbnailPosition, stream.size(), stream);
        std::fill(data.begin() + info.thumbnailPosition + stream.size(),
                  data.begin() + info.thumbnailPosition + info.thumbnailLength, '\0');
        if (info.thumbnailLengthPosition > 0)
            putUnsigned(data, info.thumbnailLengthPosition, info.thumbnailLengthBytes,
                        quint32(stream.size()), info.bigEndian);
        if (info.thumbnailOrientationPosition > 0)
            putUnsigned(data, info.thumbnailOrientationPosition, info.thumbnailOrientationBytes, 1,
                        info.bigEndian);
        return;
    }
}

} // namespace

QByteArray TimgData::exifData(QSize pictureSize, SizeRecord size,
                              OrientationRecord orientation) const
{
    QByteArray data = exifSection()->data;
    if (!m_info)
        return data;
    const TImageInfo& info = *m_info;
    if (size == SizeRecord::PictureSize && info.width > 0 && info.height > 0 &&
        (quint32(pictureSize.width()) != info.width ||
         quint32(pictureSize.height()) != info.height)) {
        auto fits = [&data](int pos, int bytes, int value) {
            return pos > 0 && pos + bytes <= data.size() && value >= 0 &&
                   (bytes == 4 || value <= 0xFFFF);
        };
        if (fits(info.heightPosition, info.heightBytes, pictureSize.height()) &&
            fits(info.widthPosition, info.widthBytes, pictureSize.width())) {
            putUnsigned(data, info.heightPosition, info.heightBytes, quint32(pictureSize.height()),
                        info.bigEndian);
            putUnsigned(data, info.widthPosition, info.widthBytes, quint32(pictureSize.width()),
                        info.bigEndian);
        }
    }
    // Any recorded orientation but 1 becomes 1: the picture written is the one shown.
    if (orientation == OrientationRecord::Upright && info.orientationPosition > 0 &&
        info.orientation != 1) {
        putUnsigned(data, info.orientationPosition, info.orientationBytes, 1, info.bigEndian);
        if (this->orientation() != 1)
            turnThumbnail(data, info, this->orientation());
    }
    return data;
}

QByteArray TimgData::metadataPrefix(QSize pictureSize, SizeRecord size,
                                    OrientationRecord orientation) const
{
    QByteArray out("\xFF\xD8", 2);
    auto append = [&out](quint8 marker, const QByteArray& data) {
        out.append(char(0xFF));
        out.append(char(marker));
        out.append(data);
    };
    if (exifSection())
        append(kApp1, exifData(pictureSize, size, orientation));
    else if (const tSection* header = headerSection())
        append(kApp0, header->data);
    else
        out.append(defaultJfifSegment());
    for (const tSection* icc : iccSections())
        append(kApp2, icc->data);
    if (const tSection* xmp = xmpSection())
        append(kApp1,
               orientation == OrientationRecord::Upright ? uprightXmp(xmp->data) : xmp->data);
    for (const tSection* extension : xmpExtensionSections())
        append(kApp1, extension->data);
    if (const tSection* iptc = iptcSection())
        append(kApp13, iptc->data);
    if (const tSection* comment = commentSection())
        append(kCom, comment->data);
    return out;
}

qsizetype jpegImageDataStart(const QByteArray& encoded)
{
    QByteArray bytes = encoded;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return -1;
    SegmentWalker walker(buffer);
    while (walker.next()) {
        if (!isMetadataMarker(walker.marker()))
            return walker.start();
    }
    return walker.endMarker();
}

QByteArray TimgData::composeJpeg(const QByteArray& encoded, QSize pictureSize, SizeRecord size,
                                 OrientationRecord orientation) const
{
    const qsizetype start = jpegImageDataStart(encoded);
    if (start < 0)
        return {};
    QByteArray out = metadataPrefix(pictureSize, size, orientation);
    out.append(QByteArrayView(encoded).sliced(start));
    return out;
}

bool TimgData::writeJpegWithSegments(const JpegEncoder& jpeg, const QString& destPath,
                                     SizeRecord size, OrientationRecord orientation,
                                     QString* error) const
{
    // Encode before touching the destination: a failed encoding leaves no trace on disk.
    const EncodeResult encoded = jpeg.encode();
    if (!encoded.ok()) {
        if (error)
            *error = encoded.error;
        return false;
    }
    const qsizetype start = jpegImageDataStart(encoded.jpeg);
    if (start < 0) {
        if (error)
            *error = QStringLiteral("The encoder produced no JPEG stream");
        return false;
    }
    const QByteArray prefix = metadataPrefix(jpeg.size(), size, orientation);

    platform::SafeFileWriter file(destPath);
    file.write(prefix);
    file.write(QByteArrayView(encoded.jpeg).sliced(start));
    return file.commit(error);
}

} // namespace tess::metadata
