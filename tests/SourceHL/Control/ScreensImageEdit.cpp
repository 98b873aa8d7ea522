// Pictures of the photo and video editor in the main window: a photo with its crop over the
// preview, and a clip with its sound, trim and play strip.
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Editors/HLImageEditVCtrl.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>

namespace {

using ScreenShots::save;

void type(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
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
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    const QString clip = dir.filePath(QStringLiteral("clip.mp4"));
    MediaFixtures::ClipRecipe recipe;
    recipe.size = QSize(320, 240);
    recipe.seconds = 6;
    recipe.audioCodec = {"-c:a", "aac"};
    if (!MediaFixtures::writeImage(photo, MediaFixtures::texturedPhoto(1600, 1200), "JPEG") ||
        !MediaFixtures::makeIndexedClip(clip, recipe)) {
        std::fprintf(stderr, "cannot make the media (ffmpeg)\n");
        return 1;
    }
    ctrl.mediaImport().p_addVideosAndImagesOutTo({photo, clip}, QString());
    if (!QTest::qWaitFor([&] { return !ctrl.mediaImport().isImporting(); }, 30000))
        std::fprintf(stderr, "the import did not end; the pictures show what came in\n");
    const QList<HLRenderItemView *> cells = ctrl.vCtrlContentline()->vCtrlTimeline().arySlidItemViews();
    if (cells.size() != 2) {
        std::fprintf(stderr, "the photo and the clip are not on the strip\n");
        return 1;
    }

    HLImageEditVCtrl &pane = *ctrl.vCtrlImageEdit();
    QTest::mouseClick(cells[0], Qt::LeftButton, {}, cells[0]->rect().center());
    QTest::mouseDClick(cells[0], Qt::LeftButton, {}, cells[0]->rect().center());
    type(pane.edtCropW, QStringLiteral("1000"));
    type(pane.edtCropH, QStringLiteral("800"));
    ctrl.oLastOperateQueue()->wait();
    QCoreApplication::processEvents();
    bool ok = save(window, out, QStringLiteral("image-editor-photo.png"));
    ok = save(window->vDisplayBackView, out, QStringLiteral("image-editor-crop-over-preview.png")) && ok;

    QTest::mouseClick(cells[1], Qt::LeftButton, {}, cells[1]->rect().center());
    type(pane.edtTrimStart, QStringLiteral("1.5"));
    type(pane.edtTrimEnd, QStringLiteral("4.5"));
    // A frame of the kept part, as the first tick of the preview shows it.
    QMetaObject::invokeMethod(&pane.oVideo().timer(), "timeout");
    ctrl.oLastOperateQueue()->wait();
    QCoreApplication::processEvents();
    ok = save(window, out, QStringLiteral("image-editor-clip.png")) && ok;
    // The pane scrolled to its end: the sound and the trim.
    auto *scroll = pane.view()->findChild<QScrollArea *>();
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    ok = save(pane.view(), out, QStringLiteral("image-editor-clip-pane.png")) && ok;
    return ok ? 0 : 1;
}
