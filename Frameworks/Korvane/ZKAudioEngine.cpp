#include "Frameworks/Korvane/ZKAudioEngine.h"

#include "Frameworks/Korvane/ZKAudioVoice.h"
#include "Frameworks/Korvane/ZKSoftLimit.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <thread>

namespace {

constexpr int kRate = ZKAudioVoice::kSampleRate;
constexpr int kBlock = 512;

std::atomic<bool> g_forceSilent{false};

bool silentByEnvironment()
{
    return qEnvironmentVariableIntValue("ZK_SILENT_AUDIO") != 0;
}

} // namespace

class ZKAudioEngine::Output
{
public:
    virtual ~Output() = default;
    virtual bool isSilent() const = 0;
};

namespace {

// Takes the mix at the steady clock's pace and drops it.
class SilentOutput : public ZKAudioEngine::Output
{
public:
    explicit SilentOutput(ZKAudioEngine &engine) : m_engine(engine)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~SilentOutput() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    bool isSilent() const override { return true; }

private:
    void run()
    {
        using Clock = std::chrono::steady_clock;
        std::vector<float> buffer(size_t(kBlock) * 2);
        auto start = Clock::now();
        qint64 done = 0;
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            m_wake.wait_for(lock, std::chrono::milliseconds(5));
            if (m_stop)
                break;
            if (!m_engine.hasVoices()) {
                start = Clock::now(); // idle: owe nothing
                done = 0;
                continue;
            }
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
            const qint64 due = elapsed.count() * kRate / 1000000;
            lock.unlock();
            while (done < due) {
                const int frames = int(std::min<qint64>(due - done, kBlock));
                m_engine.render(buffer.data(), frames);
                done += frames;
            }
            lock.lock();
        }
    }

    ZKAudioEngine &m_engine;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

// The device that QAudioSink pulls the mix from.
class MixDevice : public QIODevice
{
public:
    MixDevice(ZKAudioEngine &engine, QAudioFormat::SampleFormat format)
        : m_engine(engine), m_format(format)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered); // a read-ahead buffer would put positions ahead of the sound
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 20; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const int bytesPerFrame = m_format == QAudioFormat::Float ? 8 : 4;
        const int frames = int(std::min<qint64>(maxSize / bytesPerFrame, 8192));
        if (frames <= 0)
            return 0;
        if (m_format == QAudioFormat::Float) {
            m_engine.render(reinterpret_cast<float *>(data), frames);
        } else {
            m_buffer.resize(size_t(frames) * 2);
            m_engine.render(m_buffer.data(), frames);
            auto *samples = reinterpret_cast<qint16 *>(data);
            for (int i = 0; i < frames * 2; ++i)
                samples[i] = qint16(std::lround(std::clamp(m_buffer[size_t(i)], -1.0f, 1.0f) * 32767.0f));
        }
        return qint64(frames) * bytesPerFrame;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    ZKAudioEngine &m_engine;
    QAudioFormat::SampleFormat m_format;
    std::vector<float> m_buffer;
};

// The default sound device, fed from a thread of its own with an event loop.
class SinkOutput : public ZKAudioEngine::Output
{
public:
    SinkOutput(ZKAudioEngine &engine, const QAudioDevice &device)
    {
        m_thread.start();
        m_anchor = new QObject;
        m_anchor->moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            m_anchor,
            [&] {
                QAudioFormat format;
                format.setSampleRate(kRate);
                format.setChannelCount(2);
                format.setSampleFormat(QAudioFormat::Float);
                if (!device.isFormatSupported(format))
                    format.setSampleFormat(QAudioFormat::Int16);
                if (!device.isFormatSupported(format))
                    return;
                m_sink = new QAudioSink(device, format);
                m_sink->setBufferSize(format.bytesForDuration(100000)); // 100 ms: no underruns under load, positions within ~60 ms of what is heard
                m_device = new MixDevice(engine, format.sampleFormat());
                m_sink->start(m_device);
                m_ok = m_sink->error() == QAudio::NoError;
            },
            Qt::BlockingQueuedConnection);
    }
    ~SinkOutput() override
    {
        QMetaObject::invokeMethod(
            m_anchor,
            [this] {
                if (m_sink)
                    m_sink->stop();
                delete m_sink;
                delete m_device;
                delete m_anchor;
            },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool isSilent() const override { return false; }
    bool ok() const { return m_ok; }

private:
    QThread m_thread;
    QObject *m_anchor = nullptr;
    QAudioSink *m_sink = nullptr;
    MixDevice *m_device = nullptr;
    bool m_ok = false;
};

} // namespace

ZKAudioEngine &ZKAudioEngine::instance()
{
    // Never destroyed: voices may be released by static objects during exit.
    static ZKAudioEngine *engine = [] {
        auto *made = new ZKAudioEngine;
        if (QCoreApplication::instance()) {
            qAddPostRoutine([] {
                std::lock_guard lock(ZKAudioEngine::instance().m_outputMutex);
                ZKAudioEngine::instance().m_output.reset();
            });
        }
        return made;
    }();
    return *engine;
}

void ZKAudioEngine::setSilentOutput(bool silent)
{
    g_forceSilent = silent;
    ZKAudioEngine &engine = instance();
    std::lock_guard lock(engine.m_outputMutex);
    if (engine.m_output && engine.m_output->isSilent() != silent)
        engine.replaceOutput(silent);
}

bool ZKAudioEngine::isSilentOutput() const
{
    std::lock_guard lock(const_cast<std::mutex &>(m_outputMutex));
    return m_output ? m_output->isSilent() : (g_forceSilent || silentByEnvironment());
}

void ZKAudioEngine::replaceOutput(bool silent)
{
    m_output.reset();
    if (!silent && QCoreApplication::instance()) {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull()) {
            auto sink = std::make_unique<SinkOutput>(*this, device);
            if (sink->ok()) {
                m_output = std::move(sink);
                return;
            }
        }
    }
    m_output = std::make_unique<SilentOutput>(*this);
}

void ZKAudioEngine::ensureOutput()
{
    std::lock_guard lock(m_outputMutex);
    if (!m_output)
        replaceOutput(g_forceSilent || silentByEnvironment());
}

void ZKAudioEngine::addVoice(const std::shared_ptr<ZKAudioVoice> &voice)
{
    if (!voice)
        return;
    ensureOutput();
    std::lock_guard lock(m_voicesMutex);
    if (std::find(m_voices.begin(), m_voices.end(), voice) == m_voices.end())
        m_voices.push_back(voice);
}

void ZKAudioEngine::removeVoice(const std::shared_ptr<ZKAudioVoice> &voice)
{
    // The mix drops the voice once it has faded out (see render).
    if (voice)
        voice->fadeOut();
}

bool ZKAudioEngine::hasVoices() const
{
    std::lock_guard lock(m_voicesMutex);
    return !m_voices.empty();
}

void ZKAudioEngine::render(float *out, int frames)
{
    std::memset(out, 0, size_t(frames) * 2 * sizeof(float));
    std::lock_guard render(m_renderMutex);
    std::vector<std::shared_ptr<ZKAudioVoice>> voices;
    {
        std::lock_guard lock(m_voicesMutex);
        voices = m_voices;
    }
    const qint64 first = m_renderedFrames.load();
    for (const auto &voice : voices)
        voice->mixInto(out, frames, first);
    m_renderedFrames = first + frames;
    zk_soft_limit(out, qsizetype(frames) * 2);
    std::lock_guard lock(m_voicesMutex);
    std::erase_if(m_voices, [](const std::shared_ptr<ZKAudioVoice> &voice) { return voice->faded(); });
}
