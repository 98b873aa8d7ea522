// Pictures of the main window with its text line and audio line filled: a chosen title, then
// a chosen music clip with files dragged over the audio line.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "tests/support/MediaFixtures.h"
#include "widgets/HLDarkStyle.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i)
        QTest::qWait(50);
}

bool save(const QImage &picture, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    if (!picture.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setApplicationName(QStringLiteral("slideshow"));
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    HLDarkStyle::applyTo(app);
    HLMainWndCtrl ctrl;
    ctrl.showWindow();
    settle();

    const struct
    {
        const char *text;
        float min, max;
    } titles[] = {{"Summer by the Sea", 0, 190}, {"Day One", 230, 345}, {"The Lighthouse", 400, 600}};
    for (const auto &t : titles) {
        auto title = HLTextItem::textItemOf(QString::fromLatin1(t.text).remove(QLatin1Char(' ')));
        title->oTextEdit()->setStrText(QString::fromLatin1(t.text));
        title->updateLineMin(t.min, t.max);
        ctrl.gate().perform([&] {
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
    settle();

    QTest::mouseClick(ctrl.vCtrlTextline()->aryTextItemViews()[1], Qt::LeftButton, {}, QPoint(60, 20));
    ctrl.oLastOperateQueue()->wait();
    settle();
    bool ok = save(ctrl.window()->grab().toImage(), out, QStringLiteral("lines-title-chosen.png"));

    QTest::mouseClick(ctrl.vCtrlAudioline()->aryAudioItemViews()[0], Qt::LeftButton, {}, QPoint(100, 25));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(songs.value(0))});
    QDragEnterEvent enter(QPoint(400, 25), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(ctrl.vCtrlAudioline()->view(), &enter);
    settle();
    ok = save(ctrl.window()->grab().toImage(), out, QStringLiteral("lines-music-chosen-drop-marker.png")) && ok;
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(ctrl.vCtrlAudioline()->view(), &leave);
    return ok ? 0 : 1;
}
