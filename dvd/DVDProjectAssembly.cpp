#include "dvd/DVDProjectAssembly.h"

#include "dvd/DVDChapterVideo.h"
#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDCustomMenuItem.h"
#include "dvd/DVDTitleVideo.h"

#include "export/VETimelineExportMovie.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/Trevanel.h"

#include <cmath>

std::shared_ptr<Trevanel> DVDProjectAssembly::getDVDObj(const DVDDiscSettings &settings,
                                                        const std::shared_ptr<VETimelineExportMovie> &timeline)
{
    auto dvd = std::make_shared<Trevanel>();
    dvd->setNoMenu(!settings.addMenu);
    dvd->setAspectType(settings.aspectType);
    dvd->setDvdBitrate(settings.bitrate);
    dvd->setPlayFirstTitle(settings.autoPlay);
    dvd->setMenuLoop(true);
    dvd->setFormat(settings.standard);
    if (settings.loop) {
        dvd->setPlayTitleSequence(true);
        dvd->setLoopVideo(true);
    }

    auto chapter = std::make_shared<DVDChapterVideo>();
    auto title = std::make_shared<DVDTitleVideo>();
    title->setChapters({chapter});
    dvd->setTitles({title});

    if (!dvd->noMenu()) {
        auto menu = std::make_shared<DVDCustomMenu>();
        menu->setDuration(settings.menuLength);
        menu->setAspectType(dvd->aspectType());
        menu->setMenuSize(settings.menuSize);
        menu->setMenuImage(settings.menuImage);
        menu->setMusic(settings.menuAudio);
        auto button = std::make_shared<DVDCustomMenuItem>();
        button->setIsText(settings.buttonUseText);
        button->setTextSourceBackgroundRadius(settings.buttonBackgroundRadius);
        button->setJump(chapter);
        button->setFrame(settings.buttonFrame);
        dvd->setMenus({menu});
        menu->setItems({button});
        chapter->setTitles({button});
        // The button shows as part of the menu picture; its own picture is clear.
        const QSize size = settings.buttonFrame.size().toSize();
        if (!size.isEmpty() && size.width() <= 8192 && size.height() <= 8192) {
            QImage clear(size, QImage::Format_ARGB32_Premultiplied);
            clear.fill(Qt::transparent);
            button->setItemImage(clear);
        }
    }
    if (auto segment = ZKSegmentMovie::movieWithFFmovie(timeline))
        chapter->setMovies({segment});
    return dvd;
}

QString DVDProjectAssembly::aspectMismatchMessage(QSizeF videoSize, qint64 aspectType)
{
    const double ratio = videoSize.width() / std::max(videoSize.height(), 1.0);
    const double expected = aspectType == 1 ? 16.0 / 9.0 : 4.0 / 3.0;
    if (std::abs(ratio - expected) <= 0.05)
        return {};
    return QStringLiteral("The Slideshow size is %1*%2, is not %3 .")
        .arg(videoSize.width(), 0, 'f', 0)
        .arg(videoSize.height(), 0, 'f', 0)
        .arg(aspectType == 1 ? QStringLiteral("16:9") : QStringLiteral("4:3"));
}

QString DVDProjectAssembly::burnerProblem(DVDBurn &burner, qint64 size)
{
    if (!burner.device())
        return QStringLiteral("NO Device.");
    if (!burner.mediaIsPresent())
        return QStringLiteral("No disc,please insert a blank disc.");
    if (!burner.mediaIsBlank())
        return QStringLiteral("Disc not blank,please insert a blank disc.");
    if (burner.mediaWritableSpace() < size)
        return QStringLiteral("Disc space is not enough.");
    return {};
}

qint64 DVDProjectAssembly::getDvdBitrateToSize(qint64 bitrate, double seconds)
{
    const double b = double(std::max<qint64>(bitrate, 1));
    return qint64(seconds * b / 8000.0 * 1048576.0 * 1.024 * (1.0 + 0.08 * (8000.0 / b - 1.0)));
}
