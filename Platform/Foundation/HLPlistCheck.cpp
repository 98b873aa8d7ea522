#include "Platform/Foundation/HLPlistCheck.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <vector>

namespace HLPlistCheck {

namespace {

constexpr qsizetype kTrailerSize = 32;
// libplist copies every reference, so shared objects multiply; these bound the expanded tree.
constexpr quint64 kMaximumNodes = 4'000'000;
constexpr quint64 kMaximumPayload = quint64(512) << 20;

quint64 readBigEndian(const uchar *bytes, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

struct BinaryObject
{
    quint8 kind = 0;                 // high nibble of the marker
    std::vector<quint64> children;   // referenced objects (dictionary keys first)
    quint64 keyCount = 0;            // dictionaries: how many of the children are keys
    quint64 payload = 0;             // bytes of a string or data
};

class BinaryChecker
{
public:
    explicit BinaryChecker(const QByteArray &data)
        : m_bytes(reinterpret_cast<const uchar *>(data.constData())), m_size(quint64(data.size()))
    {
    }

    QString check(int maximumDepth)
    {
        if (m_size < 8 + kTrailerSize || std::memcmp(m_bytes, "bplist00", 8) != 0)
            return QStringLiteral("not a binary property list");
        const uchar *trailer = m_bytes + m_size - kTrailerSize;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        m_objectCount = readBigEndian(trailer + 8, 8);
        const quint64 top = readBigEndian(trailer + 16, 8);
        m_tableOffset = readBigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8)
            return QStringLiteral("damaged property list (bad trailer)");
        const quint64 tableEnd = m_size - kTrailerSize;
        if (m_objectCount == 0 || top >= m_objectCount || m_tableOffset < 8 || m_tableOffset > tableEnd
            || m_objectCount > (tableEnd - m_tableOffset) / m_offsetSize)
            return QStringLiteral("damaged property list (bad offset table)");

        // Depth-first over the containers, without recursion: 0 unseen, 1 on the path, 2 done.
        std::vector<quint8> state(m_objectCount, 0);
        std::vector<quint32> height(m_objectCount, 0);
        std::vector<quint64> nodes(m_objectCount, 0);
        std::vector<quint64> payload(m_objectCount, 0);
        struct Frame
        {
            quint64 index;
            BinaryObject object;
            size_t next = 0;
        };
        std::vector<Frame> path;
        QString error;
        auto enter = [&](quint64 index) -> bool {
            if (state[index] == 2)
                return true;
            if (state[index] == 1) {
                error = QStringLiteral("damaged property list (reference cycle)");
                return false;
            }
            BinaryObject object;
            if (!readObject(index, object, error))
                return false;
            if (object.children.empty()) {
                state[index] = 2;
                height[index] = (object.kind == 0xA || object.kind == 0xD) ? 1 : 0;
                nodes[index] = 1;
                payload[index] = object.payload;
                return true;
            }
            state[index] = 1;
            path.push_back({index, std::move(object)});
            if (path.size() > size_t(maximumDepth)) {
                error = QStringLiteral("property list nested too deeply");
                return false;
            }
            return true;
        };
        if (!enter(top))
            return error;
        while (!path.empty()) {
            Frame &frame = path.back();
            if (frame.next < frame.object.children.size()) {
                const quint64 child = frame.object.children[frame.next];
                const bool isKey = frame.next < frame.object.keyCount;
                ++frame.next;
                if (isKey && !isString(child, error))
                    return error.isEmpty() ? QStringLiteral("damaged property list (key is not a string)")
                                           : error;
                if (!enter(child))
                    return error;
                continue;
            }
            quint32 tallest = 0;
            quint64 nodeCount = 1;
            quint64 bytes = 0;
            for (quint64 child : frame.object.children) {
                tallest = std::max(tallest, height[child]);
                nodeCount = std::min(nodeCount + nodes[child], kMaximumNodes + 1);
                bytes = std::min(bytes + payload[child], kMaximumPayload + 1);
            }
            height[frame.index] = tallest + 1;
            nodes[frame.index] = nodeCount;
            payload[frame.index] = bytes;
            state[frame.index] = 2;
            if (height[frame.index] > quint32(maximumDepth))
                return QStringLiteral("property list nested too deeply");
            if (nodeCount > kMaximumNodes || bytes > kMaximumPayload)
                return QStringLiteral("property list too large once expanded");
            path.pop_back();
        }
        return QString();
    }

private:
    bool objectStart(quint64 index, quint64 &offset, QString &error) const
    {
        offset = readBigEndian(m_bytes + m_tableOffset + index * m_offsetSize, m_offsetSize);
        if (offset < 8 || offset >= m_tableOffset) {
            error = QStringLiteral("damaged property list (object outside the file)");
            return false;
        }
        return true;
    }

    // The payload length of a marker whose low nibble may be 0xF (length in a following integer).
    bool readLength(quint64 &position, quint8 low, quint64 &length, QString &error) const
    {
        if (low != 0xF) {
            length = low;
            return true;
        }
        if (position >= m_tableOffset || (m_bytes[position] & 0xF0) != 0x10
            || (m_bytes[position] & 0x0F) > 3) {
            error = QStringLiteral("damaged property list (bad length)");
            return false;
        }
        const int size = 1 << (m_bytes[position] & 0x0F);
        ++position;
        if (m_tableOffset - position < quint64(size)) {
            error = QStringLiteral("damaged property list (truncated object)");
            return false;
        }
        length = readBigEndian(m_bytes + position, size);
        position += size;
        return true;
    }

    bool fits(quint64 position, quint64 count, quint64 unit, QString &error) const
    {
        if (count > (m_tableOffset - position) / unit) {
            error = QStringLiteral("damaged property list (truncated object)");
            return false;
        }
        return true;
    }

    bool isString(quint64 index, QString &error) const
    {
        quint64 offset = 0;
        if (!objectStart(index, offset, error))
            return false;
        const quint8 kind = m_bytes[offset] >> 4;
        return kind == 0x5 || kind == 0x6;
    }

    bool readObject(quint64 index, BinaryObject &object, QString &error) const
    {
        quint64 position = 0;
        if (!objectStart(index, position, error))
            return false;
        const quint8 marker = m_bytes[position++];
        const quint8 low = marker & 0x0F;
        object.kind = marker >> 4;
        quint64 length = 0;
        switch (object.kind) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return true;
            break;
        case 0x1:
            if (low <= 4)
                return fits(position, quint64(1) << low, 1, error);
            break;
        case 0x2:
            if (low == 2 || low == 3)
                return fits(position, quint64(1) << low, 1, error);
            break;
        case 0x3:
            if (low == 3)
                return fits(position, 8, 1, error);
            break;
        case 0x4:
        case 0x5:
            if (!readLength(position, low, length, error) || !fits(position, length, 1, error))
                return false;
            object.payload = length;
            return true;
        case 0x6:
            if (!readLength(position, low, length, error) || !fits(position, length, 2, error))
                return false;
            // libplist asserts on a UTF-16 string holding U+0000.
            for (quint64 i = 0; i < length; ++i)
                if (m_bytes[position + 2 * i] == 0 && m_bytes[position + 2 * i + 1] == 0) {
                    error = QStringLiteral("damaged property list (string holds U+0000)");
                    return false;
                }
            object.payload = length * 2;
            return true;
        case 0x8:
            return fits(position, quint64(low) + 1, 1, error);
        case 0xA:
        case 0xD: {
            if (!readLength(position, low, length, error))
                return false;
            const quint64 refs = object.kind == 0xD ? 2 : 1;
            if (length > (m_tableOffset - position) / m_refSize / refs) {
                error = QStringLiteral("damaged property list (truncated object)");
                return false;
            }
            object.children.reserve(length * refs);
            for (quint64 i = 0; i < length * refs; ++i) {
                const quint64 ref = readBigEndian(m_bytes + position + i * m_refSize, m_refSize);
                if (ref >= m_objectCount) {
                    error = QStringLiteral("damaged property list (bad reference)");
                    return false;
                }
                object.children.push_back(ref);
            }
            object.keyCount = object.kind == 0xD ? length : 0;
            return true;
        }
        default:
            break;
        }
        error = QStringLiteral("damaged property list (unknown object type 0x%1)")
                    .arg(marker, 2, 16, QLatin1Char('0'));
        return false;
    }

    const uchar *m_bytes;
    quint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_tableOffset = 0;
};

} // namespace

QString checkBinary(const QByteArray &data, int maximumDepth)
{
    return BinaryChecker(data).check(maximumDepth);
}

QString checkXml(const QByteArray &data, int maximumDepth)
{
    QXmlStreamReader reader(data);
    int depth = 0;
    bool sawPlist = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (depth == 0 && reader.name() == QLatin1String("plist"))
                sawPlist = true;
            if (++depth > maximumDepth)
                return QStringLiteral("property list nested too deeply");
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return QStringLiteral("damaged property list (%1 at line %2)")
            .arg(reader.errorString())
            .arg(reader.lineNumber());
    if (!sawPlist)
        return QStringLiteral("not a property list");
    return QString();
}

} // namespace HLPlistCheck
