// Pictures of the secondary windows: the slide sorter with a chosen tile, chosen cells and the
// drop marker and line, the settings and output-size dialogs with the size alert, the rate
// prompt.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/Windows/HLSettingWndCtrl.h"
#include "SourceHL/Windows/HLSizeWndCtrl.h"
#include "SourceHL/Windows/HLSortBackView.h"
#include "SourceHL/Windows/HLSortSlidView.h"
#include "SourceHL/Windows/HLSortWndCtrl.h"
#include "SourceHL/Windows/TipWndCtr.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ScreenShots.h"
#include "tests/support/TestProject.h"

#include <QApplication>
#include <QDialog>
#include <QDragMoveEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>


namespace {

using ScreenShots::save;

void hover(QWidget *target, QPoint pos, const QMimeData *data)
{
    QDragEnterEvent enter(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::optional<QDir> outDir = ScreenShots::start(app, argc, argv);
    if (!outDir)
        return 2;
    const QDir out = *outDir;
    TestFolder folder;
    TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
    TestProject::setUpPools(folder);
    auto timeline = TestProject::timeline(4);
    int k = 0;
    const auto photos = [&](int count) {
        HLTimelineItem::ResourceItems items;
        for (int i = 0; i < count; ++i)
            items.append(TestProject::importPhoto(folder, MediaFixtures::numberedPhoto(k++).scaled(480, 360), "JPEG"));
        return items;
    };
    timeline->addOutTo(photos(4), QString());
    timeline->setIMode(7);
    auto second = photos(6);
    if (auto clip = TestProject::importClip(folder, 2, std::nullopt))
        second.insert(2, clip);
    timeline->addOutTo(second, QString());
    timeline->setIMode(3);
    timeline->addOutTo(photos(3), QString());
    timeline->setIMode(2);
    timeline->addOutTo(photos(2), QString());

    auto queue = std::make_shared<HLLastOperateQueue>();
    HLEditGate gate(queue);
    HLSortWndCtrl sorter;
    QDialog *window = sorter.window();
    window->resize(760, 600);
    sorter.open(timeline, gate);
    std::unique_ptr<QMimeData> dragged;
    HLInsideDrag::setStarter([&](QWidget *, std::unique_ptr<QMimeData> data, const QPixmap &, QPoint) {
        dragged = std::move(data);
    });

    bool ok = save(window, out, QStringLiteral("sorter.png"));
    // Two cells of the second item chosen and dragged over the first item: the marker stands
    // before its third photo.
    const QList<HLRenderItemView *> cells = sorter.subItemViewsOf(sorter.slidViews()[1]);
    QTest::mouseClick(cells[1], Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTest::mouseClick(cells[3], Qt::LeftButton, Qt::ControlModifier, QPoint(40, 40));
    QTest::mousePress(cells[3], Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTest::mouseMove(cells[3], QPoint(50, 40));
    QTest::mouseRelease(cells[3], Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    if (dragged)
        hover(sorter.slidViews()[0], QPoint(2 * 85 - 30, 70), dragged.get());
    ok = save(window, out, QStringLiteral("sorter-cells-drop-marker.png")) && ok;
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(sorter.slidViews()[0], &leave);
    // A tile chosen and dragged between the first two: the back view's line.
    HLSortSlidView *tile = sorter.slidViews()[2];
    QTest::mouseClick(tile, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    dragged.reset();
    QTest::mousePress(tile, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    QTest::mouseMove(tile, QPoint(30, 10));
    QTest::mouseRelease(tile, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
    if (dragged)
        hover(sorter.backView(), QPoint(200, sorter.slidViews()[1]->geometry().top() - 6), dragged.get());
    ok = save(window, out, QStringLiteral("sorter-tile-drop-line.png")) && ok;
    QCoreApplication::sendEvent(sorter.backView(), &leave);
    sorter.setDRatio(0.6f);
    ok = save(window, out, QStringLiteral("sorter-zoomed-out.png")) && ok;
    window->close();

    HLSettingWndCtrl settings;
    settings.open(7, 1);
    ok = save(settings.window(), out, QStringLiteral("settings.png")) && ok;
    settings.cancel();

    HLSizeWndCtrl size;
    size.open(QSizeF(1280, 720));
    ok = save(size.window(), out, QStringLiteral("output-size.png")) && ok;
    QTimer::singleShot(200, [&] {
        auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ScreenShots::settle();
        ok = alert && ScreenShots::save(alert->grab().toImage(), out, QStringLiteral("output-size-alert.png")) && ok;
        if (alert)
            alert->accept();
    });
    size.edtWidth()->setFocus();
    size.edtWidth()->selectAll();
    QTest::keyClicks(size.edtWidth(), QStringLiteral("29"));
    QTest::keyClick(size.edtWidth(), Qt::Key_Return);
    size.cancel();

    TipWndCtr tip;
    tip.window()->show();
    ok = save(tip.window(), out, QStringLiteral("rate-prompt.png")) && ok;
    tip.noThanks();
    HLInsideDrag::setStarter({});
    return ok ? 0 : 1;
}
