#include "Platform/Imaging/JpegIntegrity.h"

#include <QFile>

#include <array>
#include <cstdlib>

namespace {

constexpr uchar kMarker = 0xFF;
constexpr uchar kEndOfImage = 0xD9;
constexpr uchar kStartOfScan = 0xDA;

bool isRestart(uchar code)
{
    return code >= 0xD0 && code <= 0xD7;
}

// Walks the segments from the start-of-image marker; true when the data ends first.
bool endsBeforeEndOfImage(const uchar *data, qint64 size)
{
    if (size < 2 || data[0] != kMarker || data[1] != 0xD8)
        return false; // not a JPEG stream this walk understands
    qint64 at = 2;
    while (at + 1 < size) {
        if (data[at] != kMarker)
            return false; // damaged in some other way: the decoder says what it can
        const uchar code = data[at + 1];
        if (code == kMarker) {
            ++at; // fill byte
            continue;
        }
        if (code == kEndOfImage)
            return false;
        if (isRestart(code) || code == 0x01) {
            at += 2;
            continue;
        }
        if (at + 3 >= size)
            return true;
        at += 2 + ((qint64(data[at + 2]) << 8) | data[at + 3]);
        if (at > size)
            return true;
        if (code != kStartOfScan)
            continue;
        // Entropy-coded data runs to the next marker that is neither stuffing nor a restart.
        while (at + 1 < size
               && !(data[at] == kMarker && data[at + 1] != 0 && data[at + 1] != kMarker && !isRestart(data[at + 1])))
            ++at;
    }
    return true;
}

bool isFill(QRgb pixel)
{
    // Missing blocks decode to mid grey.
    return std::abs(qRed(pixel) - 128) <= 2 && std::abs(qGreen(pixel) - 128) <= 2 && std::abs(qBlue(pixel) - 128) <= 2;
}

// Lines parallel to one side, counted inward from it.
struct Side
{
    bool horizontal; // lines are rows
    bool fromEnd;    // counted from the bottom row or the right column
};

QRgb pixelOf(const QImage &picture, const Side &side, int line, int along)
{
    const int extent = side.horizontal ? picture.height() : picture.width();
    const int index = side.fromEnd ? extent - 1 - line : line;
    return side.horizontal ? picture.pixel(along, index) : picture.pixel(index, along);
}

int fillDepth(const QImage &picture, const Side &side)
{
    const int extent = side.horizontal ? picture.height() : picture.width();
    const int length = side.horizontal ? picture.width() : picture.height();
    int depth = 0;
    for (; depth < extent; ++depth) {
        for (int along = 0; along < length; ++along) {
            if (!isFill(pixelOf(picture, side, depth, along)))
                return depth;
        }
    }
    return depth;
}

} // namespace

bool JpegIntegrity::isCutShort(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 4)
        return false;
    const qint64 size = file.size();
    const uchar *data = file.map(0, size);
    if (!data)
        return false;
    // Almost every whole file simply ends with the marker, or with padding after it.
    qint64 end = size;
    while (end > 2 && data[end - 1] == 0)
        --end;
    const bool whole = data[end - 2] == kMarker && data[end - 1] == kEndOfImage;
    const bool cut = !whole && endsBeforeEndOfImage(data, size);
    file.unmap(const_cast<uchar *>(data));
    return cut;
}

QRect JpegIntegrity::intactRect(const QImage &picture)
{
    const QRect whole = picture.rect();
    if (picture.isNull())
        return whole;
    const std::array<Side, 4> sides{{{true, true}, {true, false}, {false, true}, {false, false}}};
    Side filled{};
    int depth = 0;
    for (const Side &side : sides) {
        const int found = fillDepth(picture, side);
        if (found > depth) {
            depth = found;
            filled = side;
        }
    }
    if (depth == 0)
        return whole;
    // The last blocks that came decoded only part of their line: grey reaches one end.
    const int extent = filled.horizontal ? picture.height() : picture.width();
    const int length = filled.horizontal ? picture.width() : picture.height();
    while (depth < extent
           && (isFill(pixelOf(picture, filled, depth, 0)) || isFill(pixelOf(picture, filled, depth, length - 1))))
        ++depth;
    if (filled.horizontal)
        return filled.fromEnd ? whole.adjusted(0, 0, 0, -depth) : whole.adjusted(0, depth, 0, 0);
    return filled.fromEnd ? whole.adjusted(0, 0, -depth, 0) : whole.adjusted(depth, 0, 0, 0);
}
