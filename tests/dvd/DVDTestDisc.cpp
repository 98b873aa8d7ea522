#include "tests/dvd/DVDTestDisc.h"

#include "dvd/DVDChapterVideo.h"
#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDCustomMenuItem.h"
#include "dvd/DVDTitleVideo.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Trevanel/DVDMenu.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "tests/support/MediaFixtures.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>

namespace DVDTestDisc {

namespace {

QString clipOf(const TestFolder &folder, double seconds)
{
    const QString path = folder.file(QStringLiteral("clip-%1.mp4").arg(int(seconds * 1000)));
    if (QFileInfo::exists(path))
        return path;
    MediaFixtures::ClipRecipe clip;
    clip.size = QSize(160, 120);
    clip.seconds = seconds;
    clip.audioCodec = {QStringLiteral("-c:a"), QStringLiteral("aac")};
    MediaFixtures::makeIndexedClip(path, clip);
    return path;
}

QImage menuPicture(QSizeF size)
{
    QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(20, 40, 90));
    gradient.setColorAt(1, QColor(120, 30, 60));
    painter.fillRect(image.rect(), gradient);
    return image;
}

} // namespace

std::shared_ptr<Trevanel> disc(const TestFolder &folder, const Recipe &recipe)
{
    auto dvd = std::make_shared<Trevanel>();
    dvd->setFormat(recipe.format);
    dvd->setAspectType(recipe.aspect);
    dvd->setDvdBitrate(4000);
    dvd->setNoMenu(!recipe.menu);
    dvd->setPlayFirstTitle(recipe.playFirstTitle);
    dvd->setMenuLoop(true);

    std::vector<std::shared_ptr<DVDTitleVideoProtocol>> titles;
    std::vector<std::shared_ptr<DVDChapterVideo>> firstChapters;
    for (const auto &lengths : recipe.titles) {
        std::vector<std::shared_ptr<DVDChapterVideo>> chapters;
        for (const double seconds : lengths) {
            auto chapter = std::make_shared<DVDChapterVideo>();
            chapter->setMovies({ZKSegmentMovie::movieWithPath(clipOf(folder, seconds))});
            chapters.push_back(chapter);
        }
        firstChapters.push_back(chapters.front());
        auto title = std::make_shared<DVDTitleVideo>();
        title->setChapters(chapters);
        titles.push_back(title);
    }
    dvd->setTitles(titles);

    if (recipe.menu) {
        auto menu = std::make_shared<DVDCustomMenu>();
        const QSizeF size = DVDMenu::menuSizeForAspectType(recipe.aspect);
        menu->setDuration(recipe.menuSeconds);
        menu->setAspectType(recipe.aspect);
        menu->setMenuSize(size);
        menu->setMenuImage(menuPicture(size));
        if (recipe.music)
            menu->setMusic(ZKSegmentMovie::movieWithPath(clipOf(folder, 1.0)));
        std::vector<std::shared_ptr<DVDMenuElement>> items;
        for (size_t i = 0; i < firstChapters.size(); ++i) {
            auto item = std::make_shared<DVDCustomMenuItem>();
            item->setFrame(QRectF(40 + 160 * double(i), 200, 120, 90));
            item->setJump(firstChapters[i]);
            firstChapters[i]->setTitles({item});
            items.push_back(item);
        }
        menu->setItems(items);
        dvd->setMenus({menu});
    }
    return dvd;
}

} // namespace DVDTestDisc
