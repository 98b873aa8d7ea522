#pragma once

#include <QString>

class HLKeyedArchiver;

// A record that archives itself into a keyed archive. Decoding goes through the factory
// registered under the same class name (HLCodingRegistry), which reads the keys back with
// an HLKeyedUnarchiver and returns the new record.
class HLCoding
{
public:
    virtual ~HLCoding() = default;

    // The name stored under "$class"; it selects the decoding factory.
    virtual QString className() const = 0;

    virtual void encodeWithCoder(HLKeyedArchiver &coder) const = 0;
};
