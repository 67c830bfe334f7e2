#include "metadata/JpegSegments.h"

#include "metadata/JpegCodec.h"
#include "platform/SafeFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tess::metadata {

namespace {

constexpr quint8 kApp0 = 0xE0;
constexpr quint8 kApp1 = 0xE1;
constexpr quint8 kApp2 = 0xE2;
constexpr quint8 kApp13 = 0xED;
constexpr quint8 kCom = 0xFE;
constexpr quint8 kSos = 0xDA;
constexpr quint8 kEoi = 0xD9;

constexpr int kFifthSegment = 5;

const char kExifHeader[] = {'E', 'x', 'i', 'f', '\0', '\0'};
const char kIccHeader[] = "ICC_PROFILE"; // followed by its NUL in the file
constexpr int kIccHeaderSize = 12;       // "ICC_PROFILE\0"
constexpr int kIccChunkHeaderSize = 14;  // ... then sequence number and chunk count

/// True when the segment's payload (after the two length bytes) begins with \a prefix.
bool payloadStartsWith(const QByteArray& data, const char* prefix, qsizetype size)
{
    return data.size() >= 2 + size &&
           QByteArrayView(data).sliced(2).startsWith(QByteArrayView(prefix, size));
}

bool isIccSegment(const tSection& s)
{
    return s.marker == kApp2 && payloadStartsWith(s.data, kIccHeader, kIccHeaderSize);
}

/// Markers that stand alone, with no length: none belongs among the metadata segments.
bool isStandalone(quint8 marker)
{
    return marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

quint8 byteAt(const QByteArray& b, qsizetype i)
{
    return quint8(b[i]);
}

/// Reads TIFF values in the block's byte order, bounds-checked against the segment data.
class TiffReader
{
public:
    TiffReader(const QByteArray& data, qsizetype base, bool bigEndian)
        : m_data(data), m_base(base), m_bigEndian(bigEndian)
    {}

    /// Absolute position in the segment data of a TIFF offset, if \a bytes fit there.
    std::optional<qsizetype> at(qint64 offset, qint64 bytes) const
    {
        const qint64 pos = qint64(m_base) + offset;
        if (offset < 0 || pos + bytes > qint64(m_data.size()))
            return std::nullopt;
        return qsizetype(pos);
    }

    quint32 u16(qsizetype pos) const
    {
        const quint32 a = byteAt(m_data, pos), b = byteAt(m_data, pos + 1);
        return m_bigEndian ? (a << 8 | b) : (b << 8 | a);
    }

    quint32 u32(qsizetype pos) const
    {
        const quint32 hi = u16(m_bigEndian ? pos : pos + 2);
        const quint32 lo = u16(m_bigEndian ? pos + 2 : pos);
        return hi << 16 | lo;
    }

private:
    const QByteArray& m_data;
    qsizetype m_base;
    bool m_bigEndian;
};

constexpr quint16 kTagImageWidth = 256;
constexpr quint16 kTagImageLength = 257;
constexpr quint16 kTagPixelXDimension = 0xA002;
constexpr quint16 kTagPixelYDimension = 0xA003;
constexpr quint16 kTagExifIfd = 0x8769;
constexpr quint16 kTagInteropIfd = 0xA005;
constexpr quint16 kTypeShort = 3;
constexpr quint16 kTypeLong = 4;
constexpr int kMaxIfdDepth = 2; // IFD0 -> EXIF -> interoperability

void walkIfd(const TiffReader& tiff, quint32 offset, int depth, std::vector<quint32>& visited,
             TImageInfo& info)
{
    if (depth > kMaxIfdDepth || std::find(visited.begin(), visited.end(), offset) != visited.end())
        return;
    visited.push_back(offset);
    const auto countPos = tiff.at(offset, 2);
    if (!countPos)
        return;
    const quint32 count = tiff.u16(*countPos);
    for (quint32 i = 0; i < count; ++i) {
        const auto entry = tiff.at(qint64(offset) + 2 + 12 * qint64(i), 12);
        if (!entry)
            break; // the directory runs past the block: keep what was read
        const quint32 tag = tiff.u16(*entry);
        const quint32 type = tiff.u16(*entry + 2);
        const quint32 n = tiff.u32(*entry + 4);
        const qsizetype valuePos = *entry + 8;
        // Only values held in the entry itself can be read and rewritten in place.
        const bool inlineSize =
            (type == kTypeShort && (n == 1 || n == 2)) || (type == kTypeLong && n == 1);
        if ((tag == kTagImageWidth || tag == kTagPixelXDimension) && inlineSize) {
            info.widthBytes = type == kTypeShort ? 2 : 4;
            info.width = info.widthBytes == 2 ? tiff.u16(valuePos) : tiff.u32(valuePos);
            info.widthPosition = int(valuePos);
        } else if ((tag == kTagImageLength || tag == kTagPixelYDimension) && inlineSize) {
            info.heightBytes = type == kTypeShort ? 2 : 4;
            info.height = info.heightBytes == 2 ? tiff.u16(valuePos) : tiff.u32(valuePos);
            info.heightPosition = int(valuePos);
        } else if (tag == kTagExifIfd || tag == kTagInteropIfd) {
            walkIfd(tiff, tiff.u32(valuePos), depth + 1, visited, info);
        }
    }
}

void putValue(QByteArray& data, int pos, int bytes, quint32 value, bool bigEndian)
{
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
        data[pos + i] = char((value >> shift) & 0xFF);
    }
}

} // namespace

std::optional<TImageInfo> TImageInfo::parse(const QByteArray& segmentData)
{
    constexpr qsizetype tiffBase = 2 + sizeof kExifHeader;
    if (!payloadStartsWith(segmentData, kExifHeader, sizeof kExifHeader) ||
        segmentData.size() < tiffBase + 8)
        return std::nullopt;
    TImageInfo info;
    const char* order = segmentData.constData() + tiffBase;
    if (order[0] == 'I' && order[1] == 'I')
        info.bigEndian = false;
    else if (order[0] == 'M' && order[1] == 'M')
        info.bigEndian = true;
    else
        return std::nullopt;
    const TiffReader tiff(segmentData, tiffBase, info.bigEndian);
    if (tiff.u16(tiffBase + 2) != 42)
        return std::nullopt;
    std::vector<quint32> visited;
    walkIfd(tiff, tiff.u32(tiffBase + 4), 0, visited, info);
    return info;
}

void TimgData::clear()
{
    m_sections.clear();
    m_exif = m_header = m_iptc = m_comment = -1;
    m_icc.clear();
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
    QBuffer buffer;
    buffer.setData(bytes);
    if (buffer.open(QIODevice::ReadOnly))
        readSegments(buffer);
}

void TimgData::readSegments(QIODevice& in)
{
    char c = 0;
    if (!in.getChar(&c) || quint8(c) != 0xFF || !in.getChar(&c) || quint8(c) != 0xD8)
        return;
    for (int read = 0; read < kMaxSegments; ++read) {
        // A segment begins with FF, possibly repeated as fill; anything else is damage.
        if (!in.getChar(&c) || quint8(c) != 0xFF)
            return;
        do {
            if (!in.getChar(&c))
                return;
        } while (quint8(c) == 0xFF);
        const quint8 marker = quint8(c);
        if (marker == kSos || marker == kEoi || isStandalone(marker))
            return;

        char lengthBytes[2];
        if (in.read(lengthBytes, 2) != 2)
            return;
        const quint16 length = quint16(quint8(lengthBytes[0]) << 8 | quint8(lengthBytes[1]));
        if (length < 2)
            return;
        tSection section{marker, length, QByteArray(length, Qt::Uninitialized)};
        section.data[0] = lengthBytes[0];
        section.data[1] = lengthBytes[1];
        if (in.read(section.data.data() + 2, length - 2) != length - 2)
            return; // runs past the end of the file: the segment is not kept

        m_sections.push_back(std::move(section));
        const int position = int(m_sections.size());
        const int index = position - 1;
        if (position == kFifthSegment && m_exif < 0 && m_iptc < 0 && m_comment < 0)
            return;

        const tSection& s = m_sections.back();
        switch (marker) {
        case kApp0:
            m_header = index;
            break;
        case kApp1:
            // Only a real EXIF block takes the role; an XMP packet in front of it does not.
            if (position <= kFifthSegment && m_exif < 0 &&
                payloadStartsWith(s.data, kExifHeader, sizeof kExifHeader)) {
                m_exif = index;
                m_info = TImageInfo::parse(s.data);
            } else {
                m_sections.pop_back(); // dropped; its place is reused
            }
            break;
        case kApp2:
            if (isIccSegment(s))
                m_icc.push_back(index);
            break;
        case kApp13:
            if (m_iptc < 0)
                m_iptc = index;
            break;
        case kCom:
            m_comment = index;
            break;
        default:
            break; // kept without a role, never written
        }
    }
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

QByteArray TimgData::metadataPrefix(QSize pictureSize, bool adjustSize) const
{
    QByteArray out("\xFF\xD8", 2);
    auto append = [&out](quint8 marker, const QByteArray& data) {
        out.append(char(0xFF));
        out.append(char(marker));
        out.append(data);
    };
    if (const tSection* exif = exifSection()) {
        QByteArray data = exif->data;
        const TImageInfo* info = m_info ? &*m_info : nullptr;
        if (adjustSize && info && info->width > 0 && info->height > 0 &&
            (quint32(pictureSize.width()) != info->width ||
             quint32(pictureSize.height()) != info->height)) {
            auto fits = [&data](int pos, int bytes, int value) {
                return pos > 0 && pos + bytes <= data.size() && value >= 0 &&
                       (bytes == 4 || value <= 0xFFFF);
            };
            if (fits(info->heightPosition, info->heightBytes, pictureSize.height()) &&
                fits(info->widthPosition, info->widthBytes, pictureSize.width())) {
                putValue(data, info->heightPosition, info->heightBytes,
                         quint32(pictureSize.height()), info->bigEndian);
                putValue(data, info->widthPosition, info->widthBytes, quint32(pictureSize.width()),
                         info->bigEndian);
            }
        }
        append(kApp1, data);
    } else if (const tSection* header = headerSection()) {
        append(kApp0, header->data);
    } else {
        out.append(defaultJfifSegment());
    }
    for (const tSection* icc : iccSections())
        append(kApp2, icc->data);
    if (const tSection* iptc = iptcSection())
        append(kApp13, iptc->data);
    if (const tSection* comment = commentSection())
        append(kCom, comment->data);
    return out;
}

qsizetype jpegImageDataStart(const QByteArray& encoded)
{
    if (encoded.size() < 2 || byteAt(encoded, 0) != 0xFF || byteAt(encoded, 1) != 0xD8)
        return -1;
    qsizetype pos = 2;
    for (quint8 marker : {kApp0, kApp1, kApp13, kCom}) {
        if (pos + 4 > encoded.size() || byteAt(encoded, pos) != 0xFF ||
            byteAt(encoded, pos + 1) != marker)
            continue;
        const qsizetype length = byteAt(encoded, pos + 2) << 8 | byteAt(encoded, pos + 3);
        if (length >= 2 && pos + 2 + length <= encoded.size())
            pos += 2 + length;
    }
    return pos;
}

QByteArray TimgData::composeJpeg(const QByteArray& encoded, QSize pictureSize,
                                 bool adjustSize) const
{
    const qsizetype start = jpegImageDataStart(encoded);
    if (start < 0)
        return {};
    QByteArray out = metadataPrefix(pictureSize, adjustSize);
    out.append(QByteArrayView(encoded).sliced(start));
    return out;
}

bool TimgData::writeJpegWithSegments(const JpegEncoder& jpeg, const QString& destPath,
                                     bool adjustSize, QString* error) const
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
    const QByteArray prefix = metadataPrefix(jpeg.size(), adjustSize);

    platform::SafeFileWriter file(destPath);
    file.write(prefix);
    file.write(QByteArrayView(encoded.jpeg).sliced(start));
    return file.commit(error);
}

} // namespace tess::metadata
