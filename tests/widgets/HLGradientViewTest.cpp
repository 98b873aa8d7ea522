// The gradient sample: its direction by kind, drawn from the first colour's side, and setters
// that leave the redraw to the caller.
#include "widgets/HLGradientView.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage drawn(HLGradientView &view)
{
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(HLGradientViewTest, RunsLeftToRightForKindZeroAndBottomUpOtherwise)
{
    HLGradientView view;
    view.resize(100, 60);
    view.setClColorLB(Qt::red);
    view.setClColorRU(Qt::blue);
    EXPECT_EQ(HLGradientView::angleOf(0), 0);
    EXPECT_EQ(HLGradientView::angleOf(1), 90);
    EXPECT_EQ(HLGradientView::angleOf(7), 90);

    QImage image = drawn(view);
    EXPECT_GT(qRed(image.pixel(1, 30)), 240);   // left: the first colour
    EXPECT_GT(qBlue(image.pixel(98, 30)), 240); // right: the second
    EXPECT_EQ(image.pixel(50, 2), image.pixel(50, 57)); // nothing changes upwards

    view.setEnType(1);
    image = drawn(view);
    EXPECT_GT(qRed(image.pixel(50, 58)), 240);  // bottom: the first colour
    EXPECT_GT(qBlue(image.pixel(50, 1)), 240);  // top: the second
    EXPECT_EQ(image.pixel(2, 30), image.pixel(97, 30));
}

} // namespace
