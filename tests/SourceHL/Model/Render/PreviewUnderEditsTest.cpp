#include "RenderProject.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <random>

using namespace RenderProject;

namespace {

// The user edits through the gate while the play step offers preview frames to the latest-job
// queue, each given its time, and moves the model's clock as it goes. The frame after every edit
// equals what new renderers draw from the edited model.
class PreviewUnderEditsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { setUpTemplates(); }
    void SetUp() override
    {
        setUpPools(folder);
        for (int i = 0; i < 24; ++i)
            unused.append(importPhoto(folder, QColor::fromHsv(i * 15, 255, 255), 16, 12));
        timeline = RenderProject::timeline(2);
        ASSERT_TRUE(timeline->addOutTo(take(6), QString()));
        textline = HLTextlineItem::textline();
        for (int i = 0; i < 3; ++i) {
            auto title = HLTextItem::textItemOf(QStringLiteral("T%1").arg(i), QVariantMap());
            title->updateLineMin(float(i) * 80 + 10, float(i) * 80 + 60);
            title->oTextEdit()->setStrText("HH");
            title->oTextEdit()->setClFont(Qt::white);
            textline->add(title);
        }
        textline->setupTimeMap([](float position) { return position / 10; });
        textline->syncPlayTime();
        sizer = HLRenderSizer::renderSizerOf(QSizeF(64, 48), 1200);
    }

    HLTimelineItem::ResourceItems take(int count)
    {
        HLTimelineItem::ResourceItems taken;
        while (count-- > 0 && !unused.isEmpty())
            taken.append(unused.takeFirst());
        return taken;
    }

    std::shared_ptr<HLTimelineRender> timelineRender() const
    {
        return HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                  HLQuartzPool::quartzPoolOf(2));
    }

    std::shared_ptr<HLTextlineRender> textlineRender() const
    {
        return HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    }

    TestFolder folder;
    HLTimelineItem::ResourceItems unused;
    std::shared_ptr<HLTimelineItem> timeline;
    std::shared_ptr<HLTextlineItem> textline;
    std::shared_ptr<HLRenderSizer> sizer;
};

TEST_F(PreviewUnderEditsTest, EveryEditShowsInTheNextFrame)
{
    std::mt19937 random(20261210);
    const auto pick = [&random](auto count) { return std::uniform_int_distribution<int>(0, int(count) - 1)(random); };
    const auto colour = [&] { return QColor::fromHsv(pick(360), 255, 255); };
    const auto anyItem = [&] { return timeline->mtAryItems().at(pick(timeline->mtAryItems().size())); };
    const QStringList templates = {"Probe", "ProbeFramed", "ProbeFine"};

    struct Edit
    {
        const char *name;
        std::function<void()> run;
    };
    const std::vector<Edit> edits = {
        {"template swap", [&] { anyItem()->updateSlideshow(slideshowInfo(templates[pick(templates.size())])); }},
        {"border colour", [&] {
             const auto edit = anyItem()->oRenderEdit();
             edit->setBImageBorder(true);
             edit->setClBorderColor(colour());
             edit->makeDirty();
         }},
        {"background colour", [&] {
             const auto edit = anyItem()->oBackEdit();
             edit->setBBackground(true);
             edit->setClBackSingle(colour());
             edit->makeDirty();
         }},
        {"photo colour", [&] {
             const auto item = anyItem();
             const auto slide = item->logicRenderItemAt(std::size_t(pick(item->logicItemsCount())));
             slide->oEffect()->setDSaturation(float(pick(3)) * 0.5f);
             slide->makeDirty();
         }},
        {"add", [&] { timeline->addOutTo(take(1 + pick(3)), pick(2) ? QString() : anyItem()->strSSID()); }},
        {"move", [&] {
             const auto from = anyItem();
             const auto to = anyItem();
             const QString moved = from->logicResourceItemAt(std::size_t(pick(from->logicItemsCount())))->strHashID();
             if (from != to)
                 timeline->moveInTo({moved}, from->strSSID(), to->strSSID(), QString());
             else
                 timeline->move({from->strSSID()}, QString());
         }},
        {"delete", [&] {
             // Never the last pictures: an empty timeline draws nothing to compare.
             const auto item = anyItem();
             if (timeline->slideshowItemsCount() > 2)
                 timeline->remove({item->strSSID()});
             else if (item->logicItemsCount() > 1)
                 timeline->removeFrom({item->logicResourceItemAt(0)->strHashID()}, item->strSSID());
         }},
        {"title", [&] {
             const auto title = textline->aryItems().at(pick(textline->aryItems().size()));
             title->oTextEdit()->setStrText(QString(1 + pick(4), QLatin1Char('H')));
             title->oTextEdit()->makeDirty();
         }},
    };

    const auto queue = std::make_shared<HLLastOperateQueue>();
    HLEditGate gate(queue);
    const auto frames = timelineRender();
    const auto titles = textlineRender();
    std::mutex shown;
    QImage shownFrame;
    QImage shownTitles;
    const auto offer = [&](float time) {
        queue->add([&, time] {
            const QImage frame = frames->renderPreview(time, nullptr);
            const QImage overlay = titles->renderPreview(time);
            std::lock_guard lock(shown);
            shownFrame = frame;
            shownTitles = overlay;
        });
    };

    float clock = 0;
    for (int step = 0; step < 150; ++step) {
        // The play step: the model's clock moves and frames are offered while the worker renders.
        for (int tick = 0; tick < 3; ++tick) {
            clock = std::fmod(clock + 0.37f, std::max(timeline->currentDuration(), 1.0f));
            timeline->update(clock);
            textline->update(clock);
            offer(clock);
        }
        const Edit &edit = edits[std::size_t(pick(edits.size()))];
        gate.perform(HLChange::Structure, edit.run);

        const float time = std::uniform_real_distribution<float>(0, timeline->currentDuration())(random);
        offer(time);
        queue->wait();
        std::lock_guard lock(shown);
        ASSERT_TRUE(sameFrame(shownFrame, timelineRender()->renderPreview(time, nullptr)))
            << "step " << step << " after " << edit.name << " at " << time;
        const QImage expectedTitles = textlineRender()->renderPreview(time);
        ASSERT_EQ(shownTitles.isNull(), expectedTitles.isNull()) << "step " << step << " at " << time;
        if (!expectedTitles.isNull()) {
            ASSERT_TRUE(sameFrame(shownTitles, expectedTitles)) << "step " << step << " after " << edit.name;
        }
    }
}

} // namespace
