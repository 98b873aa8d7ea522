// Pictures of the main window with its text line and audio line filled: a chosen title, then
// a chosen music clip with files dragged over the audio line; then the media browser, and the
// message naming the files an import left out.
#include "Frameworks/Ambrelle/Ambrelle.h"
#include "Frameworks/Ambrelle/AmbrelleMediaModel.h"
#include "Frameworks/Ambrelle/AmbrelleThumbnailer.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>

namespace {

using ScreenShots::save;
using ScreenShots::settle;

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<QDir> outDir = ScreenShots::start(app, argc, argv);
    if (!outDir)
        return 2;
    const QDir out = *outDir;
    HLMainWndCtrl ctrl;
    ctrl.showWindow();
    settle(1000);

    // Photos and a clip: on the strip, and later in the media browser.
    QTemporaryDir pictures;
    ScreenShots::samplePhotos(QDir(pictures.path()), {"Beach.jpg", "Forest.jpg", "Sunset.jpg", "Snow.png", "Night.png"});
    MediaFixtures::ClipRecipe recipe;
    recipe.size = QSize(320, 240);
    MediaFixtures::makeIndexedClip(QDir(pictures.path()).filePath(QStringLiteral("Harbour.mp4")), recipe);
    QStringList stripFiles;
    for (const char *name : {"Beach.jpg", "Forest.jpg", "Sunset.jpg", "Harbour.mp4"})
        stripFiles << QDir(pictures.path()).filePath(QString::fromLatin1(name));
    ctrl.mediaImport().p_addVideosAndImagesOutTo(stripFiles, QString());
    if (!QTest::qWaitFor([&] { return !ctrl.mediaImport().isImporting(); }, 20000))
        std::fprintf(stderr, "the import did not end; the pictures show what came in\n");
    settle(1000);

    const struct
    {
        const char *text;
        float min, max;
    } titles[] = {{"Summer by the Sea", 0, 190}, {"Day One", 230, 345}, {"The Lighthouse", 400, 600}};
    for (const auto &t : titles) {
        auto title = HLTextItem::textItemOf(QString::fromLatin1(t.text).remove(QLatin1Char(' ')));
        title->oTextEdit()->setStrText(QString::fromLatin1(t.text));
        title->updateLineMin(t.min, t.max);
        ctrl.gate().perform(HLChange::None, [&] {
            ctrl.oTextline()->add(title);
            ctrl.oTextline()->syncPlayTime();
        });
    }
    ctrl.vCtrlTextline()->updateUI();

    QTemporaryDir media;
    QStringList songs;
    for (const char *name : {"Morning Walk.wav", "Harbour Lights.wav", "Evening Tide.wav"}) {
        const QString path = QDir(media.path()).filePath(QString::fromLatin1(name));
        if (MediaFixtures::makeTone(path, 3, 44100, 2, {"-c:a", "pcm_s16le"}))
            songs << path;
    }
    QSignalSpy imported(&ctrl.audioImport(), &HLAudioImport::finished);
    ctrl.audioImport().p_addAudios(songs, [](HLAudiolineItem &line, const HLAudioImport::ResourceItems &items) {
        line.add(items);
    });
    imported.wait(20000);
    settle(1000);

    QTest::mouseClick(ctrl.vCtrlTextline()->aryTextItemViews()[1], Qt::LeftButton, {}, QPoint(60, 20));
    ctrl.oLastOperateQueue()->wait();
    settle(1000);
    bool ok = save(ctrl.window()->grab().toImage(), out, QStringLiteral("lines-title-chosen.png"));

    QTest::mouseClick(ctrl.vCtrlAudioline()->aryAudioItemViews()[0], Qt::LeftButton, {}, QPoint(100, 25));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(songs.value(0))});
    QDragEnterEvent enter(QPoint(400, 25), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(ctrl.vCtrlAudioline()->view(), &enter);
    settle(1000);
    ok = save(ctrl.window()->grab().toImage(), out, QStringLiteral("lines-music-chosen-drop-marker.png")) && ok;
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(ctrl.vCtrlAudioline()->view(), &leave);

    // The media browser over the folder, thumbnails made.
    Ambrelle *browser = ctrl.vCtrlMedia();
    QSignalSpy listed(&browser->model(), &AmbrelleMediaModel::listed);
    browser->setSources({{QStringLiteral("Pictures"), pictures.path()}, {QStringLiteral("Videos"), pictures.path()}});
    listed.wait(10000);
    QSignalSpy made(&browser->thumbnailer(), &AmbrelleThumbnailer::thumbnailReady);
    QTest::mouseClick(ctrl.window()->btnMedia, Qt::LeftButton);
    for (int row = 0; row < browser->model().rowCount(); ++row)
        browser->thumbnailer().thumbnailOf(browser->model().paths()[row]);
    while (made.count() < browser->model().rowCount() && made.wait(10000)) {
    }
    settle(1000);
    browser->vList()->selectionModel()->select(browser->model().index(1), QItemSelectionModel::Select);
    settle(1000);
    ok = save(ctrl.window()->grab().toImage(), out, QStringLiteral("media-browser.png")) && ok;

    // Files an import left out, named with their reasons.
    const QString notes = QDir(media.path()).filePath(QStringLiteral("Notes.txt"));
    QFile(notes).open(QIODevice::WriteOnly);
    QSignalSpy reported(&ctrl.audioImport(), &HLAudioImport::finished);
    ctrl.audioImport().p_addAudios({notes, QDir(media.path()).filePath(QStringLiteral("Lost Song.mp3"))},
                                   [](HLAudiolineItem &line, const HLAudioImport::ResourceItems &items) {
                                       line.add(items);
                                   });
    reported.wait(20000);
    settle(1000);
    QWidget *alert = QApplication::activeModalWidget();
    ok = save(ScreenShots::withSheet(ctrl.window(), alert), out, QStringLiteral("import-skipped-files.png")) && ok;
    if (alert)
        alert->close();
    return ok ? 0 : 1;
}
