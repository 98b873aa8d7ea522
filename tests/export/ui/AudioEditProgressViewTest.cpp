#include "export/ui/AudioEditProgressView.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Presses at a y-up point of the bar and drags to x (same height).
void drag(AudioEditProgressView &view, QPointF from, double toX)
{
    const QPoint start(int(from.x()), view.height() - int(from.y()));
    QTest::mousePress(&view, Qt::LeftButton, {}, start);
    QTest::mouseMove(&view, QPoint(int(toX), start.y()));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(int(toX), start.y()));
}

struct Recorder
{
    QList<double> seeks, pauses;
    int trims = 0;
    void attach(AudioEditProgressView &view)
    {
        view.setSeekPlayerToTime([this](double t) { seeks << t; });
        view.setPausePlayerToTime([this](double t) { pauses << t; });
        view.setTrimTimeInEditViewDidUpdate([this] { ++trims; });
    }
};

TEST(AudioEditProgressView, ClicksAndDragsMoveTheKnobAndHandles)
{
    AudioEditProgressView view;
    view.resize(330, 36); // bar from x 15 to 315
    view.setDuration(1000);
    view.setTrimStart(200);
    view.setTrimStop(800);
    view.setMin_trim_time(100);
    view.setProgress(500);
    view.show();
    Recorder r;
    r.attach(view);

    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(15, 36 - 18));
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(315, 36 - 18));
    EXPECT_EQ(r.seeks, (QList<double>{0, 1000}));

    // The left handle dragged past the right one stops short of it; left of the bar at 0.
    drag(view, {60, 7}, 300);
    EXPECT_EQ(view.trimStart(), 700);
    drag(view, {225, 7}, 0);
    EXPECT_EQ(view.trimStart(), 0);
    // The right handle beyond the bar stops at the end; over the left one, past it.
    drag(view, {260, 7}, 330);
    EXPECT_EQ(view.trimStop(), 1000);
    drag(view, {320, 7}, 0);
    EXPECT_EQ(view.trimStop(), 100);
    EXPECT_EQ(r.trims, 4);
    EXPECT_EQ(r.pauses, (QList<double>{700, 0, 1000, 100}));
    // The knob's drag seeks and leaves progress to the delegate.
    r.seeks.clear();
    drag(view, {165, 27}, 240);
    EXPECT_EQ(r.seeks, QList<double>{750});
    EXPECT_EQ(view.progress(), 500);
}

TEST(AudioEditProgressView, ClipWithoutLengthTakesNothing)
{
    AudioEditProgressView view;
    view.resize(330, 36);
    view.setTrimStart(0);
    view.setTrimStop(0);
    view.show();
    Recorder r;
    r.attach(view);
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(100, 36 - 18));
    drag(view, {15, 7}, 200);
    drag(view, {22, 27}, 200);
    EXPECT_TRUE(r.seeks.isEmpty());
    EXPECT_TRUE(r.pauses.isEmpty());
    EXPECT_EQ(r.trims, 0);
    EXPECT_EQ(view.trimStart(), 0);
}

} // namespace
