#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// A keyed archive that cannot be written or read: foreign or damaged file, missing key,
// wrong value type, value out of range, unknown class, file-system failure. The message
// names the key path where reading stopped ("kNSCodingTimelineItem.kNSCodingItems[2]…").
class HLArchiveError : public std::runtime_error
{
public:
    explicit HLArchiveError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
};
