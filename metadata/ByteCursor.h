#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace tess::metadata {

/// Reads numbers of one byte order from a span of bytes, from a position that moves on with
/// each read. Every read is checked against the span: one that would pass its end throws
/// ByteCursor::OutOfSpan and reads nothing, so no input can make it read outside the span.
class ByteCursor
{
public:
    struct OutOfSpan
    {};

    ByteCursor(QByteArrayView span, bool bigEndian) : m_span(span), m_bigEndian(bigEndian) {}

    qsizetype size() const { return m_span.size(); }
    bool bigEndian() const { return m_bigEndian; }
    quint64 pos() const { return m_pos; }

    /// True when \a n bytes from \a offset lie inside the span.
    bool contains(quint64 offset, quint64 n) const
    {
        const auto size = quint64(m_span.size());
        return offset <= size && n <= size - offset;
    }

    /// A cursor over the same span at \a offset (which may be anywhere; reads check it).
    ByteCursor at(quint64 offset) const
    {
        ByteCursor c = *this;
        c.m_pos = offset;
        return c;
    }

    quint8 u8() { return quint8(take(1)[0]); }
    quint16 u16()
    {
        const auto* p = reinterpret_cast<const quint8*>(take(2));
        return m_bigEndian ? quint16((p[0] << 8) | p[1]) : quint16((p[1] << 8) | p[0]);
    }
    quint32 u32()
    {
        const auto* p = reinterpret_cast<const quint8*>(take(4));
        return m_bigEndian ? quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]
                           : quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
    }

    /// Up to \a n bytes from the position, fewer at the end of the span; moves past them.
    QByteArrayView available(quint64 n)
    {
        if (m_pos >= quint64(m_span.size()))
            return {};
        const auto count = qsizetype(qMin<quint64>(n, quint64(m_span.size()) - m_pos));
        return QByteArrayView(take(quint64(count)), count);
    }

private:
    const char* take(quint64 n)
    {
        if (!contains(m_pos, n))
            throw OutOfSpan{};
        const char* p = m_span.data() + m_pos;
        m_pos += n;
        return p;
    }

    QByteArrayView m_span;
    bool m_bigEndian;
    quint64 m_pos = 0;
};

/// Writes the low \a bytes bytes of \a value at \a pos in \a data, in the given byte order.
/// The caller has checked that they fit.
inline void putUnsigned(QByteArray& data, qsizetype pos, int bytes, quint32 value, bool bigEndian)
{
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
        data[pos + i] = char((value >> shift) & 0xFF);
    }
}

} // namespace tess::metadata
