#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Platform/Foundation/HLAtomicProperty.h"
#include "Platform/Foundation/HLJob.h"

#include <QString>

#include <memory>

class HLJobStages;
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
    bool isFinished() const { return m_job.state().isFinished(); }
    bool isCancelled() const { return m_job.state().isCancelled(); }
    // Reaches the running pass within one poll of the job.
    void cancel() { m_job.cancel(); }
    // 0.1 for the sound pass, 0.89 for the movie pass; 0.99 at the end.
    double progress() const;
    // Why the job failed; empty while it runs, after success and after a cancel.
    QString errorString() const { return m_job.state().errorString(); }
    // The export as a job, for a caller that runs it as one stage of its own.
    std::shared_ptr<HLJobState> jobState() const { return m_job.sharedState(); }

    // The converter of the movie pass: the movie source as its only segment.
    static std::shared_ptr<ZKVideoConverter> convert_movie(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                           const ZKFFMovieFileOutputFormat &format,
                                                           const QString &path);
    // The converter of the sound pass: the mixer, with the movie's final fade, into a lossless
    // file at path.
    static std::shared_ptr<ZKVideoConverter> convert_audio(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                           const QString &path);

private:
    bool p_run(HLJobState &state);
    // Runs one pass to its end as the running stage; false when it failed or was cancelled.
    static bool waitVideoConverterFinished(HLJobStages &stages, const std::shared_ptr<ZKVideoConverter> &converter);

    HLAtomicProperty<std::shared_ptr<VETimelineExportMovie>> m_timeline;
    HLAtomicProperty<QString> m_path;
    HLAtomicProperty<ZKFFMovieFileOutputFormat> m_movieOutputFormat;
    // Made by startConvert before the job starts, read by the job only.
    std::shared_ptr<VETimelineExportMovie> m_movie;
    std::shared_ptr<ZKVideoConverter> m_audioPass;
    std::shared_ptr<ZKVideoConverter> m_moviePass;
    QString m_audioPath;
    QString m_outputPath;
    QString m_startError;

    HLJob m_job;
};
