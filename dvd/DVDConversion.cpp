#include "dvd/DVDConversion.h"

#include "export/VETimelineExportMovieConverter.h"

#include "Frameworks/Korvane/ZKVideoConverter.h"

#include <QFile>

namespace {

template <class Converter>
class ConverterConversion : public DVDConversion
{
public:
    explicit ConverterConversion(std::shared_ptr<Converter> converter) : m_converter(std::move(converter)) {}
    QString path() const override { return m_converter->path(); }
    void startConvert() override { m_converter->startConvert(); }
    std::shared_ptr<HLJobState> jobState() const override { return m_converter->jobState(); }

private:
    std::shared_ptr<Converter> m_converter;
};

} // namespace

std::shared_ptr<DVDConversion> DVDConversion::ofMovies(const std::vector<std::shared_ptr<ZKSegmentMovie>> &movies,
                                                       const QString &path, const ZKFFMovieFileOutputFormat &format,
                                                       std::vector<qint64> groupStarts)
{
    auto converter = std::make_shared<ZKVideoConverter>();
    converter->setMovies(movies);
    converter->setGroupStarts(std::move(groupStarts));
    converter->setPath(path);
    QFile::remove(path);
    converter->setMovieOutputFormat(format);
    converter->updateConverterContent();
    return std::make_shared<ConverterConversion<ZKVideoConverter>>(converter);
}

std::shared_ptr<DVDConversion> DVDConversion::ofSlideshow(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                          const QString &path, const ZKFFMovieFileOutputFormat &format)
{
    auto converter = std::make_shared<VETimelineExportMovieConverter>();
    converter->setTimeline(movie);
    converter->setMovieOutputFormat(format);
    converter->setPath(path);
    QFile::remove(path);
    return std::make_shared<ConverterConversion<VETimelineExportMovieConverter>>(converter);
}
