#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QIODevice;

namespace tess::metadata {

class JpegEncoder;

/// One segment of a JPEG file, as stored there.
struct tSection
{
    quint8 marker = 0;  ///< the marker code after FF (E0 = APP0, E1 = APP1, ED = APP13, FE = COM)
    quint16 length = 0; ///< as stored: the two length bytes plus the payload
    QByteArray data;    ///< `length` bytes: the big-endian length, then the payload
};

/// The image size recorded in an EXIF block, and where it is stored.
struct TImageInfo
{
    bool bigEndian = false;
    quint32 width = 0;
    quint32 height = 0;
    /// Byte positions of the value fields inside the EXIF segment's data (0: not recorded).
    int widthPosition = 0;
    int heightPosition = 0;
    /// Width in bytes of each value field's entry type: 2 for SHORT, 4 for LONG.
    int widthBytes = 0;
    int heightBytes = 0;

    /// Parses the data of an APP1 segment whose payload begins with "Exif\0\0". Walks IFD0
    /// and the EXIF and interoperability directories; the last width and height entries met
    /// count. Gives nothing when the TIFF header is not understood. Never reads outside data.
    static std::optional<TImageInfo> parse(const QByteArray& segmentData);
};

/// The metadata segments of one source JPEG, kept to be written in front of a new encoding.
class TimgData
{
public:
    static constexpr int kMaxSegments = 20;

    /// Reads and classifies the metadata segments at the start of the file at \a path. A
    /// missing, unreadable or non-JPEG file (by extension: .jpg, .jpeg, .jpe, or by content)
    /// provides no segments; a damaged segment list keeps what was read before the damage.
    void loadSourceSegments(const QString& path);
    /// The same over bytes in memory (no extension check).
    void loadSourceSegments(const QByteArray& bytes);

    /// Encodes \a jpeg and writes the destination file: SOI, the kept metadata segments,
    /// then the new encoding's tables, frame and scans. The file is written beside
    /// \a destPath under a temporary name and renamed over it when complete; on any failure
    /// an existing destination is left as it was, and \a error tells why. With \a adjustSize
    /// the EXIF block's recorded size is corrected to the picture's.
    bool writeJpegWithSegments(const JpegEncoder& jpeg, const QString& destPath, bool adjustSize,
                               QString* error = nullptr) const;

    /// The output file's bytes for an already encoded stream (complete, SOI to EOI) of a
    /// picture of \a pictureSize; empty when \a encoded is not a JPEG stream.
    QByteArray composeJpeg(const QByteArray& encoded, QSize pictureSize, bool adjustSize) const;

    const std::vector<tSection>& sections() const { return m_sections; }
    const tSection* exifSection() const { return role(m_exif); }
    const tSection* headerSection() const { return role(m_header); }
    const tSection* iptcSection() const { return role(m_iptc); }
    const tSection* commentSection() const { return role(m_comment); }
    /// The ICC colour profile's APP2 segments in file order, when they form one complete
    /// RGB profile; otherwise none (a partial or foreign profile would misstate the colours).
    std::vector<const tSection*> iccSections() const;
    const std::optional<TImageInfo>& imageInfo() const { return m_info; }

    /// The default JFIF APP0 segment written when the source provides none (marker included).
    static QByteArray defaultJfifSegment();

private:
    void clear();
    void readSegments(QIODevice& in);
    const tSection* role(int index) const
    {
        return index >= 0 ? &m_sections[std::size_t(index)] : nullptr;
    }
    /// The metadata part of the output: SOI and segments, with the size correction applied.
    QByteArray metadataPrefix(QSize pictureSize, bool adjustSize) const;

    std::vector<tSection> m_sections;
    int m_exif = -1;
    int m_header = -1;
    int m_iptc = -1;
    int m_comment = -1;
    std::vector<int> m_icc;
    std::optional<TImageInfo> m_info;
};

/// Where the image data (tables, frame, scans) of an encoded stream begins: after SOI and,
/// each at most once and in this order, an APP0, APP1, APP13 and COM segment. -1 when the
/// stream does not begin with SOI.
qsizetype jpegImageDataStart(const QByteArray& encoded);

} // namespace tess::metadata
