#include "Frameworks/Korvane/ZKVideoConverter.h"

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKFramePipeline.h"
#include "Frameworks/Korvane/ZKMovieFileWriter.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverterDelegate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
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
};

constexpr int soundChunk = 1024;
constexpr int sourceRate = ZKMovieFileWriter::sourceSampleRate;

// The first output sample of time (ticks).
qint64 sampleAt(qint64 time)
{
    return av_rescale_rnd(time, sourceRate, zk_default_time_base(), AV_ROUND_DOWN);
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

ZKVideoConverter::ZKVideoConverter()
    : m_format(zk_get_default_movie_file_ouput_format()), m_used(m_format)
{
}

ZKVideoConverter::~ZKVideoConverter()
{
    cancel();
    if (!m_thread.joinable())
        return;
    // A delegate may let go of the converter from its end-of-run message, on this thread.
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    else
        m_thread.join();
}

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

ZKFFMovieFileOutputFormat ZKVideoConverter::usedOutputFormat() const
{
    std::lock_guard lock(m_mutex);
    return m_used;
}

QString ZKVideoConverter::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void ZKVideoConverter::setError(const QString &error)
{
    std::lock_guard lock(m_mutex);
    if (m_error.isEmpty())
        m_error = error;
}

void ZKVideoConverter::cancel()
{
    m_cancelled = true;
}

void ZKVideoConverter::startConvert()
{
    if (m_started.exchange(true))
        return;
    m_thread = std::thread([this] { run(); });
}

void ZKVideoConverter::run()
{
    const QString target = path();
    QString temporary;
    bool ok = false;
    const QFileInfo info(target);
    if (target.isEmpty()) {
        setError(QStringLiteral("No file to write"));
    } else if (info.isDir()) {
        setError(QStringLiteral("%1 is a folder").arg(target));
    } else if (!m_cancelled) {
        // Written beside the target and moved over it when complete, so the target (which
        // may be one of the inputs) is never touched by a run that does not succeed.
        QString error;
        temporary = createBeside(info, &error);
        if (temporary.isEmpty()) {
            setError(error);
        } else {
            try {
                ok = convert(temporary);
            } catch (const std::exception &e) {
                setError(QStringLiteral("Conversion failed: %1").arg(QString::fromUtf8(e.what())));
                ok = false;
            }
        }
    }
    if (ok && m_cancelled)
        ok = false;
    if (ok && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        setError(QStringLiteral("Cannot write %1: %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))));
        ok = false;
    }
    if (!ok && !temporary.isEmpty())
        QFile::remove(temporary);
    if (m_cancelled)
        setError(QStringLiteral("Cancelled"));
    if (ok)
        m_progress = 1.0;
    std::shared_ptr<ZKVideoConverterDelegate> delegate;
    {
        std::lock_guard lock(m_mutex);
        delegate = m_delegate.lock();
    }
    m_finished = true;
    if (delegate)
        delegate->videoConverterDidFinish(this);
}

bool ZKVideoConverter::convert(const QString &temporaryPath)
{
    std::vector<std::shared_ptr<ZKSegmentMovie>> movies;
    ZKMovieFileProfile profile;
    {
        std::lock_guard lock(m_mutex);
        if (!m_profileReady) {
            m_profile = ZKMovieFileProfile::of(m_path, m_format);
            m_used = m_profile.format;
            m_profileReady = true;
        }
        profile = m_profile;
        movies = m_movies;
    }
    if (!profile.isValid()) {
        setError(profile.error);
        return false;
    }

    std::vector<Segment> segments;
    qint64 total = 0;
    bool anyVideo = false;
    bool anyAudio = false;
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
        s.offset = total;
        s.video = s.source->hasVideo();
        s.audio = s.source->hasAudio();
        anyVideo = anyVideo || s.video;
        anyAudio = anyAudio || s.audio;
        total += s.duration;
        segments.push_back(s);
    }
    if (total <= 0) {
        setError(QStringLiteral("Nothing to convert"));
        return false;
    }

    // Pictures unless the file takes none or only sound is given; a DV file always has them.
    const bool withVideo = profile.takesVideo && (anyVideo || !anyAudio || profile.needsVideo);
    const bool withAudio = anyAudio || !withVideo;

    ZKMovieFileWriter writer;
    if (!writer.open(temporaryPath, profile, withVideo, withAudio)) {
        setError(writer.error());
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        m_used = writer.usedFormat();
    }

    // Frame k shows output time k × den / num seconds, counted in whole ticks so nothing
    // drifts however long the movie is.
    const qint64 tb = zk_default_time_base();
    const AVRational rate = profile.frameRate;
    auto frameTimeOf = [&](qint64 k) { return av_rescale_rnd(k, qint64(rate.den) * tb, rate.num, AV_ROUND_DOWN); };
    const qint64 frameCount = withVideo ? av_rescale_rnd(total, rate.num, qint64(rate.den) * tb, AV_ROUND_UP) : 0;
    const qint64 length = withVideo ? frameTimeOf(frameCount) : total;
    // The sound lasts as long as the pictures, so both streams end together.
    const qint64 sampleCount = withAudio ? (withVideo ? av_rescale_rnd(frameCount, qint64(rate.den) * sourceRate, rate.num, AV_ROUND_NEAR_INF)
                                                      : sampleAt(total))
                                         : 0;

    std::unique_ptr<ZKFramePipeline> pipeline;
    if (withVideo) {
        size_t cursor = 0;
        auto fetch = [&segments, cursor, frameTimeOf](qint64 k) mutable -> std::shared_ptr<ZKMovieImage> {
            const qint64 t = frameTimeOf(k);
            while (cursor + 1 < segments.size() && t >= segments[cursor].offset + segments[cursor].duration)
                ++cursor;
            const Segment &s = segments[cursor];
            if (!s.video)
                return nullptr;
            const qint64 time = std::min(s.start + (t - s.offset), s.source->currentVideoMediaMaxTime());
            std::shared_ptr<ZKMovieImage> image;
            s.source->decodeImageAtTime(time, [&image](const std::shared_ptr<ZKMovieImage> &frame) { image = frame; }, true);
            return image;
        };
        const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
        const int workers = std::clamp(cores / 2, 1, 4);
        ZKFramePipeline::Output output;
        output.size = QSize(profile.format.width, profile.format.height);
        output.format = profile.pixelFormat;
        output.letterbox = profile.fixedSize;
        output.displayAspect = profile.displayAspect;
        pipeline = std::make_unique<ZKFramePipeline>(frameCount, fetch, output, workers, 2 * workers + 4);
        pipeline->start();
    }

    std::vector<float> sound(2 * soundChunk);
    size_t soundSegment = 0;
    bool soundStarted = false;
    qint64 frame = 0;
    qint64 sample = 0;
    while (frame < frameCount || sample < sampleCount) {
        if (m_cancelled)
            return false;
        // Whichever stream is behind goes next, so the muxer never buffers much.
        const bool videoNext = frame < frameCount
                               && (sample >= sampleCount || av_compare_ts(frame, av_inv_q(rate), sample, {1, sourceRate}) <= 0);
        if (videoNext) {
            AVFrame *picture = pipeline->take(frame, m_cancelled);
            if (!picture) {
                if (!m_cancelled)
                    setError(pipeline->error());
                return false;
            }
            if (!writer.writeVideo(picture, frame)) {
                setError(writer.error());
                return false;
            }
            ++frame;
        } else {
            // Sound of the segment that holds this sample, up to its end.
            while (soundSegment < segments.size()
                   && sample >= sampleAt(segments[soundSegment].offset + segments[soundSegment].duration)) {
                ++soundSegment;
                soundStarted = false;
            }
            int count = int(std::min<qint64>(soundChunk, sampleCount - sample));
            std::fill(sound.begin(), sound.begin() + 2 * count, 0.0f);
            if (soundSegment < segments.size()) {
                const Segment &s = segments[soundSegment];
                const qint64 first = sampleAt(s.offset);
                count = int(std::min<qint64>(count, sampleAt(s.offset + s.duration) - sample));
                if (s.audio) {
                    if (!soundStarted) {
                        s.source->setCurrentTime(s.start);
                        s.source->flushOperation();
                        soundStarted = true;
                    }
                    if (!s.source->readSample(sound.data(), 0, count))
                        std::fill(sound.begin(), sound.begin() + 2 * count, 0.0f);
                    // The segment's gain, ramped across the chunk so fades stay smooth.
                    auto timeOf = [&](qint64 n) { return s.start + av_rescale(n - first, tb, sourceRate); };
                    const float from = s.movie->audioVolumeAtTime(timeOf(sample));
                    const float to = s.movie->audioVolumeAtTime(timeOf(sample + count - 1));
                    for (int i = 0; i < count; ++i) {
                        const float gain = count > 1 ? from + (to - from) * float(i) / float(count - 1) : from;
                        sound[2 * i] *= gain;
                        sound[2 * i + 1] *= gain;
                    }
                }
            }
            if (!writer.writeAudio(sound.data(), count)) {
                setError(writer.error());
                return false;
            }
            sample += count;
        }
        const double videoDone = withVideo ? double(frameTimeOf(frame)) : std::numeric_limits<double>::max();
        const double soundDone = withAudio ? double(sample) * tb / sourceRate : std::numeric_limits<double>::max();
        m_progress = std::min(0.999, std::min(videoDone, soundDone) / double(length));
    }
    if (pipeline)
        pipeline->stop();
    if (m_cancelled)
        return false;
    if (!writer.finish()) {
        setError(writer.error());
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_used = writer.usedFormat();
    return true;
}
