#include "Frameworks/Korvane/ZKVideoConverter.h"

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKFramePipeline.h"
#include "Frameworks/Korvane/ZKMovieFileWriter.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverterDelegate.h"
#include "Platform/Foundation/HLThreads.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace {

struct Segment
{
    std::shared_ptr<ZKSegmentMovie> movie;
    std::shared_ptr<MovieSource> source;
    qint64 start = 0;    // in the source
    qint64 duration = 0;
    qint64 offset = 0;   // where it begins in the output
    bool video = false;
    bool audio = false;

    qint64 end() const { return offset + duration; }
};

// The segments that have a source and a length, placed one after the other.
struct SegmentTrack
{
    std::vector<Segment> segments;
    qint64 total = 0;
    bool anyVideo = false;
    bool anyAudio = false;
};

SegmentTrack trackOf(const std::vector<std::shared_ptr<ZKSegmentMovie>> &movies)
{
    SegmentTrack track;
    for (const auto &movie : movies) {
        Segment s;
        s.movie = movie;
        s.source = movie ? movie->ffmovie() : nullptr;
        if (!s.source)
            continue;
        s.start = movie->start();
        s.duration = movie->duration();
        if (s.duration <= 0)
            continue;
        s.offset = track.total;
        s.video = s.source->hasVideo();
        s.audio = s.source->hasAudio();
        track.anyVideo = track.anyVideo || s.video;
        track.anyAudio = track.anyAudio || s.audio;
        track.total += s.duration;
        track.segments.push_back(s);
    }
    return track;
}

constexpr int soundChunk = 1024;
constexpr int sourceRate = ZKMovieFileWriter::sourceSampleRate;

// The first output sample of time (ticks).
qint64 sampleAt(qint64 time)
{
    return av_rescale_rnd(time, sourceRate, zk_default_time_base(), AV_ROUND_DOWN);
}

// How many pictures and samples the file gets. Frame k shows output time k × den / num
// seconds, counted in whole ticks so nothing drifts however long the movie is; the sound
// lasts as long as the pictures, so both streams end together.
struct OutputLength
{
    AVRational rate{0, 1};
    bool withVideo = false;
    bool withAudio = false;
    qint64 frames = 0;
    qint64 samples = 0;
    qint64 length = 0; // ticks

    OutputLength(qint64 total, AVRational frameRate, bool video, bool audio)
        : rate(frameRate), withVideo(video), withAudio(audio)
    {
        const qint64 tb = zk_default_time_base();
        frames = withVideo ? av_rescale_rnd(total, rate.num, qint64(rate.den) * tb, AV_ROUND_UP) : 0;
        length = withVideo ? frameTime(frames) : total;
        if (withAudio)
            samples = withVideo ? av_rescale_rnd(frames, qint64(rate.den) * sourceRate, rate.num, AV_ROUND_NEAR_INF)
                                : sampleAt(total);
    }

    qint64 frameTime(qint64 k) const
    {
        return av_rescale_rnd(k, qint64(rate.den) * zk_default_time_base(), rate.num, AV_ROUND_DOWN);
    }

    // Whichever stream is behind goes next, so the muxer never buffers much.
    bool pictureNext(qint64 frame, qint64 sample) const
    {
        return frame < frames && (sample >= samples || av_compare_ts(frame, av_inv_q(rate), sample, {1, sourceRate}) <= 0);
    }

    // The share written once both streams have reached frame and sample; short of 1.
    double progress(qint64 frame, qint64 sample) const
    {
        const double tb = double(zk_default_time_base());
        const double pictures = withVideo ? double(frameTime(frame)) : std::numeric_limits<double>::max();
        const double sound = withAudio ? double(sample) * tb / sourceRate : std::numeric_limits<double>::max();
        return std::min(0.999, std::min(pictures, sound) / double(length));
    }
};

// Asks each segment's source for the picture of every output frame, in order.
ZKFramePipeline::Fetch pictureFetch(const std::vector<Segment> &segments, const OutputLength &length)
{
    size_t cursor = 0;
    return [&segments, &length, cursor](qint64 k) mutable -> std::shared_ptr<ZKMovieImage> {
        const qint64 t = length.frameTime(k);
        while (cursor + 1 < segments.size() && t >= segments[cursor].end())
            ++cursor;
        const Segment &s = segments[cursor];
        if (!s.video)
            return nullptr;
        const qint64 time = std::min(s.start + (t - s.offset), s.source->currentVideoMediaMaxTime());
        std::shared_ptr<ZKMovieImage> image;
        s.source->decodeImageAtTime(time, [&image](const std::shared_ptr<ZKMovieImage> &frame) { image = frame; }, true);
        return image;
    };
}

std::unique_ptr<ZKFramePipeline> startPictures(const std::vector<Segment> &segments, const OutputLength &length,
                                               const ZKMovieFileProfile &profile)
{
    const int workers = ZKVideoConverter::pictureWorkers();
    ZKFramePipeline::Output output;
    output.size = QSize(profile.format.width, profile.format.height);
    output.format = profile.pixelFormat;
    output.letterbox = profile.fixedSize;
    output.displayAspect = profile.displayAspect;
    auto pipeline = std::make_unique<ZKFramePipeline>(length.frames, pictureFetch(segments, length), output, workers,
                                                      2 * workers + 4);
    pipeline->start();
    return pipeline;
}

// The sound of the segments in output order, a chunk at a time, each with its own volume.
class SegmentSound
{
public:
    explicit SegmentSound(const std::vector<Segment> &segments) : m_segments(segments) {}

    // Up to count samples from output sample on, never past the end of the segment that holds
    // it (silence where no segment sounds); answers how many were written into buffer.
    int read(qint64 sample, int count, float *buffer)
    {
        while (m_current < m_segments.size() && sample >= sampleAt(m_segments[m_current].end())) {
            ++m_current;
            m_started = false;
        }
        std::fill(buffer, buffer + 2 * count, 0.0f);
        if (m_current == m_segments.size())
            return count;
        const Segment &s = m_segments[m_current];
        count = int(std::min<qint64>(count, sampleAt(s.end()) - sample));
        if (!s.audio)
            return count;
        if (!m_started) {
            s.source->setCurrentTime(s.start);
            s.source->flushOperation();
            m_started = true;
        }
        if (!s.source->readSample(buffer, 0, count))
            std::fill(buffer, buffer + 2 * count, 0.0f);
        applyVolume(s, sample, count, buffer);
        return count;
    }

private:
    // The segment's gain, ramped across the chunk so fades stay smooth.
    static void applyVolume(const Segment &s, qint64 sample, int count, float *buffer)
    {
        const qint64 first = sampleAt(s.offset);
        auto timeOf = [&](qint64 n) { return s.start + av_rescale(n - first, zk_default_time_base(), sourceRate); };
        const float from = s.movie->audioVolumeAtTime(timeOf(sample));
        const float to = s.movie->audioVolumeAtTime(timeOf(sample + count - 1));
        for (int i = 0; i < count; ++i) {
            const float gain = count > 1 ? from + (to - from) * float(i) / float(count - 1) : from;
            buffer[2 * i] *= gain;
            buffer[2 * i + 1] *= gain;
        }
    }

    const std::vector<Segment> &m_segments;
    size_t m_current = 0;
    bool m_started = false;
};

// Writes every picture and sample in time order, with the job's progress; false when the job
// was cancelled or failed (the reason given to failed).
bool writeStreams(ZKMovieFileWriter &writer, ZKFramePipeline *pictures, SegmentSound &sound,
                  const OutputLength &length, const std::vector<qint64> &groupStarts, HLJobState &state,
                  const std::function<bool(const QString &)> &failed)
{
    std::vector<float> chunk(2 * soundChunk);
    qint64 frame = 0;
    qint64 sample = 0;
    while (frame < length.frames || sample < length.samples) {
        if (state.isCancelled())
            return false;
        if (length.pictureNext(frame, sample)) {
            AVFrame *picture = pictures->take(frame, state.cancelToken());
            if (!picture)
                return failed(pictures->error());
            const bool startsGroup = std::binary_search(groupStarts.begin(), groupStarts.end(), frame);
            if (!writer.writeVideo(picture, frame, startsGroup))
                return failed(writer.error());
            ++frame;
        } else {
            const int count = sound.read(sample, int(std::min<qint64>(soundChunk, length.samples - sample)), chunk.data());
            if (!writer.writeAudio(chunk.data(), count))
                return failed(writer.error());
            sample += count;
        }
        state.setProgress(length.progress(frame, sample));
    }
    return true;
}

// A new empty file beside target, made with the usual permissions (a movie for the user, not
// a private scratch file); empty with error set when the folder takes no file.
QString createBeside(const QFileInfo &target, QString *error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = target.absolutePath() + QStringLiteral("/.") + target.completeBaseName()
                             + QStringLiteral("-%1.").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                             + target.suffix();
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    *error = QStringLiteral("Cannot write in %1: %2")
                 .arg(target.absolutePath(), QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}

} // namespace

int ZKVideoConverter::pictureWorkers()
{
    return std::clamp(HLThreads::count() / 2, 1, 4);
}

ZKVideoConverter::ZKVideoConverter()
    : m_format(zk_get_default_movie_file_ouput_format()), m_used(m_format),
      m_job([this](HLJobState &state) { return p_work(state); })
{
}

// The job is the last member, so it is gone (cancelled and waited for) before the settings
// its work reads.
ZKVideoConverter::~ZKVideoConverter() = default;

void ZKVideoConverter::setMovies(std::vector<std::shared_ptr<ZKSegmentMovie>> movies)
{
    std::lock_guard lock(m_mutex);
    m_movies = std::move(movies);
}

std::vector<std::shared_ptr<ZKSegmentMovie>> ZKVideoConverter::movies() const
{
    std::lock_guard lock(m_mutex);
    return m_movies;
}

void ZKVideoConverter::setGroupStarts(std::vector<qint64> frames)
{
    std::sort(frames.begin(), frames.end());
    std::lock_guard lock(m_mutex);
    m_groupStarts = std::move(frames);
}

void ZKVideoConverter::setMovieOutputFormat(const ZKFFMovieFileOutputFormat &format)
{
    std::lock_guard lock(m_mutex);
    m_format = format;
    m_profileReady = false;
}

ZKFFMovieFileOutputFormat ZKVideoConverter::movieOutputFormat() const
{
    std::lock_guard lock(m_mutex);
    return m_format;
}

void ZKVideoConverter::setPath(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_path = path;
    m_profileReady = false;
}

QString ZKVideoConverter::path() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

void ZKVideoConverter::setDelegate(std::weak_ptr<ZKVideoConverterDelegate> delegate)
{
    std::lock_guard lock(m_mutex);
    m_delegate = std::move(delegate);
}

void ZKVideoConverter::updateConverterContent()
{
    std::lock_guard lock(m_mutex);
    m_profile = ZKMovieFileProfile::of(m_path, m_format);
    m_used = m_profile.format;
    m_profileReady = true;
}

ZKMovieFileProfile ZKVideoConverter::p_preparedProfile()
{
    std::lock_guard lock(m_mutex);
    if (!m_profileReady) {
        m_profile = ZKMovieFileProfile::of(m_path, m_format);
        m_used = m_profile.format;
        m_profileReady = true;
    }
    return m_profile;
}

ZKFFMovieFileOutputFormat ZKVideoConverter::usedOutputFormat() const
{
    std::lock_guard lock(m_mutex);
    return m_used;
}

void ZKVideoConverter::p_setUsedFormat(const ZKFFMovieFileOutputFormat &format)
{
    std::lock_guard lock(m_mutex);
    m_used = format;
}

void ZKVideoConverter::startConvert()
{
    if (m_job.isStarted())
        return;
    std::weak_ptr<ZKVideoConverterDelegate> delegate;
    {
        std::lock_guard lock(m_mutex);
        delegate = m_delegate;
    }
    // The delegate hears of the end on the converter's thread, and may let go of the
    // converter from there.
    m_job.start(
        [this, delegate](const HLJobState &) {
            if (const auto told = delegate.lock())
                told->videoConverterDidFinish(this);
        },
        HLJob::FinishOn::JobThread);
}

bool ZKVideoConverter::p_work(HLJobState &state)
{
    const QString target = path();
    const QFileInfo info(target);
    if (target.isEmpty()) {
        state.fail(QStringLiteral("No file to write"));
        return false;
    }
    if (info.isDir()) {
        state.fail(QStringLiteral("%1 is a folder").arg(target));
        return false;
    }
    // Written beside the target and moved over it when complete, so the target (which may
    // be one of the inputs) is never touched by a run that does not succeed.
    QString error;
    const QString temporary = createBeside(info, &error);
    if (temporary.isEmpty()) {
        state.fail(error);
        return false;
    }
    bool ok = false;
    try {
        ok = convert(temporary, state) && !state.isCancelled();
    } catch (const std::exception &e) {
        state.fail(QStringLiteral("Conversion failed: %1").arg(QString::fromUtf8(e.what())));
    }
    if (ok && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        state.fail(QStringLiteral("Cannot write %1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))));
        ok = false;
    }
    if (!ok)
        QFile::remove(temporary);
    if (state.isCancelled())
        state.fail(QStringLiteral("Cancelled"));
    return ok;
}

bool ZKVideoConverter::convert(const QString &temporaryPath, HLJobState &state)
{
    const ZKMovieFileProfile profile = p_preparedProfile();
    if (!profile.isValid()) {
        state.fail(profile.error);
        return false;
    }
    const SegmentTrack track = trackOf(movies());
    if (track.total <= 0) {
        state.fail(QStringLiteral("Nothing to convert"));
        return false;
    }
    // Pictures unless the file takes none or only sound is given; a DV file always has them.
    const bool withVideo = profile.takesVideo && (track.anyVideo || !track.anyAudio || profile.needsVideo);
    const bool withAudio = track.anyAudio || !withVideo;
    const OutputLength length(track.total, profile.frameRate, withVideo, withAudio);

    ZKMovieFileWriter writer;
    const auto failed = [&](const QString &error) {
        if (!state.isCancelled())
            state.fail(error);
        return false;
    };
    if (!writer.open(temporaryPath, profile, withVideo, withAudio))
        return failed(writer.error());
    p_setUsedFormat(writer.usedFormat());

    const std::unique_ptr<ZKFramePipeline> pictures = withVideo ? startPictures(track.segments, length, profile) : nullptr;
    SegmentSound sound(track.segments);
    std::vector<qint64> groupStarts;
    {
        std::lock_guard lock(m_mutex);
        groupStarts = m_groupStarts;
    }
    if (!writeStreams(writer, pictures.get(), sound, length, groupStarts, state, failed))
        return false;
    if (pictures)
        pictures->stop();
    if (state.isCancelled() || !writer.finish())
        return failed(writer.error());
    p_setUsedFormat(writer.usedFormat());
    return true;
}
