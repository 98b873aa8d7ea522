// The suite's ThreadSanitizer suppressions leave Qt checked: a race of two of our threads on a
// picture is reported even where Qt Gui is the one that reads it.
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

TEST(ThreadSanitizerSuppressions, ARaceOnASharedPictureIsStillReported)
{
    const ChildProcess run = ChildProcess::run(
        QStringLiteral(SHARED_PICTURE_RACE), {}, true,
        {QStringLiteral("TSAN_OPTIONS=exitcode=66 suppressions=" SLIDESHOW_SOURCE_DIR "/scripts/tsan.supp")});
    EXPECT_EQ(run.exitCode, 66) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("WARNING: ThreadSanitizer: data race")) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("QImage::copy")) << run.output.toStdString();
}
