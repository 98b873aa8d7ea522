// The first preview frame of a four-picture layout holding a 12000 × 200 panorama, against
// the same layout holding four ordinary photos, each in a fresh project measured in the same
// run. Times are the process's CPU time, which a busy machine disturbs less than the wall
// clock. Last line: "ratio panorama <panorama first frame / photos first frame>".
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

std::shared_ptr<HLResourceItem> import(const QString &path)
{
    return HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, HLResourceTypeImage)
        ->addResourceFrom(path, [](HLResourceType type, const QString &identifier, const QString &hash,
                                   const QString &placed, QString *why) {
            return HLResourceItem::itemOf(type, identifier, hash, placed, why);
        });
}

QString photo(const QTemporaryDir &dir, const QString &name, QSize size, int hue)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor::fromHsv(hue, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((hue + 120) % 360, 160, 90));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    const QString path = dir.filePath(name);
    image.save(path, "JPEG", 90);
    return path;
}

// Milliseconds of the first preview frame of a fresh project showing media in one layout.
double firstFrame(const HLTimelineItem::ResourceItems &media, const QString &layout)
{
    auto timeline = HLTimelineItem::timelineOf(4);
    const auto pool = HLQuartzPool::quartzPoolOf(0);
    timeline->setupSlideshow([&] { return pool->infoDicOf(layout).value_or(QVariantMap()); }, [] {
        return HLQuartzPool::quartzPoolOf(2)->infoDicOf(QStringLiteral("Dissolve")).value_or(QVariantMap());
    });
    timeline->addOutTo(media, QString());
    timeline->applySlideshowDisplayToAll(2.0f);
    if (!(timeline->currentDuration() > 0))
        std::fprintf(stderr, "empty timeline for %s\n", qPrintable(layout));
    const auto sizer = HLRenderSizer::renderSizerOf(QSizeF(1280, 960), 1200);
    auto render = HLTimelineRender::timelineRenderOf(timeline, false, sizer, pool, HLQuartzPool::quartzPoolOf(2));
    const double begin = cpuMs();
    const QImage frame = render->renderPreview(0.5f, nullptr);
    const double ms = cpuMs() - begin;
    if (frame.isNull())
        std::fprintf(stderr, "no frame\n");
    return ms;
}

double medianOf(const std::function<double()> &measure)
{
    std::vector<double> times;
    for (int k = 0; k < 9; ++k)
        times.push_back(measure());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    HLResourceItem::configureForImage();
    HLResourcePool::update(dir.filePath("Images"), HLResourceSourceTemp, HLResourceTypeImage);
    const QString templates = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources/Templates");
    HLQuartzPool::setupOf(templates + "/Slideshow", 0);
    HLQuartzPool::setupOf(templates + "/Transition", 2);

    HLTimelineItem::ResourceItems photos, withPanorama;
    for (int k = 0; k < 4; ++k)
        photos.append(import(photo(dir, QStringLiteral("photo%1.jpg").arg(k), QSize(4000, 3000), k * 60)));
    withPanorama = photos;
    withPanorama[0] = import(photo(dir, QStringLiteral("panorama.jpg"), QSize(12000, 200), 200));

    const double alone = medianOf([&] { return firstFrame({withPanorama[0]}, QStringLiteral("Normal")); });
    const double four = medianOf([&] { return firstFrame(photos, QStringLiteral("FourUp")); });
    const double panorama = medianOf([&] { return firstFrame(withPanorama, QStringLiteral("FourUp")); });
    std::printf("first preview frame, panorama alone (Normal): %.1f ms\n", alone);
    std::printf("first preview frame, four photos (FourUp): %.1f ms\n", four);
    std::printf("first preview frame, panorama and three photos (FourUp): %.1f ms\n", panorama);
    std::printf("ratio panorama %.2f\n", panorama / four);
    return 0;
}
