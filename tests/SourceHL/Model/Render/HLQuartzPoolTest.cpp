#include "Platform/Composer/Composition.h"
#include "Platform/Composer/CompositionRenderer.h"
#include "Platform/Composer/SlideTiming.h"
#include "SourceHL/Model/Render/HLIndexesRender.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Timeline/HLQuartzKeys.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const QString kTemplates = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources/Templates");

QStringList warnings;
void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings.append(message);
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray plist(const QString &name, const QString &type, const QString &extra = {})
{
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>QuartzName</key><string>%1.json</string>
<key>ThumbnailName</key><string>Thumbnail.png</string>
<key>QuartzType</key><string>%2</string>
<key>BestCount</key><integer>2</integer>
<key>BestDuration</key><real>6</real>
<key>Duration_T_S</key><real>1</real><key>Duration_S</key><real>2</real>
<key>Duration_T_B_2</key><real>1</real>%3
</dict></plist>)")
        .arg(name, type, extra)
        .toUtf8();
}

void thumbnail(const QString &folder)
{
    QImage img(16, 12, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    ASSERT_TRUE(img.save(QDir(folder).filePath("Thumbnail.png")));
}

const QByteArray kDrawsOneAndThree = R"({"format": 1, "layers": [
    {"type": "picture", "image": "Images[0]"}, {"type": "picture", "image": "Images[2]", "opacity": "Time > 1 ? 1 : 0"}]})";

TEST(HLQuartzPoolTest, TheShippedTemplatesAllLoadWithTheirTiming)
{
    const struct
    {
        HLRenderType type;
        const char *folder, *value;
    } kinds[] = {{HLRenderTypeSlideshow, "Slideshow", "QuartzTypeSlideshow"},
                 {HLRenderTypeTransition, "Transition", "QuartzTypeTransition"},
                 {HLRenderTypeText, "Text", "QuartzTypeText"}};
    warnings.clear();
    const auto previous = qInstallMessageHandler(collect);
    for (const auto &k : kinds) {
        const QDir dir(kTemplates + "/" + k.folder);
        const auto items = HLQuartzPool::p_quartzItemsOf(k.type, dir.path());
        QStringList plists;
        for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            plists += QDir(dir.filePath(sub)).entryList({"*.plist"}, QDir::Files);
        EXPECT_EQ(items.size(), plists.size()) << k.folder;
        QStringList names;
        for (const auto &item : items) {
            names.append(item->strName());
            const QVariantMap &info = item->dicInfo();
            EXPECT_EQ(info.value(kQuartzTypeKey).toString(), k.value) << qPrintable(item->strName());
            EXPECT_EQ(info.value(kQuartzKeyName).toString(), item->strName());
            EXPECT_FALSE(item->strName().contains('.'));
            EXPECT_FALSE(info.value(kQuartzKeyThumbName).value<QImage>().isNull());
            EXPECT_FALSE(item->imgThumb().isNull());
            EXPECT_GT(info.value(kQuartzKeyBestDuration).toDouble(), 0) << qPrintable(item->strName());
            if (k.type == HLRenderTypeSlideshow) {
                ASSERT_TRUE(item->oIndexes()) << qPrintable(item->strName());
                const int count = info.value(kQuartzKeyBestCount).toInt();
                const SlideTiming timing = SlideTiming::fromInfo(info);
                EXPECT_GT(count, 0);
                // the chooser loops over BestDuration: it must be the whole solid length
                EXPECT_NEAR(info.value(kQuartzKeyBestDuration).toDouble(), timing.total(count), 1e-6)
                    << qPrintable(item->strName());
                // the index composition shows something at every moment of the template, and at its
                // 16 × 16 the very entries the slideshow draws at a frame's size
                CompositionRenderer index(item->oIndexes(), QSize(16, 16));
                CompositionRenderer drawing(item->oContent(), QSize(160, 120));
                index.setValue("Count", count);
                drawing.setValue("Count", count);
                for (double t = 0.05; t < timing.total(count); t += 0.25) {
                    index.setValue("Time", t);
                    drawing.setValue("Time", t);
                    EXPECT_FALSE(index.indexes().empty()) << qPrintable(item->strName()) << " at " << t;
                    EXPECT_EQ(index.indexes(), drawing.indexes()) << qPrintable(item->strName()) << " at " << t;
                }
            }
        }
        QStringList sorted = names;
        sorted.sort();
        EXPECT_EQ(names, sorted) << k.folder;
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << qPrintable(warnings.join('\n'));
}

// A picture of the frame size: a colour ramp across (or down) the frame, so that a moved, scaled or
// faded picture shows.
QImage ramp(QSize size, bool across, QColor from, QColor to)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const double t = across ? x / double(size.width() - 1) : y / double(size.height() - 1);
            img.setPixelColor(x, y, QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                                                     from.greenF() + (to.greenF() - from.greenF()) * t,
                                                     from.blueF() + (to.blueF() - from.blueF()) * t));
        }
    return img;
}

int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// No jump where a transition meets its pictures: at Time 0 the frame is the outgoing picture, at
// Time 1 the incoming one, in landscape and portrait frames.
TEST(HLQuartzPoolTest, EveryShippedTransitionStartsOnImageAAndEndsOnImageB)
{
    const auto items = HLQuartzPool::p_quartzItemsOf(HLRenderTypeTransition, kTemplates + "/Transition");
    ASSERT_FALSE(items.isEmpty());
    for (const QSize size : {QSize(96, 72), QSize(72, 96)}) {
        const QImage a = ramp(size, true, QColor(230, 40, 30), QColor(250, 220, 40));
        const QImage b = ramp(size, false, QColor(20, 60, 200), QColor(30, 200, 120));
        for (const auto &item : items) {
            CompositionRenderer r(item->oContent(), size);
            r.setValue("ImageA", a);
            r.setValue("ImageB", b);
            EXPECT_LE(largestDifference(r.render(0.0), a), 2) << qPrintable(item->strName()) << " at 0, "
                                                              << size.width() << "x" << size.height();
            EXPECT_LE(largestDifference(r.render(1.0), b), 2) << qPrintable(item->strName()) << " at 1, "
                                                              << size.width() << "x" << size.height();
        }
    }
}

// Share of the frame showing `color` at full strength (each channel within a few levels).
double shareOf(const QImage &frame, QColor color)
{
    int hits = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            hits += std::abs(qRed(p) - color.red()) <= 6 && std::abs(qGreen(p) - color.green()) <= 6 &&
                    std::abs(qBlue(p) - color.blue()) <= 6;
        }
    return hits / double(frame.width() * frame.height());
}

// A transition blends the outgoing item's last frame into the incoming item at Time 0: a slideshow
// that starts (or ends) on an empty frame makes every transition dip through black. So the first
// picture is fully on screen at Time 0 and the last one at the end of the solid length.
TEST(HLQuartzPoolTest, EveryShippedSlideshowStartsOnItsFirstPictureAndEndsOnItsLast)
{
    const auto items = HLQuartzPool::p_quartzItemsOf(HLRenderTypeSlideshow, kTemplates + "/Slideshow");
    ASSERT_FALSE(items.isEmpty());
    for (const auto &item : items) {
        const QVariantMap &info = item->dicInfo();
        const int best = info.value(kQuartzKeyBestCount).toInt();
        const SlideTiming timing = SlideTiming::fromInfo(info);
        // BestCount, and the counts where layouts and entry lengths change
        for (const int count : {best, 1, 2, 3, best + 3}) {
            QVariantList images;
            std::vector<QColor> colors;
            for (int k = 0; k < count; ++k) {
                colors.push_back(QColor::fromHsv(k * 360 / count, 220, 230));
                QImage img(40, 30, QImage::Format_ARGB32_Premultiplied);
                img.fill(colors.back());
                images.append(QVariantMap{{"Image", img}});
            }
            const double total = timing.total(count);
            CompositionRenderer index(item->oIndexes(), QSize(16, 16));
            index.setValue("Count", count);
            for (const QSize size : {QSize(96, 72), QSize(72, 96)}) {
                CompositionRenderer r(item->oContent(), size);
                r.setValue("Images", images);
                r.setValue("Count", count);
                for (const auto &[time, k] : {std::pair{0.0, 0}, std::pair{total, count - 1}}) {
                    // the smallest layouts give a picture about a tenth of the frame
                    EXPECT_GE(shareOf(r.render(time), colors[size_t(k)]), 0.08)
                        << qPrintable(item->strName()) << ": picture " << k << " of " << count << " at " << time
                        << ", " << size.width() << "x" << size.height();
                    index.setValue("Time", time);
                    const std::vector<int> shown = index.indexes();
                    EXPECT_NE(std::find(shown.begin(), shown.end(), k), shown.end())
                        << qPrintable(item->strName()) << ": index " << k << " of " << count << " at " << time;
                }
            }
        }
    }
}

// The set shows what the timing and decoration keys can do: entries whose length depends on the
// picture's place (a quick second, a slow last), and templates that prefer a background or a border
// behind their pictures beside those that want neither.
TEST(HLQuartzPoolTest, TheShippedSlideshowsVaryTheirEntriesAndDecorations)
{
    const auto items = HLQuartzPool::p_quartzItemsOf(HLRenderTypeSlideshow, kTemplates + "/Slideshow");
    ASSERT_FALSE(items.isEmpty());
    QStringList placed, back, border, plain;
    for (const auto &item : items) {
        const QVariantMap &info = item->dicInfo();
        const SlideTiming t = SlideTiming::fromInfo(info);
        if (t.durationTA != t.durationT || t.durationTB != t.durationT || t.durationTB2 != t.durationT)
            placed.append(item->strName());
        const bool prefersBack = info.value(kQuartzKeyDecorationBack).toBool();
        const bool prefersBorder = info.value(kQuartzKeyDecorationBorder).toBool();
        (prefersBack ? back : plain).append(item->strName());
        if (prefersBorder)
            border.append(item->strName());
    }
    // most of the set, and every kind of preference more than once
    EXPECT_GE(placed.size(), items.size() / 2) << qPrintable(placed.join(", "));
    EXPECT_GE(back.size(), 2) << qPrintable(back.join(", "));
    EXPECT_GE(border.size(), 2) << qPrintable(border.join(", "));
    EXPECT_GE(plain.size(), items.size() / 2) << qPrintable(plain.join(", "));
}

TEST(HLQuartzPoolTest, BrokenTemplatesAreSkippedAndTheRestLoad)
{
    TestFolder kind;
    const QString good = kind.file("b-good"), twin = kind.file("a-twin"), broken = kind.file("c-broken");
    write(good + "/Good.json", kDrawsOneAndThree);
    write(good + "/Good.plist", plist("Good", "QuartzTypeSlideshow"));        // no QuartzIndex: derived
    write(good + "/Second.json", kDrawsOneAndThree);
    write(good + "/Second.plist", plist("Second", "QuartzTypeSlideshow",
                                        "<key>QuartzIndex</key><string>Missing.json</string>"));
    write(good + "/Upper.PLIST", plist("Good", "QuartzTypeSlideshow"));      // not a property list of ours
    write(good + "/Garbage.plist", "not a property list");                  // skipped without a message
    thumbnail(good);
    write(twin + "/Good.json", R"({"format": 1})");
    write(twin + "/Good.plist", plist("Good", "QuartzTypeSlideshow"));
    thumbnail(twin);
    write(broken + "/Broken.json", R"({"format": 1, "layers": [{"type": "fill", "opacity": "nope"}]})");
    write(broken + "/Broken.plist", plist("Broken", "QuartzTypeSlideshow"));
    write(broken + "/NoThumb.json", R"({"format": 1})");
    write(broken + "/NoThumb.plist", plist("NoThumb", "QuartzTypeSlideshow").replace("Thumbnail.png", "None.png"));
    thumbnail(broken);
    write(kind.file("loose.plist"), plist("Loose", "QuartzTypeSlideshow")); // not in a template folder

    warnings.clear();
    const auto previous = qInstallMessageHandler(collect);
    const auto items = HLQuartzPool::p_quartzItemsOf(HLRenderTypeSlideshow, kind.path());
    qInstallMessageHandler(previous);

    QStringList names;
    for (const auto &item : items)
        names.append(item->strName());
    EXPECT_EQ(names, (QStringList{"Good", "Good", "Second"})); // folders and files in name order
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].startsWith("Failed In ") && warnings[0].contains("Broken")) << qPrintable(warnings[0]);
    EXPECT_TRUE(warnings[1].startsWith("Failed In ") && warnings[1].contains("NoThumb")) << qPrintable(warnings[1]);

    // Without an index composition, or with one that fails, the indexes come from what is drawn.
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(QSizeF(64, 48));
    for (int k : {1, 2}) {
        auto index = HLIndexesRender::initFreely(false, items[k]->strName(), items[k]->oIndexes());
        ASSERT_TRUE(index);
        EXPECT_EQ(index->indexSetAt(0.5, 3), (std::set<std::size_t>{0}));
        EXPECT_EQ(index->indexSetAt(2, 3), (std::set<std::size_t>{0, 2}));
    }
}

TEST(HLQuartzPoolTest, SetupLoadsOnceAndAnEmptyFolderLeavesThePoolUnset)
{
    TestFolder empty, full;
    write(full.file("One/One.json"), R"({"format": 1})");
    write(full.file("One/One.plist"), plist("One", "QuartzTypeText"));
    thumbnail(full.file("One"));
    const auto pool = HLQuartzPool::quartzPoolOf(HLRenderTypeText);
    EXPECT_EQ(pool, HLQuartzPool::quartzPoolOf(HLRenderTypeText));
    EXPECT_FALSE(pool->randomInfoDic());
    HLQuartzPool::setupOf(empty.path(), HLRenderTypeText);
    EXPECT_FALSE(pool->aryItems());
    EXPECT_TRUE(pool->quartzNames().isEmpty());
    HLQuartzPool::setupOf(full.path(), HLRenderTypeText);
    EXPECT_EQ(pool->quartzNames(), QStringList{"One"});
    HLQuartzPool::setupOf(kTemplates + "/Text", HLRenderTypeText); // already loaded: nothing changes
    EXPECT_EQ(pool->quartzNames(), QStringList{"One"});
    EXPECT_EQ(pool->randomInfoDic()->value(kQuartzKeyName).toString(), "One");
    EXPECT_FALSE(pool->infoDicOf("Two"));
    EXPECT_FALSE(pool->quartzOf("Two"));
    EXPECT_EQ(HLQuartzPool::p_quartzKey(HLRenderTypeGeneral), QString());
}

} // namespace
