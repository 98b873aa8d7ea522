#pragma once


#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class DVDBurnDevice;
class HLJobState;

// The chosen burner and one burn on it: burnISOPath starts the burn on a thread of its own;
// isFinished and isFailed tell how it ended, status says why.
class DVDBurn
{
public:
    DVDBurn();
    ~DVDBurn(); // cancels a running burn and waits for it

    // The system's burners; the first is chosen when none is.
    std::vector<std::shared_ptr<DVDBurnDevice>> devices();
    std::shared_ptr<DVDBurnDevice> device() const;
    void setDevice(std::shared_ptr<DVDBurnDevice> device);

    bool mediaIsPresent();
    bool mediaIsBlank();
    qint64 mediaWritableSpace();

    // Readies the burner for a new burn after a failed one.
    void prepareForBurn();
    // Starts burning the image; false (and nothing started) without a burner or image, or
    // while a burn runs. report (optional, alive until the burn has ended) gets the burn's
    // progress as it grows, and its cancel stops the burn.
    bool burnISOPath(const QString &path, HLJobState *report = nullptr);
    bool isFinished() const { return m_finished.load(); }
    bool isFailed() const { return m_failed.load(); }
    QString status() const;
    double progress() const { return m_progress.load(); }
    void cancel();
    // Blocks until the running burn has ended.
    void wait();

private:
    void p_setStatus(const QString &status);

    mutable std::mutex m_mutex;
    std::shared_ptr<DVDBurnDevice> m_device;
    QString m_status;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_cancelled{false};
    std::atomic<double> m_progress{0.0};
    std::atomic<HLJobState *> m_report{nullptr};
};
