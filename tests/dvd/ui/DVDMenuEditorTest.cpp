#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/EffectTextImage.h"
#include "dvd/ui/DVDFrameResourceItemContainerView.h"
#include "dvd/ui/DVDFrameResourceItemView.h"
#include "dvd/ui/DVDImageWell.h"
#include "dvd/ui/DVDMenuEditView.h"
#include "dvd/ui/DVDMenuEditViewHighlightView.h"
#include "dvd/ui/ExportDVDMenuEditCtrl.h"
#include "tests/dvd/ui/DVDWindowControls.h"
#include "Frameworks/Trevanel/TrevanelFrameResource.h"
#include "Frameworks/Trevanel/TrevanelResource.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

QImage plain(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// A 720 × 540 menu: the title at the top left, the button a 200 square in the middle
// showing a 200 × 200 frame of the slideshow.
std::shared_ptr<DVDMenuEditObject> setUpMenu(ExportDVDMenuEditCtrl &editor)
{
    auto menu = editor.dvdMenuEdit();
    menu->menuSize = QSizeF(720, 540);
    menu->adjustItemsPosition();
    menu->dvdItem->setVideoImage(plain(200, 200, Qt::green));
    menu->dvdItem->videoImageMaxTime = 12;
    return menu;
}

// Runs body while the editor is open, then closes it.
void whileOpen(ExportDVDMenuEditCtrl &editor, const std::function<void()> &body)
{
    QTimer::singleShot(0, [&] {
        body();
        editor.window()->close();
    });
    editor.showEditWindowModal();
}

QPoint widgetPoint(DVDMenuEditView *canvas, QPointF menuPoint)
{
    return canvas->widgetRectOf(QRectF(menuPoint, QSizeF(0, 0))).topLeft().toPoint();
}

} // namespace

TEST(ExportDVDMenuEditCtrl, ClicksPickAndDragsMoveTheObjectsInsideTheMenu)
{
    ExportDVDMenuEditCtrl editor;
    auto menu = setUpMenu(editor);
    int told = 0;
    whileOpen(editor, [&] {
        DVDMenuEditView *canvas = editor.menuEditView();
        // 560 × 400 container: the menu at scale 400/540, 2/3 of the container's width.
        EXPECT_NEAR(canvas->width(), 720 * 400.0 / 540, 1);
        EXPECT_EQ(canvas->height(), 400);
        canvas->setDelegate([&] {
            ++told;
            editor.selectedEditItemDidChanged();
        });

        const QPoint centre = widgetPoint(canvas, QPointF(360, 270));
        QTest::mousePress(canvas, Qt::LeftButton, {}, centre);
        EXPECT_EQ(canvas->currentEditItem(), menu->dvdItem);
        EXPECT_GT(canvas->highlightView()->highlightRect().width(), 1.0);
        EXPECT_TRUE(control<QSlider>(editor, "menuItemZoomBtn")->isEnabled());
        EXPECT_TRUE(control<QWidget>(editor, "vEditFrameView")->isVisibleTo(editor.window()));
        // A drag of 60 menu pixels right and 30 up moves the frame as far.
        QTest::mouseMove(canvas, widgetPoint(canvas, QPointF(420, 300)));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, widgetPoint(canvas, QPointF(420, 300)));
        EXPECT_NEAR(menu->dvdItem->frame.center().x(), 420, 1.5);
        EXPECT_NEAR(menu->dvdItem->frame.center().y(), 300, 1.5);
        EXPECT_EQ(menu->dvdItem->frame.size(), QSizeF(200, 200));

        // Dragged far beyond the right edge and the top: it stops at the menu's corner.
        QTest::mousePress(canvas, Qt::LeftButton, {}, widgetPoint(canvas, QPointF(420, 300)));
        QTest::mouseMove(canvas, QPoint(canvas->width() + 400, -300));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(canvas->width() + 400, -300));
        EXPECT_NEAR(menu->dvdItem->frame.right(), 720, 1e-6);
        EXPECT_NEAR(menu->dvdItem->frame.bottom(), 540, 1e-6);
        const QRectF outline = canvas->highlightView()->highlightRect();
        EXPECT_NEAR(outline.right(), canvas->geometry().right() + 1, 1.5);

        // The title is picked (and movable) even while it is not shown.
        EXPECT_FALSE(menu->addText);
        const QPointF title = menu->dvdText->getRealDisplayRect().center();
        QTest::mousePress(canvas, Qt::LeftButton, {}, widgetPoint(canvas, title));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, widgetPoint(canvas, title));
        EXPECT_EQ(canvas->currentEditItem(), menu->dvdText);
        EXPECT_TRUE(control<QWidget>(editor, "vEditTextView")->isVisibleTo(editor.window()));

        // A click on neither clears the pick and disables the settings.
        const QPoint empty = widgetPoint(canvas, QPointF(100, 100));
        QTest::mousePress(canvas, Qt::LeftButton, {}, empty);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, empty);
        EXPECT_EQ(canvas->currentEditItem(), nullptr);
        EXPECT_LE(canvas->highlightView()->highlightRect().width(), 1.0);
        EXPECT_FALSE(control<QSlider>(editor, "menuItemZoomBtn")->isEnabled());
        EXPECT_FALSE(control<QCheckBox>(editor, "hasShadowBtn")->isEnabled());
        EXPECT_FALSE(control<QLineEdit>(editor, "itemTextStringLabel")->isEnabled());
    });
    EXPECT_EQ(told, 4);
}

TEST(ExportDVDMenuEditCtrl, TitleWinsWhereTheTwoOverlap)
{
    ExportDVDMenuEditCtrl editor;
    auto menu = setUpMenu(editor);
    menu->dvdItem->frame = QRectF(0, 340, 300, 200); // over the title in the top left
    whileOpen(editor, [&] {
        DVDMenuEditView *canvas = editor.menuEditView();
        const QRectF text = menu->dvdText->getRealDisplayRect();
        ASSERT_TRUE(text.intersects(menu->dvdItem->getRealDisplayRect()));
        QTest::mousePress(canvas, Qt::LeftButton, {}, widgetPoint(canvas, text.center()));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, widgetPoint(canvas, text.center()));
        EXPECT_EQ(canvas->currentEditItem(), menu->dvdText);
    });
}

TEST(ExportDVDMenuEditCtrl, SettingsGoIntoThePickedObject)
{
    TestFolder folder;
    ExportDVDMenuEditCtrl editor;
    auto menu = setUpMenu(editor);
    whileOpen(editor, [&] {
        DVDMenuEditView *canvas = editor.menuEditView();
        const QPoint button = widgetPoint(canvas, QPointF(360, 270));
        QTest::mousePress(canvas, Qt::LeftButton, {}, button);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, button);
        ASSERT_EQ(canvas->currentEditItem(), menu->dvdItem);
        auto &item = *menu->dvdItem;
        EXPECT_EQ(control<QLineEdit>(editor, "shadowPointXLable")->text(), "0");
        EXPECT_EQ(control<QLineEdit>(editor, "shadowPointYLable")->text(), "0");

        // Zoom: a side of half the menu height around the same centre.
        control<QSlider>(editor, "menuItemZoomBtn")->setValue(50);
        EXPECT_EQ(item.frame, QRectF(360 - 135, 270 - 135, 270, 270));
        control<QCheckBox>(editor, "hasShadowBtn")->click();
        EXPECT_FALSE(item.hasShadow);
        EXPECT_FALSE(control<QSlider>(editor, "shadowPointXBtn")->isEnabled());
        control<QCheckBox>(editor, "hasShadowBtn")->click();
        control<QLineEdit>(editor, "shadowPointXLable")->setText("7");
        emit control<QLineEdit>(editor, "shadowPointXLable")->editingFinished();
        EXPECT_EQ(item.shadowOffset.width(), 7);
        control<QLineEdit>(editor, "shadowPointXLable")->setText("25"); // out of range: kept
        emit control<QLineEdit>(editor, "shadowPointXLable")->editingFinished();
        EXPECT_EQ(item.shadowOffset.width(), 7);
        EXPECT_EQ(control<QLineEdit>(editor, "shadowPointXLable")->text(), "7");

        // A frame chosen from the chooser, and the border that shows it.
        const auto &frames = TrevanelResource::share().frames();
        ASSERT_GE(frames.size(), 2u);
        DVDFrameResourceItemView *second = editor.framesListView()->cells()[1];
        QTest::mouseClick(second, Qt::LeftButton);
        EXPECT_EQ(item.frameResource, frames[1]);
        EXPECT_TRUE(second->isSelected());
        EXPECT_FALSE(editor.framesListView()->cells()[0]->isSelected());
        control<QCheckBox>(editor, "menuItemAddBoderBtn")->click();
        EXPECT_TRUE(item.hasBorder);

        // A picture file, chosen or dropped while in file mode; what is not a picture is
        // ignored, and until there is one the movie frame stays.
        control<QRadioButton>(editor, "menuItemFileModeBtn")->click();
        EXPECT_TRUE(item.useLocalImage);
        EXPECT_FALSE(control<QSlider>(editor, "menuItemImageTimeBtn")->isVisibleTo(editor.window()));
        EXPECT_EQ(item.getRealDisplayRect(), item.frame); // bordered: the frame
        const QString notPicture = folder.file("notes.txt");
        const QString picture = folder.file("wide.png");
        ASSERT_TRUE(MediaFixtures::writeBytes(notPicture, "just text"));
        ASSERT_TRUE(plain(300, 100, Qt::blue).save(picture));
        QString offered = notPicture;
        editor.setOpenPanel([&](QWidget *) { return offered; });
        control<QPushButton>(editor, "menuItemLocalImageChooseBtn")->click();
        EXPECT_TRUE(item.localImage.isNull());
        offered = picture;
        control<QPushButton>(editor, "menuItemLocalImageChooseBtn")->click();
        EXPECT_EQ(item.localImage.size(), QSize(300, 100));
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(picture)});
        item.localImage = QImage();
        DVDImageWell *well = editor.menuItemImageBtn();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(well, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(well, &drop);
        EXPECT_EQ(item.localImage.size(), QSize(300, 100));
        control<QRadioButton>(editor, "menuItemMovieModeBtn")->click();
        EXPECT_FALSE(item.useLocalImage);
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(well, &refused);
        EXPECT_FALSE(refused.isAccepted()); // the movie frame takes no drops

        // Typed movie times: decimals are decimals; what cannot be read or lies beyond the
        // slideshow leaves the time as it was.
        struct Typed
        {
            const char *text;
            double seconds;
            const char *shown;
        };
        const Typed typed[] = {{"00:00:01.5", 1.5, "00:00:01.50"},
                               {"00:00:10.5", 10.5, "00:00:10.50"},
                               {"abc", 10.5, "00:00:10.50"},
                               {"00:00:13", 10.5, "00:00:10.50"},
                               {"7", 7.0, "00:00:07.00"}};
        for (const Typed &t : typed) {
            control<QLineEdit>(editor, "menuItemImageTimeLabel")->setText(QString::fromLatin1(t.text));
            emit control<QLineEdit>(editor, "menuItemImageTimeLabel")->editingFinished();
            EXPECT_DOUBLE_EQ(item.videoImageTime, t.seconds) << t.text;
            EXPECT_EQ(control<QLineEdit>(editor, "menuItemImageTimeLabel")->text(), t.shown) << t.text;
            EXPECT_EQ(control<QSlider>(editor, "menuItemImageTimeBtn")->value(), int(t.seconds * 1000)) << t.text;
        }

        // The text pane writes into the button's text.
        control<QLineEdit>(editor, "itemTextStringLabel")->setText("Play the show");
        emit control<QLineEdit>(editor, "itemTextStringLabel")->editingFinished();
        EXPECT_EQ(item.text->textString, "Play the show");
        control<QLineEdit>(editor, "itemTextFontSizeLabel")->setText("40");
        emit control<QLineEdit>(editor, "itemTextFontSizeLabel")->editingFinished();
        EXPECT_EQ(item.text->textFontSize, 40);
        control<QCheckBox>(editor, "hasTextBgBtn")->setChecked(false);
        control<QCheckBox>(editor, "hasTextBgBtn")->click();
        EXPECT_EQ(item.text->backgroundType, 1);
        EXPECT_TRUE(control<QSlider>(editor, "itemTextBgRoundBtn")->isEnabled());
        control<QSlider>(editor, "itemTextBgRoundBtn")->setValue(40);
        EXPECT_FLOAT_EQ(item.text->backgroundRadius, 0.4f);
    });
}

TEST(ExportDVDMenuEditCtrl, FrameReloadsRunOneAtATimeAndSettleBeforeExport)
{
    ExportDVDMenuEditCtrl editor;
    auto menu = setUpMenu(editor);
    std::atomic<int> running{0};
    std::atomic<int> overlapped{0};
    std::atomic<int> loads{0};
    std::atomic<bool> release{false};
    std::vector<double> times; // only the reload thread writes it while the test waits
    editor.setDvdDelegate([&](double time) {
        times.push_back(time);
        if (++running > 1)
            ++overlapped;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        menu->dvdItem->setVideoImage(plain(320, 180, Qt::red));
        ++loads;
        --running;
    });
    whileOpen(editor, [&] {
        DVDMenuEditView *canvas = editor.menuEditView();
        const QPoint button = widgetPoint(canvas, QPointF(360, 270));
        QTest::mousePress(canvas, Qt::LeftButton, {}, button);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, button);
        control<QSlider>(editor, "menuItemImageTimeBtn")->setValue(2000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return running == 1; })); // the first reload, held
        control<QSlider>(editor, "menuItemImageTimeBtn")->setValue(4000);
        // Its timer fires while the first still runs: queued behind it.
        QList<QTimer *> waiting;
        for (QTimer *timer : editor.findChildren<QTimer *>())
            if (timer->isActive() && timer->isSingleShot())
                waiting.append(timer);
        ASSERT_EQ(waiting.size(), 1);
        const QPointer<QTimer> reloadTimer = waiting.first();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reloadTimer || !reloadTimer->isActive(); }, 60000));
        EXPECT_EQ(running.load(), 1);
    });
    // Export starts: the held reload ends and the queued one runs before the slideshow is
    // handed over, never two at once.
    release = true;
    editor.finishPendingReload();
    EXPECT_EQ(running.load(), 0);
    EXPECT_EQ(overlapped.load(), 0);
    EXPECT_EQ(loads.load(), 2);
    EXPECT_EQ(times, (std::vector<double>{2.0, 4.0}));
    EXPECT_DOUBLE_EQ(menu->dvdItem->videoImageTime, 4.0);
    EXPECT_EQ(menu->dvdItem->getRealDisplayRect().width(), 200 * 320.0 / 180);
}
