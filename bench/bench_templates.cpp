// Renders every template of Resources/Templates at 1200 × 900 over its whole duration (30 frames a
// second of template time, at least 60 frames) and prints the median and worst milliseconds per
// frame of each, against one full-frame QPainter drawImage of a 1200 × 900 picture measured in the
// same run. Each template is swept three times and each frame keeps its fastest time; the full-frame
// draw is sampled between the sweeps, so a busy machine slows both alike.
// Last line: "ratio templates <slowest template's median / one full-frame draw>".
#include "Platform/Composer/Composition.h"
#include "Platform/Composer/CompositionRenderer.h"
#include "Platform/Composer/SlideTiming.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "Platform/Foundation/HLPropertyListError.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

const QSize kSize(1200, 900);

double ms(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Frame-sized pictures, as the render pool prepares them.
std::vector<QImage> pictures(const QString &resources)
{
    std::vector<QImage> result;
    for (int k = 0;; ++k) {
        const QImage img(QDir(resources).filePath(QStringLiteral("Preview%1.png").arg(k)));
        if (img.isNull())
            break;
        result.push_back(img.scaled(kSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    if (result.empty()) {
        QImage img(kSize, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(120, 160, 200));
        result.push_back(img);
    }
    return result;
}

void sampleFullFrameDraw(const QImage &picture, std::vector<double> &times)
{
    for (int k = 0; k < 20; ++k) {
        QImage canvas(kSize, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::black);
        const auto start = std::chrono::steady_clock::now();
        QPainter p(&canvas);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(kSize)), picture);
        p.end();
        times.push_back(ms(std::chrono::steady_clock::now() - start));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString resources = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources");
    const std::vector<QImage> inputs = pictures(resources);
    std::vector<double> drawTimes;
    struct Result
    {
        QString name;
        double median, worst;
    };
    std::vector<Result> results;
    for (const QString &kind : {"Slideshow", "Transition", "Text"}) {
        const QDir kindDir(resources + "/Templates/" + kind);
        for (const QString &name : kindDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QDir dir(kindDir.filePath(name));
            for (const QString &plist : dir.entryList({"*.plist"}, QDir::Files, QDir::Name)) {
                QVariantMap info;
                try {
                    info = HLPropertyList::readDictionary(dir.filePath(plist));
                } catch (const HLPropertyListError &) {
                    continue;
                }
                const SlideTiming timing = SlideTiming::fromInfo(info);
                QString error;
                const auto composition = Composition::load(
                    dir.filePath(HLPropertyList::string(info, "QuartzName")), timing, &error);
                if (!composition) {
                    std::printf("%s/%s: Failed In %s\n", qPrintable(kind), qPrintable(name), qPrintable(error));
                    continue;
                }
                CompositionRenderer r(composition, kSize);
                double duration = 1;
                if (kind == u"Slideshow") {
                    const int count = int(HLPropertyList::integer(info, "BestCount", 1));
                    QVariantList images;
                    for (int k = 0; k < count; ++k)
                        images.append(QVariantMap{{"Image", inputs[size_t(k) % inputs.size()]}});
                    r.setValue("Images", images);
                    duration = timing.total(count);
                } else if (kind == u"Transition") {
                    r.setValue("ImageA", inputs[0]);
                    r.setValue("ImageB", inputs[1 % inputs.size()]);
                } else {
                    r.setValue("Content", "A Summer by the Lake");
                    r.setValue("FontName", "DejaVu Sans");
                    r.setValue("FontSize", 60.0);
                    r.setValue("FontColor", QColor(Qt::white));
                }
                const int frames = std::max(60, int(duration * 30));
                std::vector<double> times(size_t(frames + 1), 1e300);
                for (int sweep = 0; sweep < 3; ++sweep) {
                    sampleFullFrameDraw(inputs.front(), drawTimes);
                    for (int f = 0; f <= frames; ++f) {
                        const auto start = std::chrono::steady_clock::now();
                        const QImage frame = r.render(duration * f / frames);
                        times[size_t(f)] = std::min(times[size_t(f)], ms(std::chrono::steady_clock::now() - start));
                    }
                }
                results.push_back({kind + "/" + name, median(times), *std::max_element(times.begin(), times.end())});
            }
        }
    }
    const double draw = median(drawTimes);
    std::printf("full-frame draw: %.3f ms\n", draw);
    const Result *slowest = nullptr;
    for (const Result &r : results) {
        std::printf("%-28s median %7.3f ms  worst %7.3f ms  (%.2f draws)\n", qPrintable(r.name), r.median, r.worst,
                    r.median / draw);
        if (!slowest || r.median > slowest->median)
            slowest = &r;
    }
    if (!slowest)
        return 1;
    std::printf("slowest: %s\n", qPrintable(slowest->name));
    std::printf("ratio templates %.3f\n", slowest->median / draw);
    return 0;
}
