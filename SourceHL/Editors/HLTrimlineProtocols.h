#pragma once

#include "SourceHL/Editors/HLEditWrite.h"

#include <functional>
#include <memory>

// What the trim line asks of a selection (a clip's kept range) and of a player.
// Ratios are fractions of the clip's (or the project's) length.
class TrimlineSelectionProtocol
{
public:
    virtual ~TrimlineSelectionProtocol() = default;
    virtual float trimRatioMin() const = 0;
    // A selection may keep limits of its own and store another value than asked.
    virtual void updateTrimRatioMin(float ratio) = 0;
    virtual float trimRatioMax() const = 0;
    virtual void updateTrimRatioMax(float ratio) = 0;
};

class TrimlinePlayerProtocol
{
public:
    virtual ~TrimlinePlayerProtocol() = default;
    virtual bool isTrimPlaying() const = 0;
    virtual float trimPlayRatio() const = 0;
    virtual void updateTrimPlayRatio(float ratio) = 0;
};

// A trim record (HLRenderEditTrim, HLAudioEdit) as a selection; each write goes through the
// owner's hook.
template <class Record>
class HLTrimRecordSelection : public TrimlineSelectionProtocol
{
public:
    HLTrimRecordSelection(std::shared_ptr<Record> record, HLEditWrite write)
        : m_record(std::move(record))
        , m_write(std::move(write))
    {
    }
    const std::shared_ptr<Record> &record() const { return m_record; }
    float trimRatioMin() const override { return m_record->trimRatioMin(); }
    float trimRatioMax() const override { return m_record->trimRatioMax(); }
    void updateTrimRatioMin(float ratio) override
    {
        m_write(HLChange::Timing, [&] { m_record->updateTrimRatioMin(ratio); });
    }
    void updateTrimRatioMax(float ratio) override
    {
        m_write(HLChange::Timing, [&] { m_record->updateTrimRatioMax(ratio); });
    }

private:
    std::shared_ptr<Record> m_record;
    HLEditWrite m_write;
};

// A player made of three callbacks (the main window's progress line plays the project).
class HLCallbackTrimPlayer : public TrimlinePlayerProtocol
{
public:
    std::function<bool()> isPlaying;
    std::function<float()> playRatio;
    std::function<void(float)> updatePlayRatio;

    bool isTrimPlaying() const override { return isPlaying && isPlaying(); }
    float trimPlayRatio() const override { return playRatio ? playRatio() : 0.0f; }
    void updateTrimPlayRatio(float ratio) override
    {
        if (updatePlayRatio)
            updatePlayRatio(ratio);
    }
};
