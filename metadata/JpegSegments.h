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

/// What the saved EXIF block records as the image size.
enum class SizeRecord
{
    Unchanged,   ///< as the source recorded it
    PictureSize, ///< the size of the picture written
};

/// What the saved metadata records as the orientation.
enum class OrientationRecord
{
    Upright,  ///< 1: the picture written is the upright picture (the tag was applied)
    AsStored, ///< as the source recorded it: the picture written has the source's pixels
};

/// What an EXIF block records that the writer may correct, and where it is stored. Byte
/// positions are inside the EXIF segment's data; 0 means not recorded (or not stored where
/// it can be rewritten in place).
struct TImageInfo
{
    bool bigEndian = false;
    quint32 width = 0;
    quint32 height = 0;
    int widthPosition = 0;
    int heightPosition = 0;
    /// Width in bytes of each value field's entry type: 2 for SHORT, 4 for LONG.
    int widthBytes = 0;
    int heightBytes = 0;
    /// IFD0's Orientation as recorded (0: none), and its value field.
    quint32 orientation = 0;
    int orientationPosition = 0;
    int orientationBytes = 0;
    /// The thumbnail's own Orientation field in IFD1, if it has one (rare).
    int thumbnailOrientationPosition = 0;
    int thumbnailOrientationBytes = 0;
    /// The JPEG thumbnail of IFD1: where its stream lies, and its length field.
    int thumbnailPosition = 0;
    int thumbnailLength = 0;
    int thumbnailLengthPosition = 0;
    int thumbnailLengthBytes = 0;

    /// Parses the data of an APP1 segment whose payload begins with "Exif\0\0". Walks IFD0
    /// and the EXIF and interoperability directories (the last width and height entries met
    /// count), and IFD1 for the thumbnail. Gives nothing when the TIFF header is not
    /// understood. Never reads outside data.
    static std::optional<TImageInfo> parse(const QByteArray& segmentData);
};

/// The metadata segments of one source JPEG, kept to be written in front of a new encoding.
class TimgData
{
public:
    /// ICC chunks and XMP extension segments kept at most; a larger set is not carried.
    static constexpr int kMaxChunks = 255;

    /// Reads and classifies the metadata segments before the image data of the file at
    /// \a path. A missing, unreadable or non-JPEG file (by extension: .jpg, .jpeg, .jpe, or
    /// by content) provides no segments; a damaged segment list keeps what was read before
    /// the damage.
    void loadSourceSegments(const QString& path);
    /// The same over bytes in memory (no extension check).
    void loadSourceSegments(const QByteArray& bytes);

    /// Encodes \a jpeg and writes the destination file: SOI, the kept metadata segments,
    /// then the new encoding's tables, frame and scans. The file is written beside
    /// \a destPath under a temporary name and renamed over it when complete; on any failure
    /// an existing destination is left as it was, and \a error tells why.
    bool writeJpegWithSegments(const JpegEncoder& jpeg, const QString& destPath, SizeRecord size,
                               OrientationRecord orientation, QString* error = nullptr) const;

    /// The output file's bytes for an already encoded stream (complete, SOI to EOI) of a
    /// picture of \a pictureSize; empty when \a encoded is not a JPEG stream.
    QByteArray composeJpeg(const QByteArray& encoded, QSize pictureSize, SizeRecord size,
                           OrientationRecord orientation) const;

    /// The kept segments, in file order.
    const std::vector<tSection>& sections() const { return m_sections; }
    const tSection* exifSection() const { return role(m_exif); }
    const tSection* headerSection() const { return role(m_header); }
    const tSection* iptcSection() const { return role(m_iptc); }
    const tSection* commentSection() const { return role(m_comment); }
    /// The standard XMP packet (APP1 "http://ns.adobe.com/xap/1.0/\0").
    const tSection* xmpSection() const { return role(m_xmp); }
    /// Its extension segments (APP1 "http://ns.adobe.com/xmp/extension/\0") in file order.
    std::vector<const tSection*> xmpExtensionSections() const;
    /// The ICC colour profile's APP2 segments in file order, when they form one complete
    /// RGB profile; otherwise none (a partial or foreign profile would misstate the colours).
    std::vector<const tSection*> iccSections() const;
    const std::optional<TImageInfo>& imageInfo() const { return m_info; }
    /// The EXIF Orientation to apply to the stored pixels: 1..8, and 1 when none or unknown.
    int orientation() const;

    /// The default JFIF APP0 segment written when the source provides none (marker included).
    static QByteArray defaultJfifSegment();

private:
    void clear();
    void readSegments(QIODevice& in);
    const tSection* role(int index) const
    {
        return index >= 0 ? &m_sections[std::size_t(index)] : nullptr;
    }
    /// Keeps \a section in \a roleIndex's place, or as a new one when it has none.
    void keep(tSection section, int& roleIndex);
    /// The metadata part of the output: SOI and segments, with the corrections applied.
    QByteArray metadataPrefix(QSize pictureSize, SizeRecord size,
                              OrientationRecord orientation) const;
    QByteArray exifData(QSize pictureSize, SizeRecord size, OrientationRecord orientation) const;

    std::vector<tSection> m_sections;
    int m_exif = -1;
    int m_header = -1;
    int m_iptc = -1;
    int m_comment = -1;
    int m_xmp = -1;
    std::vector<int> m_icc;
    std::vector<int> m_xmpExtension;
    std::optional<TImageInfo> m_info;
};

/// Where the image data (tables, frame, scans) of an encoded stream begins: at its first
/// segment that is not APPn or COM. -1 when the stream is not a JPEG or ends before it.
qsizetype jpegImageDataStart(const QByteArray& encoded);

} // namespace tess::metadata
