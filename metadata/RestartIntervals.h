#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

namespace tess::metadata {

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
