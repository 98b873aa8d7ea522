// Pictures of the main window with photos, a clip and transitions on the strip: nothing
// chosen, a row chosen, cells chosen, and a transition chosen while the preview shows a frame.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"
#include "SourceHL/View/HLTimelineTransitionBackView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

using ScreenShots::save;

QString photo(const QTemporaryDir &dir, int k)
{
    const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(k));
    if (!MediaFixtures::writeImage(path, MediaFixtures::numberedPhoto(k), "JPEG"))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return path;
}

void press(QWidget *view, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseClick(view, Qt::LeftButton, modifiers, QPoint(view->width() / 2, view->height() / 2));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<QDir> outDir = ScreenShots::start(app, argc, argv);
    if (!outDir)
        return 2;
    qputenv("ZK_SILENT_AUDIO", "1");
    const QDir out = *outDir;
    HLMainWndCtrl ctrl;
    HLMainWindow *window = ctrl.window();
    window->resize(1280, 800);
    ctrl.showWindow();

    QTemporaryDir dir;
    QStringList first{photo(dir, 0), photo(dir, 1), photo(dir, 2)};
    const QString clip = dir.filePath(QStringLiteral("clip.mp4"));
    MediaFixtures::ClipRecipe recipe;
    recipe.size = QSize(320, 240);
    recipe.seconds = 3;
    if (!MediaFixtures::makeIndexedClip(clip, recipe)) {
        std::fprintf(stderr, "cannot make the clip (ffmpeg)\n");
        return 1;
    }
    first.append(clip);
    auto importNow = [&](const QStringList &paths, quint64 mode) {
        ctrl.gate().perform(HLChange::None, [&] { ctrl.oTimeline()->setIMode(mode); });
        ctrl.mediaImport().p_addVideosAndImagesOutTo(paths, QString());
        if (!QTest::qWaitFor([&] { return !ctrl.mediaImport().isImporting(); }, 30000))
            std::fprintf(stderr, "the import did not end; the pictures show what came in\n");
    };
    importNow(first, 4);
    importNow({photo(dir, 3), photo(dir, 4)}, 2);
    importNow({photo(dir, 5), photo(dir, 6), photo(dir, 7)}, 3);
    ctrl.p_seekAt(1.5f);
    ctrl.oLastOperateQueue()->wait();

    bool ok = save(window, out, QStringLiteral("main-window-strip.png"));
    // The preview with its progress line, three quarters of the way in.
    ctrl.p_seekAt(ctrl.dDuration() * 0.75f);
    ctrl.oLastOperateQueue()->wait();
    ok = save(window->vDisplayBackView, out, QStringLiteral("main-window-progress-line.png")) && ok;
    HLTimelineVCtrl &strip = ctrl.vCtrlContentline()->vCtrlTimeline();
    press(strip.arySlidBackViews()[1]);
    ctrl.oLastOperateQueue()->wait();
    ok = save(window, out, QStringLiteral("main-window-strip-row-chosen.png")) && ok;
    auto *cell = static_cast<HLRenderItemView *>(strip.arySlidBackViews()[0]->cellViews()[1]);
    press(cell);
    press(strip.arySlidBackViews()[0]->cellViews()[3], Qt::ShiftModifier);
    ctrl.oLastOperateQueue()->wait();
    ok = save(window, out, QStringLiteral("main-window-strip-cells-chosen.png")) && ok;
    press(strip.aryTranBackViews()[0]);
    ctrl.oLastOperateQueue()->wait();
    ok = save(window, out, QStringLiteral("main-window-strip-transition-chosen.png")) && ok;
    return ok ? 0 : 1;
}
