#pragma once

#include <QString>

#include <stdexcept>

// A project package that cannot be read or written. The message is for the user: it names
// the package or the file and says what is wrong with it.
class HLPackageError : public std::runtime_error
{
public:
    explicit HLPackageError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
