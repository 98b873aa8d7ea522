// Plays a generated project (40 photos, 4 clips with sound, titles of every kind, every shipped
// slideshow and transition template) frame by frame at 30 frames a second, first in preview mode
// (1280 × 960 limited to 1200 × 900) and then in export mode (the full 1280 × 960), and prints
// frames per second, the median and the worst milliseconds per frame of the timeline and title
// renderers together, against one full-frame QPainter drawImage at the preview size measured in
// the same run. Last line: "ratio render <median preview frame / one full-frame draw>".
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "ExportBench.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr double kSeconds = 40; // of project time played in each mode
constexpr double kStep = 1.0 / 30;

double ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Cycles through the names of a pool, so every template is used.
std::function<QVariantMap()> cycling(HLRenderType type)
{
    auto next = std::make_shared<int>(0);
    return [type, next] {
        const auto pool = HLQuartzPool::quartzPoolOf(type);
        const QStringList names = pool->quartzNames();
        return names.isEmpty() ? QVariantMap() : pool->infoDicOf(names[(*next)++ % names.size()]).value_or(QVariantMap());
    };
}

struct Figures
{
    double fps, median, worst;
    int empty; // frames that came out null or all black: the figures would flatter the renderer
};

bool isEmpty(const QImage &frame)
{
    if (frame.isNull())
        return true;
    const QImage small = frame.scaled(16, 12);
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            if (qGray(small.pixel(x, y)) > 8)
                return false;
        }
    }
    return true;
}

Figures play(HLTimelineItem &timeline, HLTimelineRender &render,
             HLTextlineRender &titles, HLRenderMode mode)
{
    std::vector<double> times;
    int empty = 0;
    const auto start = std::chrono::steady_clock::now();
    for (double t = 0; t < std::min<double>(kSeconds, timeline.dDuration()); t += kStep) {
        const auto begin = std::chrono::steady_clock::now();
        QImage frame;
        if (mode == HLRenderModePreview) {
            frame = render.renderPreview(float(t), nullptr);
            titles.renderPreview(float(t));
        } else {
            frame = render.renderExport(zk_ff_time_from_double(t));
            titles.renderExport(float(t));
        }
        times.push_back(ms(std::chrono::steady_clock::now() - begin));
        empty += isEmpty(frame);
    }
    const double total = ms(std::chrono::steady_clock::now() - start);
    return {times.size() * 1000.0 / total, median(times), *std::max_element(times.begin(), times.end()), empty};
}

double fullFrameDraw(QSize size)
{
    const QImage picture = MediaFixtures::numberedPhoto(0).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int k = 0; k < 30; ++k) {
        QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
        const auto begin = std::chrono::steady_clock::now();
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), size), picture);
        painter.end();
        times.push_back(ms(std::chrono::steady_clock::now() - begin));
    }
    return median(times);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    HLResourceItem::configureForVideo();
    HLResourceItem::configureForImage();
    HLResourcePool::update(dir.filePath("Videos"), HLResourceSourceTemp, HLResourceTypeVideo);
    HLResourcePool::update(dir.filePath("Images"), HLResourceSourceTemp, HLResourceTypeImage);
    const QString templates = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources/Templates");
    HLQuartzPool::setupOf(templates + "/Slideshow", 0);
    HLQuartzPool::setupOf(templates + "/Transition", 2);
    HLQuartzPool::setupOf(templates + "/Text", 3);

    const HLTimelineItem::ResourceItems media = ExportBench::photosAndClips(dir.path());
    if (media.isEmpty()) {
        std::fprintf(stderr, "cannot make the clips (ffmpeg)\n");
        return 1;
    }
    auto timeline = HLTimelineItem::timelineOf(4);
    timeline->setupSlideshow(cycling(0), cycling(2));
    timeline->addOutTo(media, QString());
    timeline->applySlideshowDisplayToAll(2.0f);
    timeline->update(0);

    auto textline = HLTextlineItem::textline();
    const QStringList kinds = {QString(), QStringLiteral("Fade"), QStringLiteral("FlyIn")};
    for (int k = 0; k < 12; ++k) {
        const QString kind = kinds[k % kinds.size()];
        auto title = HLTextItem::textItemOf(QStringLiteral("T%1").arg(k),
                                            kind.isEmpty() ? QVariantMap()
                                                           : HLQuartzPool::quartzPoolOf(3)->infoDicOf(kind).value_or(QVariantMap()));
        title->updateLineMin(float(k) * 4 + 0.5f, float(k) * 4 + 3.5f);
        title->oTextEdit()->setStrText(QStringLiteral("Title %1").arg(k));
        textline->add(title);
    }
    textline->setupTimeMap([](float position) { return position; });
    textline->syncPlayTime();

    const auto sizer = HLRenderSizer::renderSizerOf(QSizeF(1280, 960), 1200);
    auto render = HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                     HLQuartzPool::quartzPoolOf(2));
    auto titles = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    const double draw = fullFrameDraw(render->frameSizeOf(HLRenderModePreview));

    std::printf("project: %lld slideshow items, %.1f s; %.0f s played in each mode\n",
                static_cast<long long>(timeline->slideshowItemsCount()), double(timeline->dDuration()), kSeconds);
    std::printf("one full-frame draw at 1200 x 900: %.2f ms\n", draw);
    const Figures preview = play(*timeline, *render, *titles, HLRenderModePreview);
    std::printf("preview 1200 x 900: %.1f fps, median %.2f ms, worst %.2f ms, %d empty frames\n", preview.fps,
                preview.median, preview.worst, preview.empty);
    render->deepClear();
    titles->clear();
    const Figures exported = play(*timeline, *render, *titles, HLRenderModeExport);
    std::printf("export 1280 x 960: %.1f fps, median %.2f ms, worst %.2f ms, %d empty frames\n", exported.fps,
                exported.median, exported.worst, exported.empty);
    std::printf("ratio render %.2f\n", preview.median / draw);
    return 0;
}
