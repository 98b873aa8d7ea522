#pragma once

#include <QString>

#include <functional>
#include <memory>

class HLCoding;
class HLKeyedUnarchiver;

// Class name -> decoding factory, shared by the whole process. Register every archived
// class once at start-up (before any archive is read or written); lookups are thread-safe.
class HLCodingRegistry
{
public:
    using Factory = std::function<std::shared_ptr<HLCoding>(HLKeyedUnarchiver &coder)>;

    // Registers (or replaces) the factory for a class name.
    static void registerClass(const QString &className, Factory factory);

    // Registers T by its static `std::shared_ptr<T> initWithCoder(HLKeyedUnarchiver &)`.
    template <class T>
    static void registerClass(const QString &className)
    {
        registerClass(className, [](HLKeyedUnarchiver &coder) -> std::shared_ptr<HLCoding> {
            return T::initWithCoder(coder);
        });
    }

    static bool isRegistered(const QString &className);

    // The factory of a class name; empty when the name is unknown.
    static Factory factory(const QString &className);
};
