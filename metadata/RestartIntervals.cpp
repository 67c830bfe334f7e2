#include "metadata/RestartIntervals.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tess::metadata {

namespace {

constexpr int kBlock = 64;

quint8 at(const QByteArray& b, qsizetype i)
{
    return quint8(b[i]);
}

int bitsFor(int magnitude)
{
    return int(std::bit_width(unsigned(magnitude)));
}

constexpr int kLookupBits = 9; // codes this long or shorter are decoded by one lookup

/// One Huffman table as a DHT segment holds it, with what decoding and encoding need.
struct HuffmanTable
{
    bool present = false;
    std::array<int, 17> maxCode{};
    std::array<int, 17> minCode{};
    std::array<int, 17> firstValue{};
    std::array<quint8, 256> values{};
    std::array<quint16, 256> code{};
    std::array<quint8, 256> length{}; ///< 0: the symbol has no code
    /// By the next kLookupBits bits: the code's length (0: longer) and its symbol.
    std::array<quint8, 1 << kLookupBits> lookupLength{};
    std::array<quint8, 1 << kLookupBits> lookupSymbol{};

    /// From the 16 counts and the values; false when they do not form a table.
    bool build(const quint8* counts, const quint8* symbols, int symbolCount)
    {
        int code0 = 0, k = 0;
        length.fill(0);
        lookupLength.fill(0);
        for (int l = 1; l <= 16; ++l) {
            const int n = counts[l - 1];
            firstValue[std::size_t(l)] = k;
            minCode[std::size_t(l)] = code0;
            for (int i = 0; i < n; ++i, ++k, ++code0) {
                const quint8 symbol = symbols[k];
                values[std::size_t(k)] = symbol;
                if (length[symbol] || code0 >= (1 << l))
                    return false; // a symbol twice, or more codes than the length allows
                code[symbol] = quint16(code0);
                length[symbol] = quint8(l);
                if (l <= kLookupBits) {
                    const int shift = kLookupBits - l;
                    for (int j = code0 << shift; j < (code0 + 1) << shift; ++j) {
                        lookupLength[std::size_t(j)] = quint8(l);
                        lookupSymbol[std::size_t(j)] = symbol;
                    }
                }
            }
            maxCode[std::size_t(l)] = n ? code0 - 1 : -1;
            code0 <<= 1;
        }
        present = k == symbolCount;
        return present;
    }
};

/// Reads the entropy-coded bytes of one interval, stuffed zero bytes removed.
class BitReader
{
public:
    BitReader(const char* data, qsizetype size)
        : m_data(reinterpret_cast<const quint8*>(data)), m_size(size)
    {}

    /// The next \a count (0..16) bits; false when they run past the data.
    bool bits(int count, int& out)
    {
        out = 0;
        if (count == 0)
            return true;
        if (!fill(count))
            return false;
        m_count -= count;
        out = int((m_buffer >> m_count) & ((quint64(1) << count) - 1));
        return true;
    }

    bool decode(const HuffmanTable& table, int& symbol)
    {
        fill(kLookupBits); // short data reads as zeros here; what is used is checked below
        const int available = std::min(m_count, kLookupBits);
        const int peek = int((m_buffer << (kLookupBits - available)) >> (m_count - available)) &
                         ((1 << kLookupBits) - 1);
        const int l = table.lookupLength[std::size_t(peek)];
        if (l && l <= available) {
            m_count -= l;
            symbol = table.lookupSymbol[std::size_t(peek)];
            return true;
        }
        int c = 0;
        for (int length = 1; length <= 16; ++length) {
            int b = 0;
            if (!bits(1, b))
                return false;
            c = c << 1 | b;
            if (table.maxCode[std::size_t(length)] >= 0 &&
                c <= table.maxCode[std::size_t(length)]) {
                symbol = table.values[std::size_t(table.firstValue[std::size_t(length)] + c -
                                                  table.minCode[std::size_t(length)])];
                return true;
            }
        }
        return false;
    }

private:
    /// Brings at least \a count bits into the buffer, if the data holds them.
    bool fill(int count)
    {
        while (m_count <= 56 && m_pos < m_size) {
            quint8 byte = m_data[m_pos];
            if (byte == 0xFF) {
                if (m_pos + 1 >= m_size || m_data[m_pos + 1] != 0) {
                    m_pos = m_size; // a marker: the data ends here
                    break;
                }
                ++m_pos;
            }
            ++m_pos;
            m_buffer = m_buffer << 8 | byte;
            m_count += 8;
        }
        return m_count >= count;
    }

    const quint8* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    quint64 m_buffer = 0;
    int m_count = 0; ///< bits in m_buffer not yet read (the lowest ones)
};

/// Writes entropy-coded bytes, stuffing a zero after each FF.
class BitWriter
{
public:
    explicit BitWriter(QByteArray& out) : m_out(out) {}

    void put(quint32 value, int count)
    {
        m_buffer = m_buffer << count | (value & ((quint64(1) << count) - 1));
        m_count += count;
        while (m_count >= 8) {
            m_count -= 8;
            const char byte = char((m_buffer >> m_count) & 0xFF);
            m_out.append(byte);
            if (byte == char(0xFF))
                m_out.append('\0');
        }
    }

    /// False when the table has no code for \a symbol.
    bool code(const HuffmanTable& table, int symbol)
    {
        const int l = table.length[std::size_t(symbol)];
        if (!l)
            return false;
        put(table.code[std::size_t(symbol)], l);
        return true;
    }

    /// Pads the last byte with one bits.
    void finish()
    {
        if (m_count)
            put(0xFF, 8 - m_count);
    }

private:
    QByteArray& m_out;
    quint64 m_buffer = 0;
    int m_count = 0;
};

struct ScanComponent
{
    int frameIndex = 0;
    int h = 1, v = 1;
    const HuffmanTable* dc = nullptr;
    const HuffmanTable* ac = nullptr;
};

bool decodeBlock(BitReader& in, const ScanComponent& c, int& predictor, qint16* block)
{
    std::fill(block, block + kBlock, qint16(0));
    int s = 0, value = 0;
    if (!in.decode(*c.dc, s) || s > 11 || !in.bits(s, value))
        return false;
    if (s && value < (1 << (s - 1)))
        value -= (1 << s) - 1;
    predictor += value;
    block[0] = qint16(predictor);
    for (int k = 1; k < kBlock; ++k) {
        int rs = 0;
        if (!in.decode(*c.ac, rs))
            return false;
        const int run = rs >> 4, size = rs & 15;
        if (size == 0) {
            if (run != 15)
                break; // end of block
            k += 15;
            continue;
        }
        k += run;
        if (k >= kBlock || size > 10 || !in.bits(size, value))
            return false;
        if (value < (1 << (size - 1)))
            value -= (1 << size) - 1;
        block[kZigZag[std::size_t(k)]] = qint16(value);
    }
    return true;
}

bool encodeBlock(BitWriter& out, const ScanComponent& c, int& predictor, const qint16* block)
{
    const int diff = block[0] - predictor;
    predictor = block[0];
    const int dcBits = bitsFor(diff < 0 ? -diff : diff);
    if (dcBits > 11 || !out.code(*c.dc, dcBits))
        return false;
    out.put(quint32(diff < 0 ? diff - 1 : diff), dcBits);
    int run = 0;
    for (int k = 1; k < kBlock; ++k) {
        const int value = block[kZigZag[std::size_t(k)]];
        if (value == 0) {
            ++run;
            continue;
        }
        for (; run > 15; run -= 16)
            if (!out.code(*c.ac, 0xF0))
                return false;
        const int size = bitsFor(value < 0 ? -value : value);
        if (size > 10 || !out.code(*c.ac, run << 4 | size))
            return false;
        out.put(quint32(value < 0 ? value - 1 : value), size);
        run = 0;
    }
    return run == 0 || out.code(*c.ac, 0x00);
}

struct Frame
{
    int width = 0, height = 0;
    int maxH = 1, maxV = 1;
    struct Component
    {
        int id = 0, h = 1, v = 1;
    };
    std::vector<Component> components;
};

} // namespace

namespace {

bool appendRewrite(const QByteArray& jpeg, const std::vector<PatchedBlocks>& patches,
                   QByteArray& out)
{
    const qsizetype size = jpeg.size();
    if (size < 4 || at(jpeg, 0) != 0xFF || at(jpeg, 1) != 0xD8)
        return false;

    // The segments up to the scan: frame, tables and restart interval are read; APPn and COM
    // are left for the caller's metadata.
    Frame frame;
    std::array<HuffmanTable, 4> dcTables{}, acTables{};
    int restartInterval = 0;
    std::vector<ScanComponent> scan;
    qsizetype pos = 2;
    qsizetype dataStart = -1;
    while (dataStart < 0) {
        if (pos + 4 > size || at(jpeg, pos) != 0xFF)
            return false;
        const quint8 marker = at(jpeg, pos + 1);
        const int length = at(jpeg, pos + 2) << 8 | at(jpeg, pos + 3);
        if (length < 2 || pos + 2 + length > size)
            return false;
        const qsizetype body = pos + 4, end = pos + 2 + length;
        if (marker == 0xC0 || marker == 0xC1) {
            if (length < 8 || at(jpeg, body) != 8)
                return false;
            frame.height = at(jpeg, body + 1) << 8 | at(jpeg, body + 2);
            frame.width = at(jpeg, body + 3) << 8 | at(jpeg, body + 4);
            const int n = at(jpeg, body + 5);
            if (n < 1 || n > 4 || length != 8 + 3 * n || frame.width == 0 || frame.height == 0)
                return false;
            for (int i = 0; i < n; ++i) {
                const qsizetype c = body + 6 + 3 * i;
                const Frame::Component comp{at(jpeg, c), at(jpeg, c + 1) >> 4,
                                            at(jpeg, c + 1) & 15};
                if (comp.h < 1 || comp.h > 4 || comp.v < 1 || comp.v > 4)
                    return false;
                frame.maxH = std::max(frame.maxH, comp.h);
                frame.maxV = std::max(frame.maxV, comp.v);
                frame.components.push_back(comp);
            }
        } else if (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4) {
            return false; // progressive, lossless, hierarchical or arithmetic coding
        } else if (marker == 0xC4) {
            for (qsizetype p = body; p < end;) {
                if (p + 17 > end)
                    return false;
                const int tableClass = at(jpeg, p) >> 4, id = at(jpeg, p) & 15;
                int count = 0;
                for (int i = 1; i <= 16; ++i)
                    count += at(jpeg, p + i);
                if (tableClass > 1 || id > 3 || count > 256 || p + 17 + count > end)
                    return false;
                HuffmanTable& t = (tableClass ? acTables : dcTables)[std::size_t(id)];
                if (!t.build(reinterpret_cast<const quint8*>(jpeg.constData() + p + 1),
                             reinterpret_cast<const quint8*>(jpeg.constData() + p + 17), count))
                    return false;
                p += 17 + count;
            }
        } else if (marker == 0xDD) {
            if (length != 4)
                return false;
            restartInterval = at(jpeg, body) << 8 | at(jpeg, body + 1);
        } else if (marker == 0xDA) {
            const int n = at(jpeg, body);
            if (frame.components.empty() || n != int(frame.components.size()) ||
                length != 6 + 2 * n)
                return false;
            for (int i = 0; i < n; ++i) {
                const int id = at(jpeg, body + 1 + 2 * i);
                const int tables = at(jpeg, body + 2 + 2 * i);
                const auto it =
                    std::find_if(frame.components.begin(), frame.components.end(),
                                 [id](const Frame::Component& c) { return c.id == id; });
                if (it == frame.components.end() || (tables >> 4) > 3 || (tables & 15) > 3)
                    return false;
                ScanComponent sc;
                sc.frameIndex = int(it - frame.components.begin());
                sc.h = n == 1 ? 1 : it->h;
                sc.v = n == 1 ? 1 : it->v;
                sc.dc = &dcTables[std::size_t(tables >> 4)];
                sc.ac = &acTables[std::size_t(tables & 15)];
                if (!sc.dc->present || !sc.ac->present)
                    return false;
                scan.push_back(sc);
            }
            const qsizetype s = body + 1 + 2 * n;
            if (at(jpeg, s) != 0 || at(jpeg, s + 1) != 63 || at(jpeg, s + 2) != 0)
                return false; // not a sequential scan
            dataStart = end;
        }
        if (!(marker >= 0xE0 && marker <= 0xEF) && marker != 0xFE)
            out.append(jpeg.constData() + pos, 2 + length);
        pos = end;
    }
    if (restartInterval == 0 || frame.components.size() != patches.size())
        return false;

    // The MCU grid: one block each for a single component, else every component's blocks.
    const bool single = scan.size() == 1;
    const int unitWidth = single ? 8 : 8 * frame.maxH;
    const int unitHeight = single ? 8 : 8 * frame.maxV;
    const Frame::Component& first = frame.components.front();
    const int mcuColumns = single ? (frame.width * first.h / frame.maxH + 7) / 8
                                  : (frame.width + unitWidth - 1) / unitWidth;
    const int mcuRows = single ? (frame.height * first.v / frame.maxV + 7) / 8
                               : (frame.height + unitHeight - 1) / unitHeight;
    const qint64 mcuCount = qint64(mcuColumns) * mcuRows;
    const qint64 intervalCount = (mcuCount + restartInterval - 1) / restartInterval;

    // Where each interval's bytes lie: up to each RSTn, the last up to EOI.
    std::vector<std::pair<qsizetype, qsizetype>> intervals;
    intervals.reserve(std::size_t(intervalCount));
    qsizetype start = dataStart, p = dataStart;
    for (;;) {
        const void* ff =
            p < size ? std::memchr(jpeg.constData() + p, 0xFF, std::size_t(size - p)) : nullptr;
        if (!ff)
            return false; // no end of image
        const qsizetype mark = static_cast<const char*>(ff) - jpeg.constData();
        qsizetype q = mark + 1;
        while (q < size && at(jpeg, q) == 0xFF)
            ++q;
        if (q >= size)
            return false;
        const quint8 code = at(jpeg, q);
        p = q + 1;
        if (code == 0x00)
            continue;
        intervals.emplace_back(start, mark);
        if (code == 0xD9)
            break;
        if (code != 0xD0 + (intervals.size() - 1) % 8 || qint64(intervals.size()) >= intervalCount)
            return false;
        start = p;
    }
    if (qint64(intervals.size()) != intervalCount)
        return false;

    // The MCUs the patches cover, from the first component's blocks.
    const PatchedBlocks& lead = patches.front();
    const int leadH = single ? 1 : first.h, leadV = single ? 1 : first.v;
    const bool anyPatch = lead.columns > 0 && lead.rows > 0;
    const int left = anyPatch ? lead.left / leadH : 0;
    const int right = anyPatch ? (lead.left + lead.columns - 1) / leadH : -1;
    const int top = anyPatch ? lead.top / leadV : 0;
    const int bottom = anyPatch ? (lead.top + lead.rows - 1) / leadV : -1;

    out.reserve(out.size() + size);
    std::array<qint16, kBlock> block{};
    for (qint64 i = 0; i < intervalCount; ++i) {
        const qint64 firstMcu = i * restartInterval;
        const qint64 endMcu = std::min(mcuCount, firstMcu + restartInterval);
        bool touched = false;
        for (int row = int(firstMcu / mcuColumns);
             !touched && row <= int((endMcu - 1) / mcuColumns); ++row) {
            if (row < top || row > bottom)
                continue;
            const qint64 rowStart = qint64(row) * mcuColumns;
            const qint64 from = std::max(firstMcu, rowStart) - rowStart;
            const qint64 to = std::min(endMcu, rowStart + mcuColumns) - 1 - rowStart;
            touched = from <= right && to >= left;
        }
        const auto [begin, end] = intervals[std::size_t(i)];
        if (!touched) {
            out.append(jpeg.constData() + begin, end - begin);
        } else {
            BitReader in(jpeg.constData() + begin, end - begin);
            BitWriter writer(out);
            std::array<int, 4> decoded{}, encoded{};
            for (qint64 m = firstMcu; m < endMcu; ++m) {
                const int mx = int(m % mcuColumns), my = int(m / mcuColumns);
                for (std::size_t c = 0; c < scan.size(); ++c) {
                    const ScanComponent& sc = scan[c];
                    const PatchedBlocks& patch = patches[std::size_t(sc.frameIndex)];
                    for (int y = 0; y < sc.v; ++y) {
                        for (int x = 0; x < sc.h; ++x) {
                            if (!decodeBlock(in, sc, decoded[c], block.data()))
                                return false;
                            const int bx = mx * sc.h + x - patch.left;
                            const int by = my * sc.v + y - patch.top;
                            const bool patched =
                                bx >= 0 && by >= 0 && bx < patch.columns && by < patch.rows;
                            if (!encodeBlock(writer, sc, encoded[c],
                                             patched ? patch.block(by, bx) : block.data()))
                                return false;
                        }
                    }
                }
            }
            writer.finish();
        }
        if (i + 1 < intervalCount) {
            out.append(char(0xFF));
            out.append(char(0xD0 + i % 8));
        }
    }
    out.append("\xFF\xD9", 2);
    return true;
}

} // namespace

bool rewriteRestartIntervals(const QByteArray& jpeg, const std::vector<PatchedBlocks>& patches,
                             QByteArray& out)
{
    const qsizetype kept = out.size();
    if (appendRewrite(jpeg, patches, out))
        return true;
    out.truncate(kept);
    return false;
}

} // namespace tess::metadata
