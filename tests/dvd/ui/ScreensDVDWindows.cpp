// Pictures of the DVD windows: the export window's DVD tab, the menu editor with the play
// button picked, the menu music dialog, and the progress window while it burns.
#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/ui/BackgroundMusicWindowController.h"
#include "dvd/ui/DVDMenuEditView.h"
#include "dvd/ui/ExportDVDMenuEditCtrl.h"
#include "dvd/ui/ExportDVDWndCtrl.h"
#include "tests/dvd/ui/DVDWindowControls.h"
#include "export/ui/ConvertProgressFlow.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Platform/Foundation/HLJob.h"
#include "tests/dvd/DVDFakeDrive.h"
#include "tests/export/ui/ExportWindowTestMovie.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QLineEdit>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

using ScreenShots::save;

// A burn two thirds done, held until the picture is taken.
class HeldBurn : public ConvertProgressFlow
{
public:
    std::atomic<bool> release{false};
    bool run(HLJobState &state) override
    {
        while (!release && !state.isCancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }
    double progress(const HLJobState &) const override { return 0.64; }
    void cancel() override {}
    bool isBurning() const override { return true; }
    void finish(ConvertProgressWindowController &, const HLJobState &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<QDir> outDir = ScreenShots::start(app, argc, argv);
    if (!outDir)
        return 2;
    const QDir out = *outDir;
    bool ok = true;

    ExportWndCtrl exportCtrl;
    ExportDVDWndCtrl tab(exportCtrl, [] { return std::vector<std::shared_ptr<DVDBurnDevice>>{
                                              std::make_shared<FakeDrive>(QStringLiteral("HL-DT-ST DVDRAM GH24NSD1"))}; });
    QTimer::singleShot(0, [&] {
        exportCtrl.typeClickAction(QStringLiteral("Export to DVD"));
        control<QCheckBox>(tab, "dvdAddMenuTextBtn")->click();
        // A typed disc name, which the menu preview shows.
        QLineEdit *name = control<QLineEdit>(tab, "dvdNameLabel");
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Summer in Lisbon"));
        ok = save(exportCtrl.window(), out, QStringLiteral("dvd-tab.png")) && ok;

        ExportDVDMenuEditCtrl &editor = tab.exportDVDMenuEditCtrl();
        QTimer::singleShot(0, [&] {
            DVDMenuEditView *canvas = editor.menuEditView();
            const QRectF button = canvas->widgetRectOf(tab.dvdMenuEdit()->dvdItem->getRealDisplayRect());
            QTest::mouseClick(canvas, Qt::LeftButton, {}, button.center().toPoint());
            ok = save(editor.window(), out, QStringLiteral("dvd-menu-editor.png")) && ok;
            QTest::mouseClick(canvas, Qt::LeftButton, {},
                              canvas->widgetRectOf(tab.dvdMenuEdit()->dvdText->getRealDisplayRect()).center().toPoint());
            ok = save(editor.window(), out, QStringLiteral("dvd-menu-editor-title.png")) && ok;
            editor.window()->close();
        });
        tab.dvdMenuFrameTitleEditAction();
        ok = save(exportCtrl.window(), out, QStringLiteral("dvd-tab-edited.png")) && ok;
        exportCtrl.window()->done(0);
    });
    auto movie = windowTestMovie(95.5, QSizeF(1280, 720));
    const QImage photo = MediaFixtures::texturedPhoto(1280, 720);
    movie->setGetImage([photo](qint64) { return photo; });
    exportCtrl.exportMovie(movie);

    QTemporaryDir folder;
    const QString tone = folder.filePath(QStringLiteral("Menu music.wav"));
    if (MediaFixtures::writeTone(tone, 42.0)) {
        auto music = ZKSegmentMovie::movieWithPath(tone);
        music->setStart(zk_ff_time_from_double(4));
        music->setStop(zk_ff_time_from_double(30));
        music->setFadeIn(zk_ff_time_from_double(2));
        BackgroundMusicWindowController dialog;
        QTimer::singleShot(0, [&] {
            dialog.seekPlayerToTime(double(zk_ff_time_from_double(12.5)));
            ok = save(dialog.window(), out, QStringLiteral("dvd-music-dialog.png")) && ok;
            control<QPushButton>(dialog, "cancelButton")->click();
        });
        dialog.showWindowWithMovie(music);
    } else {
        ok = false;
    }

    auto burn = std::make_shared<HeldBurn>();
    ConvertProgressWindowController &progress = exportCtrl.progressCtrl();
    QTimer::singleShot(300, [&] {
        progress.updateBurnProgress();
        ok = save(progress.window(), out, QStringLiteral("progress-window-burning.png")) && ok;
        burn->release = true;
    });
    progress.runFlow(burn);
    return ok ? 0 : 1;
}
