// The template chooser's hover preview of the heaviest slideshow template (the one slowest to
// render at the previews' size, measured first) played for 10 s by the grid's own 30-a-second
// timer in an offscreen window. Prints that template's milliseconds per frame and, last,
// "ratio grid <frames shown / frames due>" (due: 30 a second of the time that passed).
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLSlideshowRender.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"
#include "widgets/HLResourceFolder.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds per frame of a template at the previews' size, over 30 times of its loop.
double msPerFrame(const HLQuartzItem &item)
{
    auto render = HLSlideshowRender::initFreely(true, item.strName(), item.oContent());
    if (!render)
        return 0;
    QList<Picture> pictures;
    for (const QImage &image : HLQuartzPreviewVCtrl::p_previewImages(item.dicInfo().value("BestCount").toInt()))
        pictures.append(Picture::fromImage(image));
    render->updateImages(pictures);
    const double loop = item.dicInfo().value("BestDuration").toDouble();
    const auto start = Clock::now();
    for (int i = 0; i < 30; ++i)
        render->snapshotNSImageAt(float(loop * i / 30));
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / 30;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir templates(QDir(HLResourceFolder::path()).filePath(QStringLiteral("Templates")));
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Slideshow")), HLRenderTypeSlideshow);
    HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(QSizeF(120, 90));

    const auto pool = HLQuartzPool::quartzPoolOf(HLRenderTypeSlideshow);
    QString heaviest;
    double worst = -1;
    for (const QString &name : pool->quartzNames()) {
        const double ms = msPerFrame(*pool->quartzOf(name));
        if (ms > worst) {
            worst = ms;
            heaviest = name;
        }
    }
    if (heaviest.isEmpty()) {
        std::fprintf(stderr, "bench_grid: no slideshow templates\n");
        return 1;
    }
    std::printf("heaviest %s %.2f ms a frame\n", qPrintable(heaviest), worst);

    auto grid = HLQuartzPreviewVCtrl::quartzPreviewVCtrlOf(HLQuartzRules::UITypeOf(0, heaviest.toStdString()));
    grid->view()->resize(420, 600);
    grid->view()->show();
    HLQuartzPreviewView *tile = grid->quartzPreviewOf(heaviest);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    const auto start = Clock::now();
    QCoreApplication::sendEvent(tile, &enter);
    QTimer::singleShot(10000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    app.exec();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double due = seconds * 30;
    std::printf("frames %llu of %.0f due in %.2f s\n", static_cast<unsigned long long>(grid->iFramesShown()), due,
                seconds);
    std::printf("ratio grid %.3f\n", double(grid->iFramesShown()) / due);
    return 0;
}
