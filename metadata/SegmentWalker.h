#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

namespace tess::metadata {

/// Walks the segments of a JPEG stream from its start of image up to its image data, by
/// their declared lengths. Fill bytes and markers without a length are stepped over; the
/// walk ends at the start of scan or end of image, at anything that is not a marker, at a
/// length below 2, at the end of the stream, or after kMaxMarkers markers. Reads only the
/// bytes asked for, so a large file costs no more than its segment heads.
class SegmentWalker
{
public:
    /// Real files have a few dozen segments before the image data.
    static constexpr int kMaxMarkers = 65536;

    /// \a in must stay open while the walker is used; it is read from position 0.
    explicit SegmentWalker(QIODevice& in);

    /// False when the stream does not begin with FF D8.
    bool isJpeg() const { return m_jpeg; }

    /// Moves to the next segment with a length. False when the walk has ended.
    bool next();

    quint8 marker() const { return m_marker; }
    /// As stored: the two length bytes plus the payload.
    quint16 length() const { return m_length; }
    /// Where the segment's FF marker byte stands in the stream.
    qint64 start() const { return m_start; }
    /// Where the marker that ended the walk stands (start of scan or end of image); -1 when
    /// the walk ended at damage or at the end of the stream, or has not ended yet.
    qint64 endMarker() const { return m_endMarker; }

    /// The first \a n bytes of the segment's payload (after the length bytes), fewer when
    /// the segment is shorter or the stream ends first.
    QByteArray payload(qint64 n) const;
    /// The segment's length bytes and payload; empty when the stream ends inside it.
    QByteArray data() const;

private:
    QByteArray readAt(qint64 pos, qint64 n) const;

    QIODevice& m_in;
    bool m_jpeg = false;
    bool m_ended = false;
    int m_markers = 0;
    qint64 m_next = 2;
    quint8 m_marker = 0;
    quint16 m_length = 0;
    qint64 m_start = -1;
    qint64 m_endMarker = -1;
};

/// True for APP0..APP15 and COM: the segments that hold metadata rather than image data.
inline bool isMetadataMarker(quint8 marker)
{
    return (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

} // namespace tess::metadata
