#include "export/VETimelineExportMovieConverter.h"

#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
#include "Platform/Foundation/HLJobStages.h"
#include "SourceHL/Common/HLFileManager.h"

#include <QFile>

#include <algorithm>

namespace {

const QString kTempAudioFolder = QStringLiteral("convert-timeline-audio");

// The sound pass, then the movie pass; the last hundredth is never shown.
constexpr double kSoundShare = 0.1;
constexpr double kMovieShare = 0.89;
enum Stage : size_t { SoundPass, MoviePass };

} // namespace

VETimelineExportMovieConverter::VETimelineExportMovieConverter()
    : m_movieOutputFormat(zk_get_default_movie_file_ouput_format()),
      m_job([this](HLJobState &state) { return p_run(state); })
{
}

// The job is the last member, so it is gone (cancelled and waited for) before what it reads.
VETimelineExportMovieConverter::~VETimelineExportMovieConverter() = default;

double VETimelineExportMovieConverter::progress() const
{
    return std::min(kSoundShare + kMovieShare, m_job.state().progress());
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
    if (m_job.isStarted())
        return;
    m_movie = timeline();
    m_outputPath = path();
    m_audioPath = HLFileManager::tempFilePath(kTempAudioFolder, QStringLiteral("m4a"));
    if (!m_audioPath.isEmpty())
        QFile::remove(m_audioPath);
    if (!m_movie)
        m_startError = QStringLiteral("Nothing to export");
    else if (m_audioPath.isEmpty())
        m_startError = QStringLiteral("Cannot make a temporary file for the sound");
    else {
        m_audioPass = convert_audio(m_movie, m_audioPath);
        m_moviePass = convert_movie(m_movie, movieOutputFormat(), m_outputPath);
    }
    m_job.start();
}

bool VETimelineExportMovieConverter::waitVideoConverterFinished(HLJobStages &stages,
                                                                const std::shared_ptr<ZKVideoConverter> &converter)
{
    converter->startConvert();
    return stages.follow(*converter->jobState());
}

bool VETimelineExportMovieConverter::p_run(HLJobState &state)
{
    if (!m_startError.isEmpty()) {
        state.fail(m_startError);
        return false;
    }
    HLJobStages stages(state, {kSoundShare, kMovieShare});
    stages.begin(SoundPass);
    bool ok = waitVideoConverterFinished(stages, m_audioPass);
    bool wrote = false;
    if (ok && !state.isCancelled()) {
        stages.begin(MoviePass);
        const auto sound = ZKSegmentMovie::movieWithPath(m_audioPath);
        if (sound && sound->duration() > zk_ff_time_from_double(0.01))
            m_movie->setFfaudio(sound->ffmovie());
        ok = wrote = waitVideoConverterFinished(stages, m_moviePass);
        // The movie holds the sound file open no longer than the job.
        m_movie->setFfaudio(nullptr);
    }
    QFile::remove(m_audioPath);
    // The movie pass moves its file into place only when complete, so only a file this job
    // finished can be there to take back.
    if (wrote && state.isCancelled())
        QFile::remove(m_outputPath);
    return ok;
}
