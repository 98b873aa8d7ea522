#include "dvd/ui/BackgroundMusicWindowController.h"
#include "tests/dvd/ui/DVDWindowControls.h"
#include "export/ui/AudioEditProgressView.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

qint64 ticks(double seconds)
{
    return zk_ff_time_from_double(seconds);
}

double volumeOf(const ZKSegmentMovie &segment)
{
    return std::dynamic_pointer_cast<ZKFFMovie>(segment.ffmovie())->volume();
}

void type(QLineEdit *field, const QString &text)
{
    field->setText(text);
    emit field->editingFinished();
}

// Twelve seconds of music, used up to 11 s.
std::shared_ptr<ZKSegmentMovie> music(const TestFolder &folder)
{
    const QString path = folder.file(QStringLiteral("music.wav"));
    if (!MediaFixtures::writeTone(path, 12.0))
        return nullptr;
    auto segment = ZKSegmentMovie::movieWithPath(path);
    if (segment)
        segment->setStop(ticks(11));
    return segment;
}

} // namespace

TEST(BackgroundMusicWindowController, TypedTrimFadesAndVolumeApplyOrAreRefused)
{
    TestFolder folder;
    const auto segment = music(folder);
    ASSERT_TRUE(segment);
    BackgroundMusicWindowController dialog;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(control<QLineEdit>(dialog, "trimStopLabel")->text(), "00:00:11.000");
        EXPECT_EQ(dialog.progressView()->duration(), ticks(12));
        // Less than a second would remain: refused and the field shows the start again.
        type(control<QLineEdit>(dialog, "trimStartLabel"), "00:00:10.500");
        EXPECT_EQ(segment->start(), 0);
        EXPECT_EQ(control<QLineEdit>(dialog, "trimStartLabel")->text(), "00:00:00.000");
        type(control<QLineEdit>(dialog, "trimStartLabel"), "garbage");
        EXPECT_EQ(segment->start(), 0);
        type(control<QLineEdit>(dialog, "trimStartLabel"), "00:00:09.999");
        EXPECT_NEAR(zk_ff_time_to_double(segment->start()), 9.999, 1e-6);
        EXPECT_EQ(control<QLineEdit>(dialog, "trimStartLabel")->text(), "00:00:09.999");
        type(control<QLineEdit>(dialog, "trimStartLabel"), "00:00:01.5");
        EXPECT_EQ(segment->start(), ticks(1.5));
        EXPECT_EQ(control<QLineEdit>(dialog, "trimStartLabel")->text(), "00:00:01.500");
        type(control<QLineEdit>(dialog, "trimStopLabel"), "90"); // beyond the file
        EXPECT_EQ(segment->stop(), ticks(11));
        type(control<QLineEdit>(dialog, "trimStopLabel"), "10.25");
        EXPECT_EQ(segment->stop(), ticks(10.25));
        EXPECT_EQ(control<QLabel>(dialog, "trimTotalLengthLabel")->text(), "00:00:08");

        control<QComboBox>(dialog, "fadeInButton")->setCurrentIndex(3);
        emit control<QComboBox>(dialog, "fadeInButton")->activated(3);
        EXPECT_EQ(segment->fadeIn(), ticks(3));
        control<QComboBox>(dialog, "fadeOutButton")->setCurrentIndex(0);
        emit control<QComboBox>(dialog, "fadeOutButton")->activated(0);
        EXPECT_EQ(segment->fadeOut(), 0);

        type(control<QLineEdit>(dialog, "volumeChangeLabel"), "350");
        EXPECT_DOUBLE_EQ(volumeOf(*segment), 1.0);
        EXPECT_EQ(control<QLineEdit>(dialog, "volumeChangeLabel")->text(), "100%");
        type(control<QLineEdit>(dialog, "volumeChangeLabel"), "250");
        EXPECT_DOUBLE_EQ(volumeOf(*segment), 2.5);
        EXPECT_EQ(control<QLineEdit>(dialog, "volumeChangeLabel")->text(), "250%");
        control<QSlider>(dialog, "volumeChangeBtn")->setValue(50);
        EXPECT_DOUBLE_EQ(volumeOf(*segment), 0.5);
        EXPECT_EQ(control<QLineEdit>(dialog, "volumeChangeLabel")->text(), "50%");
        control<QPushButton>(dialog, "applyButton")->click();
    });
    dialog.showWindowWithMovie(segment);
    EXPECT_EQ(segment->start(), ticks(1.5));
    EXPECT_EQ(segment->stop(), ticks(10.25));
    EXPECT_EQ(segment->fadeIn(), ticks(3));
    EXPECT_DOUBLE_EQ(volumeOf(*segment), 0.5);
    EXPECT_EQ(dialog.player().segmentMovie(), nullptr);
}

TEST(BackgroundMusicWindowController, CancelPutsBackWhatTheMusicHadAndShowsFadesRounded)
{
    TestFolder folder;
    const auto segment = music(folder);
    ASSERT_TRUE(segment);
    segment->setStart(ticks(2));
    segment->setFadeOut(ticks(2.6));
    BackgroundMusicWindowController dialog;
    for (const bool viaCloseBox : {false, true}) {
        QTimer::singleShot(0, [&] {
            EXPECT_EQ(control<QComboBox>(dialog, "fadeOutButton")->currentText(), "3 s");
            // The right handle dragged to the bar's end: the stop follows, within the file.
            AudioEditProgressView *bar = dialog.progressView();
            const double right = bar->geometry().pointXFromTime(double(segment->stop()));
            const QPoint grab(int(right) + 7, bar->height() - 7);
            QTest::mousePress(bar, Qt::LeftButton, {}, grab);
            QTest::mouseMove(bar, QPoint(bar->width() + 50, bar->height() - 7));
            QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() + 50, bar->height() - 7));
            EXPECT_EQ(segment->stop(), ticks(12));
            type(control<QLineEdit>(dialog, "trimStartLabel"), "00:00:05");
            control<QComboBox>(dialog, "fadeInButton")->setCurrentIndex(5);
            emit control<QComboBox>(dialog, "fadeInButton")->activated(5);
            type(control<QLineEdit>(dialog, "volumeChangeLabel"), "200");
            EXPECT_EQ(segment->start(), ticks(5));
            if (viaCloseBox)
                dialog.window()->close();
            else
                control<QPushButton>(dialog, "cancelButton")->click();
        });
        dialog.showWindowWithMovie(segment);
        EXPECT_EQ(segment->start(), ticks(2));
        EXPECT_EQ(segment->stop(), ticks(11));
        EXPECT_EQ(segment->fadeIn(), 0);
        EXPECT_EQ(segment->fadeOut(), ticks(2.6));
        EXPECT_DOUBLE_EQ(volumeOf(*segment), 1.0);
    }
}
