#pragma once

#include <QtGlobal>

#include <atomic>

// What the renderers need to know of an edit: its generation. Every makeDirty() takes a new
// value from one counter shared by all marks, so a renderer that remembers the newest generation
// it drew sees any later edit of any mark it depends on, and nothing but an edit changes a mark:
// drawing never clears it, so a render can't swallow an edit made after it began.
// Marks are never archived, copied or compared: a copy or a decoded record starts clean (0).
class HLDirtyMark
{
public:
    HLDirtyMark() = default;
    HLDirtyMark(const HLDirtyMark &) {}
    HLDirtyMark &operator=(const HLDirtyMark &) { return *this; }

    // Main thread, inside the edit gate.
    void makeDirty();
    // The generation of the last edit; 0 when never edited. Any thread.
    quint64 iGeneration() const { return m_iGeneration.load(std::memory_order_relaxed); }

private:
    std::atomic<quint64> m_iGeneration{0};
};
