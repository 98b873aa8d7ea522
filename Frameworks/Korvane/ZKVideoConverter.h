#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Korvane/ZKMovieFileProfile.h"
#include "Platform/Foundation/HLJob.h"

#include <QString>

#include <memory>
#include <mutex>
#include <vector>

class ZKMovieFileWriter;
class ZKSegmentMovie;
class ZKVideoConverterDelegate;

// Writes its segments one after the other into a movie or sound file. The container comes
// from the path's extension (mp4, mov, m4v, mpg, ts, wmv, asf, mkv, flv, dv, avi, m4a, and
// dvd for a DVD work file); codecs and settings from the output format, snapped to what the
// file type accepts. Pictures are asked of each segment's source at the output's frame
// times, sound is read with readSample and the segment's volume. The file is written beside
// the target and moved into place only when it is complete.
class ZKVideoConverter
{
public:
    ZKVideoConverter();
    ~ZKVideoConverter(); // cancels a running conversion and waits for it
    ZKVideoConverter(const ZKVideoConverter &) = delete;
    ZKVideoConverter &operator=(const ZKVideoConverter &) = delete;

    void setMovies(std::vector<std::shared_ptr<ZKSegmentMovie>> movies);
    std::vector<std::shared_ptr<ZKSegmentMovie>> movies() const;
    void setMovieOutputFormat(const ZKFFMovieFileOutputFormat &format);
    ZKFFMovieFileOutputFormat movieOutputFormat() const;
    void setPath(const QString &path);
    QString path() const;
    // Output pictures (0, 1, …) that must each begin a closed group of pictures: where a
    // player has to be able to start (a DVD chapter).
    void setGroupStarts(std::vector<qint64> frames);
    void setDelegate(std::weak_ptr<ZKVideoConverterDelegate> delegate);

    // Works out the file type and the settings that will be used from the path and format.
    void updateConverterContent();
    // The settings the file is written with: after updateConverterContent, those snapped to
    // the file type; after a run, also what the encoders adjusted.
    ZKFFMovieFileOutputFormat usedOutputFormat() const;

    // How many threads ask the segments for pictures at once (HLThreads' count halved, 1 to 4):
    // a source that renders on copies of its own makes as many.
    static int pictureWorkers();

    // Returns at once; the conversion runs on the converter's own threads. Only once.
    void startConvert();
    bool isFinished() const { return m_job.state().isFinished(); }
    // Written time / total time, 0 to 1.
    double progress() const { return m_job.state().progress(); }
    void cancel() { m_job.cancel(); }
    bool isCancelled() const { return m_job.state().isCancelled(); }
    // Why the conversion failed or was cancelled; empty while running and after success.
    QString errorString() const { return m_job.state().errorString(); }
    // The conversion as a job, for a caller that runs it as one stage of its own.
    std::shared_ptr<HLJobState> jobState() const { return m_job.sharedState(); }

private:
    bool p_work(HLJobState &state);
    bool convert(const QString &temporaryPath, HLJobState &state);
    ZKMovieFileProfile p_preparedProfile();
    void p_setUsedFormat(const ZKFFMovieFileOutputFormat &format);

    mutable std::mutex m_mutex; // settings and profile
    std::vector<std::shared_ptr<ZKSegmentMovie>> m_movies;
    ZKFFMovieFileOutputFormat m_format;
    QString m_path;
    std::vector<qint64> m_groupStarts;
    std::weak_ptr<ZKVideoConverterDelegate> m_delegate;
    ZKMovieFileProfile m_profile;
    bool m_profileReady = false;
    ZKFFMovieFileOutputFormat m_used{};

    HLJob m_job;
};
