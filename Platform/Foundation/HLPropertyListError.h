#pragma once

#include <stdexcept>

#include <QString>

// A property-list file that cannot be read: missing, damaged, not a property list, or
// nested beyond reason.
class HLPropertyListError : public std::runtime_error
{
public:
    explicit HLPropertyListError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
};
