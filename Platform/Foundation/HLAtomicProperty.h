#pragma once

#include <mutex>
#include <utility>

// A value read and written whole from several threads: what an atomic property of an object
// the media framework reads from its own threads needs, for any copyable type.
template <class T>
class HLAtomicProperty
{
public:
    HLAtomicProperty() = default;
    explicit HLAtomicProperty(T value) : m_value(std::move(value)) {}

    T get() const
    {
        std::lock_guard lock(m_mutex);
        return m_value;
    }
    void set(T value)
    {
        std::lock_guard lock(m_mutex);
        m_value = std::move(value);
    }

private:
    mutable std::mutex m_mutex;
    T m_value{};
};
