// Pictures of the main window editing a title (its pane, and its overlay over the preview,
// moved off centre with a back plate) and a music clip (its pane with a trimmed clip).
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Editors/HLAudioEditVCtrl.h"
#include "widgets/HLColorWell.h"
#include "SourceHL/Editors/HLTextEditVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>

using ScreenShots::save;
using ScreenShots::settle;

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

    QTemporaryDir media;
    const QString beach = QDir(media.path()).filePath(QStringLiteral("Beach.jpg"));
    ScreenShots::gradientPhoto(QSize(1280, 960), QColor(90, 170, 230), QColor(230, 210, 150)).save(beach);
    ctrl.mediaImport().p_addVideosAndImagesOutTo({beach}, QString());
    if (!QTest::qWaitFor([&] { return !ctrl.mediaImport().isImporting(); }, 20000))
        std::fprintf(stderr, "the import did not end\n");
    const QString song = QDir(media.path()).filePath(QStringLiteral("Harbour Lights.wav"));
    MediaFixtures::makeTone(song, 12, 44100, 2, {"-c:a", "pcm_s16le"});
    QSignalSpy imported(&ctrl.audioImport(), &HLAudioImport::finished);
    ctrl.audioImport().p_addAudios({song}, [](HLAudiolineItem &line, const HLAudioImport::ResourceItems &items) {
        line.add(items);
    });
    imported.wait(20000);
    QTest::mouseClick(ctrl.window()->btnAddText, Qt::LeftButton);
    settle(500);

    // A title, chosen and edited: moved up and left, on a half-clear plate.
    if (HLTextItemView *cell = ctrl.vCtrlTextline()->aryTextItemViews().value(0)) {
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(cell->width() / 2, cell->height() / 2));
        settle(300);
        QTest::mouseClick(ctrl.window()->btnEdit, Qt::LeftButton);
        HLTextEditVCtrl &pane = *ctrl.vCtrlTextEdit();
        pane.edtText->setPlainText(QStringLiteral("Summer by the Sea"));
        pane.btnStaticBack->click();
        pane.clwlStaticBackColor->chooseColor(QColor(20, 40, 80));
        pane.sldStaticBackAlpha->setValue(60);
        pane.sldStaticBackRound->setValue(40);
        pane.sldCenterY->setValue(750);
        pane.sldFontSize->setValue(40);
        settle(800);
        save(ctrl.window()->grab().toImage(), out, QStringLiteral("item-editors-title.png"));
        QTest::mouseClick(pane.btnDone, Qt::LeftButton);
        settle(300);
    }

    // A music clip, chosen and edited: kept from 2 s to 9.5 s, fading in for 2 s.
    if (HLAudioItemView *cell = ctrl.vCtrlAudioline()->aryAudioItemViews().value(0)) {
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(cell->width() / 2, cell->height() / 2));
        settle(300);
        QTest::mouseClick(ctrl.window()->btnEdit, Qt::LeftButton);
        HLAudioEditVCtrl &pane = *ctrl.vCtrlAudioEdit();
        const auto edit = ctrl.oAudioline()->aryItems()[0]->oEdit();
        ctrl.gate().perform(HLChange::Timing, [&] {
            edit->setDTrimMin(2.0f);
            edit->setDTrimMax(9.5f);
        });
        pane.fadeIn(2);
        pane.oAudio().player()->updateTrimPlayRatio(0.4f);
        pane.p_playFeedback();
        settle(800);
        save(ctrl.window()->grab().toImage(), out, QStringLiteral("item-editors-music.png"));
        QTest::mouseClick(pane.btnDone, Qt::LeftButton);
    }
    ctrl.oLastOperateQueue()->wait();
    return 0;
}
