#include "tests/SourceHL/Control/StripFixture.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"
#include "tests/support/MediaFixtures.h"
#include "widgets/HLDarkStyle.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

void StripFixture::SetUpTestSuite()
{
    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-strip"));
    HLDarkStyle::applyTo(*qApp);
}

void StripFixture::SetUp()
{
    QDir().mkpath(folder.file(QStringLiteral("in")));
    m_ctrl = std::make_unique<HLMainWndCtrl>();
    m_ctrl->window()->resize(1280, 800);
    m_ctrl->showWindow();
    HLInsideDrag::setStarter([this](QWidget *, std::unique_ptr<QMimeData> data, const QPixmap &, QPoint) {
        m_dragged = std::move(data);
    });
}

void StripFixture::TearDown()
{
    waitForImport();
    HLInsideDrag::setStarter({});
    m_ctrl.reset();
}

QStringList StripFixture::writePhotos(int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage image(96, 64, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((m_files * 47) % 360, 180, 220));
        QPainter(&image).fillRect(10, 10, 30, 20, Qt::white);
        const QString path = folder.file(QStringLiteral("in/photo%1.png").arg(m_files++));
        image.save(path);
        paths.append(path);
    }
    return paths;
}

QString StripFixture::writeClip(double seconds)
{
    const QString path = folder.file(QStringLiteral("in/clip%1.mp4").arg(m_files++));
    MediaFixtures::ClipRecipe recipe;
    recipe.seconds = seconds;
    recipe.audioCodec = {"-c:a", "aac", "-b:a", "128k"};
    EXPECT_TRUE(MediaFixtures::makeIndexedClip(path, recipe));
    return path;
}

void StripFixture::addItems(const QList<int> &sizes)
{
    for (const int size : sizes) {
        m_ctrl->gate().perform(HLChange::None, [&] { m_ctrl->oTimeline()->setIMode(quint64(size)); });
        m_ctrl->mediaImport().p_addVideosAndImagesOutTo(writePhotos(size), QString());
        waitForImport();
    }
}

void StripFixture::waitForImport()
{
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_ctrl->mediaImport().isImporting(); }, 20000))
        << "the import did not end";
    QCoreApplication::processEvents(); // the sheet's own steps
}

HLTimelineSlideshowBackView *StripFixture::row(int index)
{
    return strip().arySlidBackViews().value(index);
}

HLRenderItemView *StripFixture::cell(int rowIndex, int index)
{
    auto *r = row(rowIndex);
    return r ? static_cast<HLRenderItemView *>(r->cellViews().value(index)) : nullptr;
}

QStringList StripFixture::ssids() const
{
    QStringList ids;
    for (const auto &item : m_ctrl->oTimeline()->aryItems())
        ids.append(item->strSSID());
    return ids;
}

QList<QStringList> StripFixture::hashes() const
{
    QList<QStringList> ids;
    for (const auto &item : m_ctrl->oTimeline()->aryItems())
        ids.append(item->resourceHashIDs());
    return ids;
}

QStringList StripFixture::chosenCells() const
{
    QStringList ids;
    for (HLRenderItemView *view : m_ctrl->vCtrlContentline()->vCtrlTimeline().aryChosenRIViews())
        ids.append(view->UIHashID());
    return ids;
}

void StripFixture::press(QWidget *view, Qt::KeyboardModifiers modifiers)
{
    ASSERT_TRUE(view);
    QTest::mouseClick(view, Qt::LeftButton, modifiers, QPoint(view->width() / 2, view->height() / 2));
}

std::unique_ptr<QMimeData> StripFixture::dragCell(HLRenderItemView *view)
{
    m_dragged.reset();
    const QPoint at(40, 40);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(view, at + QPoint(QApplication::startDragDistance() + 5, 0));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at + QPoint(QApplication::startDragDistance() + 5, 0));
    return std::move(m_dragged);
}

bool StripFixture::dropOn(QWidget *target, QPoint pos, const QMimeData *data)
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(pos), actions, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}
