#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class VETimelineExportMovie;
class ZKVideoConverter;

// One movie export as two conversions: the project's mixed sound into a temporary lossless
// "m4a" file, then the movie with that file as its sound into the output file. To its callers
// it is one job: start it, poll isFinished, read progress, cancel at any time. A job that
// fails or is cancelled leaves neither the temporary file nor an output file behind; a
// failure says why in errorString.
class VETimelineExportMovieConverter
{
public:
    VETimelineExportMovieConverter();
    ~VETimelineExportMovieConverter(); // cancels a running job and waits for it
    VETimelineExportMovieConverter(const VETimelineExportMovieConverter &) = delete;
    VETimelineExportMovieConverter &operator=(const VETimelineExportMovieConverter &) = delete;

    std::shared_ptr<VETimelineExportMovie> timeline() const { return m_timeline.get(); }
    void setTimeline(const std::shared_ptr<VETimelineExportMovie> &movie) { m_timeline.set(movie); }
    QString path() const { return m_path.get(); }
    void setPath(const QString &path) { m_path.set(path); }
    ZKFFMovieFileOutputFormat movieOutputFormat() const { return m_movieOutputFormat.get(); }
    void setMovieOutputFormat(const ZKFFMovieFileOutputFormat &format) { m_movieOutputFormat.set(format); }

    // Starts the job on a thread of its own and returns at once. Only once.
    void startConvert();
    // The job has ended: done, cancelled or failed, with its files cleaned up.
    bool isFinished() const { return m_isFinish; }
    bool isCancelled() const { return m_isCancel; }
    void cancel();
    // 0.1 for the sound pass, 0.89 for the movie pass; 0.99 at the end.
    double progress() const;
    // Why the job failed; empty while it runs, after success and after a cancel.
    QString errorString() const;

    // The converter of the movie pass: the movie source as its only segment.
    static std::shared_ptr<ZKVideoConverter> convert_movie(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                           const ZKFFMovieFileOutputFormat &format,
                                                           const QString &path);
    // The converter of the sound pass: the mixer, with the movie's final fade, into a lossless
    // file at path.
    static std::shared_ptr<ZKVideoConverter> convert_audio(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                           const QString &path);

private:
    void p_run(std::shared_ptr<ZKVideoConverter> audio, std::shared_ptr<ZKVideoConverter> movie,
               QString audioPath, QString outputPath);
    // Runs one pass to its end; false with the error kept when it failed.
    bool waitVideoConverterFinished(const std::shared_ptr<ZKVideoConverter> &converter);
    // A pass is over (run, failed or skipped): its weight counts as done.
    void p_endPass();
    void p_setError(const QString &error);

    HLAtomicProperty<std::shared_ptr<VETimelineExportMovie>> m_timeline;
    HLAtomicProperty<QString> m_path;
    HLAtomicProperty<ZKFFMovieFileOutputFormat> m_movieOutputFormat;
    mutable std::mutex m_mutex; // the error, the running pass and the finished weight
    std::shared_ptr<ZKVideoConverter> m_converter; // the pass that runs now
    QString m_error;

    std::atomic<bool> m_isCancel{false};
    std::atomic<bool> m_isFinish{false};
    std::atomic<bool> m_started{false};
    std::atomic<double> m_progressFinished{0.0};
    std::atomic<double> m_currentWeight{0.0};
    std::thread m_thread;
};
