#pragma once

#include <QtGlobal>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class ZKAudioVoice;

// The one sound mix of the process: 44100 Hz stereo float, every playing voice summed and
// passed through the soft limiter (zk_soft_limit), then sent to the default sound device through QAudioSink.
// Where there is no sound device (or when told so) a silent output takes the mix at the pace
// of the steady clock instead, so positions move exactly as they would with sound.
class ZKAudioEngine
{
public:
    static ZKAudioEngine &instance();

    // Forces the silent output (tests, servers); also set by ZK_SILENT_AUDIO=1 in the environment.
    static void setSilentOutput(bool silent);
    bool isSilentOutput() const;

    void addVoice(const std::shared_ptr<ZKAudioVoice> &voice);
    void removeVoice(const std::shared_ptr<ZKAudioVoice> &voice);
    bool hasVoices() const;

    // Mixes frames stereo frames of every voice into out (overwritten). The outputs call it.
    void render(float *out, int frames);
    // The mix's frame clock: frames mixed so far. Voices join and leave on it.
    qint64 renderedFrames() const { return m_renderedFrames.load(); }

    class Output;

private:
    ZKAudioEngine() = default;
    void ensureOutput();
    void replaceOutput(bool silent);

    mutable std::mutex m_voicesMutex;
    std::vector<std::shared_ptr<ZKAudioVoice>> m_voices;
    std::mutex m_renderMutex;
    std::atomic<qint64> m_renderedFrames{0};
    std::mutex m_outputMutex;
    std::unique_ptr<Output> m_output;
    bool m_silent = false;
};
