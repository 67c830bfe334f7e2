#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <vector>

namespace tess::metadata {

/// Where each coefficient of a block is sent: the zig-zag order, as natural-order indices.
inline constexpr std::array<int, 64> kZigZag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

/// New DCT blocks for one component of a picture: `columns` x `rows` blocks starting at block
/// (left, top) of that component, each 64 quantized coefficients in natural order.
struct PatchedBlocks
{
    int left = 0;
    int top = 0;
    int columns = 0;
    int rows = 0;
    std::vector<qint16> coefficients;

    const qint16* block(int row, int column) const
    {
        return coefficients.data() + (qsizetype(row) * columns + column) * 64;
    }
};

/// Rewrites a baseline, Huffman-coded JPEG stream whose one scan holds every component and is
/// cut into restart intervals: each interval that holds none of the patched blocks is copied
/// byte for byte; each one that does is decoded, patched (\a patches, one per frame component
/// in frame order) and coded again with the stream's own Huffman tables.
///
/// Appends to \a out the stream after its SOI: the source's tables, frame and scan headers
/// (no APPn or COM segment), the intervals and EOI. False, with \a out as it was, when the
/// stream is not of that kind, is damaged where it is read, or a Huffman code needed is
/// missing from its tables. Every length, count and offset read from the stream is checked;
/// the stream is untrusted.
bool rewriteRestartIntervals(const QByteArray& jpeg, const std::vector<PatchedBlocks>& patches,
                             QByteArray& out);

} // namespace tess::metadata
