#include "export/VETimelineExportMovieConverter.h"

#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
#include "SourceHL/Common/HLFileManager.h"

#include <QFile>

#include <chrono>

namespace {

const QString kTempAudioFolder = QStringLiteral("convert-timeline-audio");

} // namespace

VETimelineExportMovieConverter::VETimelineExportMovieConverter()
    : m_movieOutputFormat(zk_get_default_movie_file_ouput_format())
{
}

VETimelineExportMovieConverter::~VETimelineExportMovieConverter()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

QString VETimelineExportMovieConverter::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void VETimelineExportMovieConverter::p_setError(const QString &error)
{
    std::lock_guard lock(m_mutex);
    if (m_error.isEmpty())
        m_error = error.isEmpty() ? QStringLiteral("The conversion failed") : error;
}

void VETimelineExportMovieConverter::cancel()
{
    m_isCancel = true;
    std::shared_ptr<ZKVideoConverter> running;
    {
        std::lock_guard lock(m_mutex);
        running = m_converter;
    }
    if (running)
        running->cancel();
}

double VETimelineExportMovieConverter::progress() const
{
    // The finished weight and the running pass change together (p_endPass), so they are read
    // together: progress never steps back between two passes.
    std::lock_guard lock(m_mutex);
    return m_progressFinished + (m_converter ? m_converter->progress() * m_currentWeight : 0.0);
}

std::shared_ptr<ZKVideoConverter>
VETimelineExportMovieConverter::convert_movie(const std::shared_ptr<VETimelineExportMovie> &movie,
                                              const ZKFFMovieFileOutputFormat &format, const QString &path)
{
    auto converter = std::make_shared<ZKVideoConverter>();
    converter->setMovies({ZKSegmentMovie::movieWithFFmovie(movie)});
    converter->setMovieOutputFormat(format);
    converter->setPath(path);
    return converter;
}

std::shared_ptr<ZKVideoConverter>
VETimelineExportMovieConverter::convert_audio(const std::shared_ptr<VETimelineExportMovie> &movie, const QString &path)
{
    const auto mixer = movie->audioExport();
    auto converter = std::make_shared<ZKVideoConverter>();
    if (mixer) {
        mixer->setMax_duration(movie->duration());
        auto segment = ZKSegmentMovie::movieWithFFmovie(mixer);
        segment->setFadeOut(movie->fadeOut());
        converter->setMovies({segment});
    }
    // The sound is encoded once, in the movie: the intermediate file is lossless.
    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    format.audio_codec = zk_get_codec_id_by_name(QStringLiteral("alac"));
    format.audio_bitrate = 256000;
    converter->setMovieOutputFormat(format);
    converter->setPath(path);
    return converter;
}

void VETimelineExportMovieConverter::startConvert()
{
    if (m_started.exchange(true))
        return;
    const auto movie = timeline();
    const ZKFFMovieFileOutputFormat format = movieOutputFormat();
    const QString output = path();

    const QString audioPath = HLFileManager::tempFilePath(kTempAudioFolder, QStringLiteral("m4a"));
    if (!audioPath.isEmpty())
        QFile::remove(audioPath);
    std::shared_ptr<ZKVideoConverter> audio;
    std::shared_ptr<ZKVideoConverter> video;
    if (!movie)
        p_setError(QStringLiteral("Nothing to export"));
    else if (audioPath.isEmpty())
        p_setError(QStringLiteral("Cannot make a temporary file for the sound"));
    else {
        audio = convert_audio(movie, audioPath);
        video = convert_movie(movie, format, output);
    }
    m_thread = std::thread([this, audio, video, audioPath, output] { p_run(audio, video, audioPath, output); });
}

bool VETimelineExportMovieConverter::waitVideoConverterFinished(const std::shared_ptr<ZKVideoConverter> &converter)
{
    {
        std::lock_guard lock(m_mutex);
        m_converter = converter;
    }
    // A cancel that came before the pass was registered still reaches it.
    if (m_isCancel)
        converter->cancel();
    converter->startConvert();
    while (!converter->isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const QString error = converter->errorString();
    if (error.isEmpty())
        return true;
    if (!m_isCancel)
        p_setError(error);
    return false;
}

void VETimelineExportMovieConverter::p_endPass()
{
    std::lock_guard lock(m_mutex);
    m_converter.reset();
    m_progressFinished = m_progressFinished + m_currentWeight;
}

void VETimelineExportMovieConverter::p_run(std::shared_ptr<ZKVideoConverter> audio,
                                           std::shared_ptr<ZKVideoConverter> movie, QString audioPath,
                                           QString outputPath)
{
    bool ok = audio && movie;
    bool wrote = false;
    m_currentWeight = 0.1;
    if (ok && !m_isCancel)
        ok = waitVideoConverterFinished(audio);
    p_endPass();
    m_currentWeight = 0.89;
    if (ok && !m_isCancel) {
        const auto sound = ZKSegmentMovie::movieWithPath(audioPath);
        if (sound && sound->duration() > zk_ff_time_from_double(0.01))
            timeline()->setFfaudio(sound->ffmovie());
        ok = waitVideoConverterFinished(movie);
        wrote = ok;
        // The movie holds the sound file open no longer than the job.
        timeline()->setFfaudio(nullptr);
    }
    p_endPass();

    if (!audioPath.isEmpty())
        QFile::remove(audioPath);
    // The movie pass moves its file into place only when complete, so only a file this job
    // finished can be there to take back.
    if (wrote && m_isCancel && !outputPath.isEmpty())
        QFile::remove(outputPath);
    m_isFinish = true;
}
