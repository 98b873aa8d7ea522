#include "tests/support/SampleProject.h"

#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/TestProject.h"

#include <QColor>

namespace SampleProject {

HLProjectContents make(const TestFolder &folder, const QString &slideshow)
{
    HLProjectContents project;
    project.sizer = HLRenderSizer::renderSizerOf({640, 360}, 1200);
    project.timeline = TestProject::timeline(2, slideshow);
    project.textline = HLTextlineItem::textline();
    project.audioline = HLAudiolineItem::audioline();

    const auto red = TestProject::importPhoto(folder, QColor(200, 30, 30));
    const auto green = TestProject::importPhoto(folder, QColor(30, 200, 30));
    const auto blue = TestProject::importPhoto(folder, QColor(30, 30, 200));
    const auto clip = TestProject::importClip(folder, 2, 440);
    const auto music = TestProject::importTone(folder, 3, 660);
    if (!red || !green || !blue || !clip || !music)
        return {};
    project.timeline->addOutTo({red, green, clip, blue}, QString());

    const auto items = project.timeline->mtAryItems();
    items[0]->setDSlideshowDisplay(3);
    items[0]->oBackEdit()->setOBack(blue);
    items[0]->oBackEdit()->setClBackSingle(QColor(10, 20, 30));
    const auto first = items[0]->logicRenderItemAt(0);
    first->oCrop()->setDRatioX(0.1f);
    first->oCrop()->setDRatioW(0.8f);
    first->oRotate()->setIRotation(90);
    first->oEffect()->setDHue(0.25f);
    for (const auto &item : items) {
        for (std::size_t i = 0; i < item->logicItemsCount(); ++i) {
            if (const auto trim = item->logicRenderItemAt(i)->oTrim()) {
                trim->setDTrimMin(0.25f);
                trim->setDVolume(0.5f);
            }
        }
    }

    for (int i = 0; i < 2; ++i) {
        const auto title = HLTextItem::textItemOf(QString::number(900 + i));
        title->updateLineMin(float(i) * 120, float(i) * 120 + 115);
        title->oTextEdit()->setDFontSize(48);
        project.textline->add(title);
    }
    project.textline->setupTimeMap([](float x) { return x / 40; });
    project.textline->syncPlayTime();

    project.audioline->add({music});
    project.audioline->arrange();
    project.audioline->aryItems()[0]->oEdit()->setDFadeIn(0.5f);
    project.audioline->aryItems()[0]->oEdit()->setDVolume(0.8f);
    return project;
}

bool sameProject(const HLProjectContents &a, const HLProjectContents &b)
{
    if (a.sizer->szRender() != b.sizer->szRender() || a.timeline->timelineInfos() != b.timeline->timelineInfos())
        return false;
    const auto slides = a.timeline->mtAryItems();
    if (slides.size() != b.timeline->mtAryItems().size())
        return false;
    for (qsizetype i = 0; i < slides.size(); ++i) {
        if (!slides[i]->isEqual(*b.timeline->mtAryItems()[i]))
            return false;
    }
    const auto titles = a.textline->aryItems();
    if (titles.size() != b.textline->aryItems().size())
        return false;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (!titles[i]->isEqual(*b.textline->aryItems()[i]))
            return false;
    }
    const auto clips = a.audioline->aryItems();
    if (clips.size() != b.audioline->aryItems().size() || a.audioline->enType() != b.audioline->enType())
        return false;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        if (!clips[i]->isEqual(*b.audioline->aryItems()[i]))
            return false;
    }
    return true;
}

HLProjectContents persistentCopy(const HLProjectContents &contents)
{
    HLProjectContents copy = HLProjectContents::fromArchivedData(contents.archivedData());
    copy.makeResourcesPersistent();
    return copy;
}

} // namespace SampleProject
