#include "tests/dvd/ui/DVDGeneratedProject.h"

#include "export/VEExportHandOff.h"
#include "SourceHL/Model/Package/HLProjectContents.h"
#include "export/VETimelineExportMovie.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/TestProject.h"

namespace {

std::shared_ptr<HLRenderSizer> sizer()
{
    static const auto made = [] {
        TestProject::setUpTemplates(TestProject::ProbeLayout::WholeFrame);
        auto s = HLRenderSizer::renderSizerOf(QSizeF(320, 240), 1200);
        HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(s->typedRenderSize());
        HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(QSizeF(240, 180));
        return s;
    }();
    return made;
}

} // namespace

DVDGeneratedProject::DVDGeneratedProject()
{
    const auto renderSize = sizer();
    TestProject::setUpPools(folder);
    timeline = TestProject::timeline(1);
    timeline->addOutTo({TestProject::importPhoto(folder, Qt::red), TestProject::importPhoto(folder, Qt::blue)},
                       QString());
    timeline->update(0);
    textline = HLTextlineItem::textline();
    textline->setupTimeMap([](float position) { return position / 10.0f; });
    textline->add(HLTextItem::textItemOf(QStringLiteral("T1")));
    textline->textItemReMin(QStringLiteral("T1"), 5, 15);
    textline->syncPlayTime();
    audioline = HLAudiolineItem::audioline();
    audioline->add({TestProject::importTone(folder, 4.0)});
    timelineRender = HLTimelineRender::timelineRenderOf(timeline, false, renderSize, HLQuartzPool::quartzPoolOf(0),
                                                        HLQuartzPool::quartzPoolOf(2));
    textlineRender = HLTextlineRender::textlineRenderOf(textline, false, renderSize, HLQuartzPool::quartzPoolOf(3));
}

DVDGeneratedProject::~DVDGeneratedProject() = default;

std::shared_ptr<VETimelineExportMovie> DVDGeneratedProject::exportMovie() const
{
    return exportMovieOf({sizer(), timeline, textline, audioline}, *timelineRender, *textlineRender);
}
