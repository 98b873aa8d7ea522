// Makes the ISO image of a DVD of a generated 60-second project (one title of a clip with
// sound, two chapters, a 5-second menu with music and a button) through the whole DVD path
// (title and menu conversions, menu maker, DVD folder, image), and has the ffmpeg tool encode
// the same title video to DVD MPEG-2 with AC-3 at the same bit rate in the same run. The last
// line is the ratio of the two times (below 1: the DVD is made faster than ffmpeg encodes it).
//
//   bench_dvd

#include "dvd/DVDChapterVideo.h"
#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDCustomMenuItem.h"
#include "dvd/DVDOutputJob.h"
#include "dvd/DVDTitleVideo.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Trevanel/DVDMenu.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>

namespace {

const int kSeconds = 60;
const int kBitrate = 6000; // kbit/s

bool ffmpeg(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("ffmpeg"),
                             QStringList{"-y", "-hide_banner", "-loglevel", "error"} + arguments) == 0;
}

double loadAverage()
{
    std::ifstream file("/proc/loadavg");
    double load = 0;
    file >> load;
    return load;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("project.mp4"));
    if (!ffmpeg({"-f", "lavfi", "-i", QStringLiteral("testsrc2=s=960x720:r=30:d=%1").arg(kSeconds), "-f", "lavfi", "-i",
                 QStringLiteral("sine=f=440:d=%1").arg(kSeconds), "-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt",
                 "yuv420p", "-c:a", "aac", "-shortest", clip})) {
        std::fprintf(stderr, "cannot make the project clip\n");
        return 1;
    }

    auto dvd = std::make_shared<Trevanel>();
    dvd->setFormat(Trevanel::NTSC);
    dvd->setAspectType(0);
    dvd->setDvdBitrate(kBitrate);
    dvd->setMenuLoop(true);
    const qint64 half = qint64(kSeconds / 2) * zk_default_time_base();
    std::vector<std::shared_ptr<DVDChapterVideo>> chapters;
    for (int i = 0; i < 2; ++i) {
        auto segment = ZKSegmentMovie::movieWithPath(clip);
        segment->setStop(half * (i + 1));
        segment->setStart(half * i);
        auto chapter = std::make_shared<DVDChapterVideo>();
        chapter->setMovies({segment});
        chapters.push_back(chapter);
    }
    auto title = std::make_shared<DVDTitleVideo>();
    title->setChapters(chapters);
    dvd->setTitles({title});

    auto menu = std::make_shared<DVDCustomMenu>();
    const QSizeF size = DVDMenu::menuSizeForAspectType(0);
    QImage picture(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(30, 50, 110));
    painter.fillRect(QRectF(260, 170, 200, 200), QColor(200, 160, 60));
    painter.end();
    menu->setDuration(5.0);
    menu->setMenuSize(size);
    menu->setMenuImage(picture);
    menu->setMusic(ZKSegmentMovie::movieWithPath(clip));
    auto button = std::make_shared<DVDCustomMenuItem>();
    button->setFrame(QRectF(260, 170, 200, 200));
    button->setJump(chapters.front());
    chapters.front()->setTitles({button});
    menu->setItems({button});
    dvd->setMenus({menu});

    const double loadBefore = loadAverage();
    QElapsedTimer timer;
    timer.start();
    auto output = DVDOutputJob::iso(dvd, folder.filePath(QStringLiteral("disc.iso")), QStringLiteral("Bench"));
    if (!output->job().runHere()) {
        std::fprintf(stderr, "DVD failed: %s\n", qPrintable(output->job().state().errorString()));
        return 1;
    }
    const double ours = timer.nsecsElapsed() / 1e9;

    timer.restart();
    if (!ffmpeg({"-i", clip, "-target", "ntsc-dvd", "-aspect", "4:3", "-b:v", QStringLiteral("%1k").arg(kBitrate),
                 folder.filePath(QStringLiteral("plain.mpg"))})) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }
    const double theirs = timer.nsecsElapsed() / 1e9;

    std::printf("load average %.1f before, %.1f after\n", loadBefore, loadAverage());
    std::printf("DVD ISO of a %d-s project with a menu: %.2f s (%.1f MB)\n", kSeconds, ours,
                QFileInfo(output->resultPath()).size() / 1048576.0);
    std::printf("ffmpeg encoding the title to DVD MPEG-2: %.2f s\n", theirs);
    std::printf("ratio dvd %.2f\n", ours / theirs);
    return 0;
}
