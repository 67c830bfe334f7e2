#include "metadata/SegmentWalker.h"

#include <QIODevice>

namespace tess::metadata {

namespace {

constexpr quint8 kSos = 0xDA;
constexpr quint8 kEoi = 0xD9;

/// Markers that stand alone, with no length field (TEM, RSTn, SOI).
bool hasNoLength(quint8 marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

} // namespace

SegmentWalker::SegmentWalker(QIODevice& in) : m_in(in)
{
    const QByteArray soi = readAt(0, 2);
    m_jpeg = soi.size() == 2 && quint8(soi[0]) == 0xFF && quint8(soi[1]) == 0xD8;
    m_ended = !m_jpeg;
}

QByteArray SegmentWalker::readAt(qint64 pos, qint64 n) const
{
    if (n <= 0 || !m_in.seek(pos))
        return {};
    return m_in.read(n);
}

bool SegmentWalker::next()
{
    while (!m_ended && m_markers < kMaxMarkers) {
        ++m_markers;
        const qint64 pos = m_next;
        const QByteArray head = readAt(pos, 4);
        if (head.size() < 2 || quint8(head[0]) != 0xFF)
            break;
        const quint8 marker = quint8(head[1]);
        if (marker == 0xFF) { // a fill byte before the marker
            m_next = pos + 1;
            continue;
        }
        if (marker == kSos || marker == kEoi) {
            m_endMarker = pos;
            break;
        }
        if (hasNoLength(marker)) {
            m_next = pos + 2;
            continue;
        }
        if (marker == 0x00 || head.size() < 4)
            break;
        const quint16 length = quint16(quint8(head[2]) << 8 | quint8(head[3]));
        if (length < 2)
            break;
        m_marker = marker;
        m_length = length;
        m_start = pos;
        m_next = pos + 2 + length;
        return true;
    }
    m_ended = true;
    return false;
}

QByteArray SegmentWalker::payload(qint64 n) const
{
    return readAt(m_start + 4, qMin<qint64>(n, m_length - 2));
}

QByteArray SegmentWalker::data() const
{
    QByteArray bytes = readAt(m_start + 2, m_length);
    if (bytes.size() != m_length)
        return {};
    return bytes;
}

} // namespace tess::metadata
