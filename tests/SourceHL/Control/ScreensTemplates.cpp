// Pictures of the template chooser in the main window on each tab (a tile under the pointer
// playing, the chosen item's template marked) and of the slideshow item and transition
// editors open on real items.
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"
#include "SourceHL/Windows/HLQuartzsPreviewVCtrl.h"
#include "SourceHL/Windows/HLTemplateInfoView.h"
#include "tests/support/ScreenShots.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

using ScreenShots::save;
using ScreenShots::settle;

HLContentChoice choiceOf(const QString &sssid, const QString &tssid, const QString &ttid)
{
    HLContentChoice choice;
    choice.strSSSID = sssid;
    choice.strTSSID = tssid;
    choice.strTTID = ttid;
    choice.bCanEdit = true;
    return choice;
}

void hover(QWidget *tile)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(tile, &enter);
}

} // namespace

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

    QTemporaryDir pictures;
    const QStringList files = ScreenShots::samplePhotos(
        QDir(pictures.path()), {"Beach.jpg", "Forest.jpg", "Sunset.jpg", "Snow.jpg"});
    ctrl.gate().perform(HLChange::None, [&] { ctrl.oTimeline()->setIMode(2); });
    ctrl.mediaImport().p_addVideosAndImagesOutTo(files, QString());
    if (!QTest::qWaitFor([&] { return !ctrl.mediaImport().isImporting(); }, 20000))
        std::fprintf(stderr, "the import did not end; the pictures show what came in\n");
    settle(500);
    auto title = HLTextItem::textItemOf(QStringLiteral("Opening"));
    title->oTextEdit()->setStrText(QStringLiteral("Summer by the Sea"));
    title->updateLineMin(0, 150);
    ctrl.gate().perform(HLChange::Structure, [&] {
        ctrl.oTextline()->add(title);
        ctrl.oTextline()->syncPlayTime();
    });
    const auto items = ctrl.oTimeline()->aryItems();
    if (items.size() < 2) {
        std::fprintf(stderr, "the photos did not come in\n");
        return 1;
    }
    HLQuartzsPreviewVCtrl &chooser = *ctrl.vCtrlQuartzs();
    bool ok = true;

    // Each tab with the chosen item of its kind and a tile under the pointer.
    const struct
    {
        QuartzUIType tab;
        HLContentChoice choice;
        const char *file;
    } tabs[] = {{QuartzUITypeSlideshow, choiceOf(items[0]->strSSID(), {}, {}), "templates-slideshow.png"},
                {QuartzUITypeGeneral, choiceOf(items[0]->strSSID(), {}, {}), "templates-general.png"},
                {QuartzUITypeTransition, choiceOf({}, items[0]->strSSID(), {}), "templates-transition.png"},
                {QuartzUITypeText, choiceOf({}, {}, title->strTTID()), "templates-text.png"}};
    for (const auto &t : tabs) {
        ctrl.updateChoice(t.choice);
        QTest::mouseClick(chooser.p_templateViewOf(t.tab), Qt::LeftButton);
        HLQuartzPreviewVCtrl &grid = *chooser.p_previewVCtrlOf(t.tab);
        // one chosen by a click where the chosen item's template is not on this tab
        if (grid.strChosenName().isNull() && grid.aryPreviewViews().size() > 1)
            QTest::mouseClick(grid.aryPreviewViews()[1], Qt::LeftButton);
        // the tile beside the chosen one, which is scrolled into view
        const qsizetype chosen = grid.aryPreviewViews().indexOf(grid.vChosenView());
        HLQuartzPreviewView *hovered = grid.aryPreviewViews()[chosen > 0 ? chosen - 1 : (chosen == 0 ? 1 : 0)];
        hover(hovered);
        settle(600);
        ok = save(ctrl.window(), out, QString::fromLatin1(t.file)) && ok;
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(hovered, &leave);
    }

    // The slideshow item editor with a border and a gradient background.
    ctrl.updateChoice(choiceOf(items[0]->strSSID(), {}, {}));
    ctrl.gate().perform(HLChange::Style, [&] {
        items[0]->oRenderEdit()->setBImageBorder(true);
        items[0]->oRenderEdit()->makeDirty();
        items[0]->oBackEdit()->setBBackground(true);
        items[0]->oBackEdit()->setEnColorType(1);
        items[0]->oBackEdit()->setEnGradientType(0);
        items[0]->oBackEdit()->makeDirty();
    });
    ctrl.p_startEditing();
    settle(800);
    ok = save(ctrl.window(), out, QStringLiteral("editors-slideshow.png")) && ok;
    ctrl.p_stopEditing();

    ctrl.updateChoice(choiceOf({}, items[0]->strSSID(), {}));
    ctrl.p_startEditing();
    settle(800);
    ok = save(ctrl.window(), out, QStringLiteral("editors-transition.png")) && ok;
    return ok ? 0 : 1;
}
