// The slide sorter opened on a 500-photo project: opening and laying out the storyboard
// against decoding the 500 photos' thumbnails once (what a sorter that read its pictures
// again would pay at the least). The sorter takes the resources' cached thumbnails.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/Windows/HLSortWndCtrl.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestProject.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImageReader>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kItems = 500;
constexpr int kRuns = 5;

double bestOf(int runs, const std::function<double()> &measure)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, measure());
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    TestFolder folder;
    TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
    TestProject::setUpPools(folder);
    std::fprintf(stderr, "importing %d photos …\n", kItems);
    QList<QImage> distinct;
    for (int k = 0; k < 20; ++k)
        distinct.append(MediaFixtures::numberedPhoto(k).scaled(1024, 768));
    HLTimelineItem::ResourceItems photos;
    for (int k = 0; k < kItems; ++k)
        photos.append(TestProject::importPhoto(folder, distinct[k % distinct.size()], "JPEG"));
    QStringList files;
    for (const auto &photo : photos)
        files.append(photo->sourcePath());
    auto timeline = TestProject::timeline(5);
    timeline->addOutTo(photos, QString());

    auto queue = std::make_shared<HLLastOperateQueue>();
    HLEditGate gate(queue);
    HLSortWndCtrl sorter;
    sorter.window()->resize(900, 700);

    const double open = bestOf(kRuns, [&] {
        QElapsedTimer clock;
        clock.start();
        sorter.open(timeline, gate);
        QCoreApplication::processEvents();
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        if (sorter.itemViews().size() != kItems)
            std::fprintf(stderr, "the sorter shows %lld cells, not %d\n", qint64(sorter.itemViews().size()), kItems);
        sorter.window()->close();
        QCoreApplication::processEvents();
        return seconds;
    });
    // A drag moving over the storyboard re-lays it out on every drop: one rebuild.
    sorter.open(timeline, gate);
    const double relayout = bestOf(kRuns, [&] {
        QElapsedTimer clock;
        clock.start();
        sorter.setDRatio(sorter.dRatio() == 1.0f ? 0.9f : 1.0f);
        return double(clock.nsecsElapsed()) * 1e-9;
    });
    sorter.window()->close();

    const double decode = bestOf(kRuns, [&] {
        QElapsedTimer clock;
        clock.start();
        qint64 pixels = 0;
        for (const QString &file : std::as_const(files)) {
            QImageReader reader(file);
            const QSize size = reader.size();
            reader.setScaledSize(size.scaled(QSize(150, 150), Qt::KeepAspectRatioByExpanding));
            pixels += reader.read().width();
        }
        const double seconds = double(clock.nsecsElapsed()) * 1e-9;
        if (pixels == 0)
            std::fprintf(stderr, "nothing decoded\n");
        return seconds;
    });
    std::printf("open and lay out %d items: %.3f s\n", kItems, open);
    std::printf("lay out again after a zoom: %.3f s\n", relayout);
    std::printf("decode their %d thumbnails once: %.3f s\n", kItems, decode);
    std::printf("ratio sorter %.3f\n", open / decode);
    return 0;
}
