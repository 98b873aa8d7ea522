// Pictures of the export window (video tab as it opens, with DV chosen), of the progress
// window during a conversion, and of the sound trim bar.
#include "export/ui/AudioEditProgressView.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "export/ui/MenuBottomAreaView.h"
#include "ExportWindowTestMovie.h"
#include "tests/support/NamedControl.h"
#include "tests/support/ScreenShots.h"
#include "widgets/HLDarkStyle.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QVBoxLayout>


namespace {

using ScreenShots::save;

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
    QTimer::singleShot(0, [&] {
        ok = save(exportCtrl.window(), out, QStringLiteral("export-window-video.png")) && ok;
        choose(control<QComboBox>(exportCtrl, "formatBtn"), QStringLiteral("DV"));
        ok = save(exportCtrl.window(), out, QStringLiteral("export-window-dv.png")) && ok;
        exportCtrl.window()->done(0);
    });
    exportCtrl.exportMovie(windowTestMovie(95.5, QSizeF(1280, 720)));

    ConvertProgressWindowController progress;
    progress.setCustomProgressText(QStringLiteral("Exporting to Video …"));
    progress.updateConvertVideoStatus();
    progress.updateProgressWithValue(0.42);
    progress.window()->show();
    ok = save(progress.window(), out, QStringLiteral("progress-window-converting.png")) && ok;
    progress.window()->hide();

    QWidget host;
    host.setPalette(HLDarkStyle::darkPalette());
    host.setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(&host);
    auto *bar = new AudioEditProgressView(&host);
    bar->setFixedHeight(36);
    bar->setDuration(zk_ff_time_from_double(60));
    bar->setTrimStart(zk_ff_time_from_double(10));
    bar->setTrimStop(zk_ff_time_from_double(45));
    bar->setProgress(zk_ff_time_from_double(22));
    layout->addWidget(bar);
    auto *bottom = new MenuBottomAreaView(&host);
    bottom->setFixedHeight(40);
    layout->addWidget(bottom);
    host.resize(420, 110);
    host.show();
    ok = save(&host, out, QStringLiteral("trim-bar.png")) && ok;
    return ok ? 0 : 1;
}
