#pragma once

#include "Platform/Foundation/HLCoding.h"
#include "Platform/Foundation/HLKeyedArchiver.h"

#include <QString>

#include <functional>
#include <memory>

// A record that archives under any class name whatever its writer puts there: what a damaged,
// crafted or foreign file may hold, for the tests of the readers that must refuse it.
class ForgedRecord : public HLCoding
{
public:
    using Writer = std::function<void(HLKeyedArchiver &coder)>;

    ForgedRecord(QString className, Writer write) : m_className(std::move(className)), m_write(std::move(write)) {}

    QString className() const override { return m_className; }
    void encodeWithCoder(HLKeyedArchiver &coder) const override
    {
        if (m_write)
            m_write(coder);
    }

private:
    QString m_className;
    Writer m_write;
};

inline std::shared_ptr<ForgedRecord> forged(const QString &className, ForgedRecord::Writer write)
{
    return std::make_shared<ForgedRecord>(className, std::move(write));
}
