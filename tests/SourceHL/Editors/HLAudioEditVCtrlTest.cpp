// The music clip pane on a real clip: each control writes through the hook once with its kind
// of change, the preview loops on the pane's own movie with the fades, and typed times that
// are no time, or left unchanged, write nothing.
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Editors/HLAudioEditVCtrl.h"
#include "SourceHL/Editors/HLPreviewTimes.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestProject.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class HLAudioEditVCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf); }
    void SetUp() override
    {
        qputenv("ZK_SILENT_AUDIO", "1");
        TestProject::setUpPools(folder);
        clip = HLAudioItem::audioItemOf(QStringLiteral("A1"), TestProject::importTone(folder, 30));
        ASSERT_TRUE(clip);
        pane = std::make_unique<HLAudioEditVCtrl>([this](HLChange::Kinds kinds, const std::function<void()> &write) {
            writes << kinds;
            write();
        });
        pane->view()->resize(320, 600);
        pane->view()->show();
    }
    void TearDown() override { pane.reset(); }

    // Types text into field and leaves it with Return.
    void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        QTest::qWait(0);
        field->selectAll();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(field, text);
        else
            field->insert(text); // as an input method would: QTest types ASCII only
        QTest::keyClick(field, Qt::Key_Return);
    }
    HLAudioEdit &edit() const { return *clip->oEdit(); }

    TestFolder folder;
    std::shared_ptr<HLAudioItem> clip;
    std::unique_ptr<HLAudioEditVCtrl> pane;
    QList<HLChange::Kinds> writes;
};

TEST_F(HLAudioEditVCtrlTest, IdleControlsAreEmptyAndDisabled)
{
    EXPECT_FALSE(pane->isNowEditing());
    EXPECT_TRUE(pane->editingID().isEmpty());
    EXPECT_FALSE(pane->btnAudioPlay->isEnabled());
    EXPECT_FALSE(pane->sldVolume->isEnabled());
    EXPECT_EQ(pane->edtTrimStart->text(), QStringLiteral("00:00.00"));
    EXPECT_EQ(pane->ppBtnFadeIn->count(), 10);
    EXPECT_EQ(pane->ppBtnFadeIn->itemText(1), QStringLiteral("1 second"));
    EXPECT_EQ(pane->ppBtnFadeIn->itemText(9), QStringLiteral("9 seconds"));
}

TEST_F(HLAudioEditVCtrlTest, EveryControlWritesOnceThroughTheHook)
{
    clip->updatePlayMin(0.0f, 30.0f);
    pane->startEditing(clip, 1);
    ASSERT_TRUE(pane->isNowEditing());
    EXPECT_EQ(pane->editingID(), QStringLiteral("A1"));
    EXPECT_EQ(pane->tldPlayDuration->text(), QStringLiteral("00:30"));
    EXPECT_EQ(pane->ppBtnFadeIn->currentIndex(), 3); // the record's default fade
    EXPECT_TRUE(pane->vCustomBack->isVisibleTo(pane->view()));

    const struct
    {
        const char *what;
        std::function<void()> act;
        HLChange::Kinds kind;
        std::function<bool()> done;
    } steps[] = {
        {"trim start typed", [&] { type(pane->edtTrimStart, "0:10"); }, HLChange::Timing,
         [&] { return edit().dTrimMin() == 10.0f && pane->edtTrimStart->text() == "00:10.00"; }},
        {"trim end typed", [&] { type(pane->edtTrimEnd, "20"); }, HLChange::Timing,
         [&] { return edit().dTrimMax() == 20.0f && pane->tldTrimDuration->text() == "00:10.00"; }},
        {"fade in chosen",
         [&] {
             pane->ppBtnFadeIn->setFocus();
             QTest::keyClick(pane->ppBtnFadeIn, Qt::Key_Down);
         },
         HLChange::Style, [&] { return edit().dFadeIn() == 4.0f; }},
        {"fade out chosen",
         [&] {
             pane->ppBtnFadeOut->setFocus();
             QTest::keyClick(pane->ppBtnFadeOut, Qt::Key_Up);
         },
         HLChange::Style, [&] { return edit().dFadeOut() == 2.0f; }},
        {"volume slid",
         [&] {
             pane->sldVolume->setFocus();
             QTest::keyClick(pane->sldVolume, Qt::Key_PageDown);
         },
         HLChange::Style,
         [&] { return edit().dVolume() < 1.0f && pane->oAudio().movie()->volume() == double(edit().dVolume()); }},
        {"volume typed", [&] { type(pane->edtVolume, "350"); }, HLChange::Style,
         [&] { return edit().dVolume() == 3.0f && pane->edtVolume->text() == "300%" && pane->sldVolume->value() == 300; }},
        {"play start typed", [&] { type(pane->edtPlayStart, "4"); }, HLChange::Timing,
         [&] { return clip->dPlayMin() == 4.0f && pane->edtPlayRepeat->text() == "2.60"; }},
    };
    for (const auto &step : steps) {
        writes.clear();
        step.act();
        EXPECT_EQ(writes, QList<HLChange::Kinds>{step.kind}) << step.what;
        EXPECT_TRUE(step.done()) << step.what;
    }
}

TEST_F(HLAudioEditVCtrlTest, ARepeatCountSetsThePlayEndFromTheStart)
{
    clip->updatePlayMin(4.0f, 10.0f);
    clip->oEdit()->setDTrimMax(6.0f); // kept 6 s
    pane->startEditing(clip, 1);
    type(pane->edtPlayRepeat, "2.5");
    EXPECT_FLOAT_EQ(clip->dPlayMax(), 19.0f);
    EXPECT_EQ(pane->edtPlayRepeat->text(), QStringLiteral("2.50"));
    // The largest float repeats would end past any time: the end stays finite.
    type(pane->edtPlayRepeat, "340282346638528859811704183484516925440");
    EXPECT_TRUE(std::isfinite(clip->dPlayMax()));
    EXPECT_LE(clip->dPlayMax(), HLPreviewTimes::kLongestTime);
}

TEST_F(HLAudioEditVCtrlTest, TypedTimesThatAreNoTimeOrUnchangedWriteNothing)
{
    clip->oEdit()->setDTrimMin(2.345f);
    pane->startEditing(clip, 0);
    EXPECT_FALSE(pane->vCustomBack->isVisibleTo(pane->view()));
    for (const char *text : {"nan", "inf", "-5", "1:-2", "\xE2\x88\x92" "5"}) {
        writes.clear();
        const QString shown = pane->edtTrimStart->text();
        type(pane->edtTrimStart, QString::fromUtf8(text));
        EXPECT_TRUE(writes.isEmpty()) << text;
        EXPECT_EQ(pane->edtTrimStart->text(), shown) << text;
        EXPECT_FLOAT_EQ(edit().dTrimMin(), 2.345f) << text;
    }
    // Visiting the fields and leaving them as shown keeps the unrounded values.
    writes.clear();
    for (QLineEdit *field : {pane->edtTrimStart, pane->edtTrimEnd, pane->edtVolume}) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
    }
    pane->btnDone->setFocus();
    EXPECT_TRUE(writes.isEmpty());
    EXPECT_FLOAT_EQ(edit().dTrimMin(), 2.345f);
}

TEST_F(HLAudioEditVCtrlTest, ThePreviewLoopsInsideTheKeptPartWithTheFades)
{
    clip->oEdit()->setDTrimMin(10.0f);
    clip->oEdit()->setDTrimMax(20.0f);
    clip->oEdit()->setDFadeIn(3.0f);
    clip->oEdit()->setDVolume(0.8f);
    pane->startEditing(clip, 0);
    ZKFFMovie &movie = *pane->oAudio().movie();
    QTest::mouseClick(pane->btnAudioPlay, Qt::LeftButton);
    ASSERT_TRUE(pane->oAudio().isPlay());
    EXPECT_TRUE(pane->oAudio().timer().isActive());
    EXPECT_EQ(pane->oAudio().timer().interval(), 50);

    // Editing starts at 0, before the kept part: the first tick jumps to its start, faded out.
    pane->p_playFeedback();
    EXPECT_NEAR(zk_ff_time_to_double(movie.currentTime()), 10.0, 0.05);
    EXPECT_NEAR(movie.volume(), 0.0, 0.03);
    // Half-way through the fade-in, half the volume.
    movie.setCurrentTime(qint64(11.5 * zk_default_time_base()));
    pane->p_playFeedback();
    EXPECT_NEAR(movie.volume(), 0.4, 0.03);
    // Past 19.9 s the position goes back to the start.
    movie.setCurrentTime(qint64(19.95 * zk_default_time_base()));
    pane->p_playFeedback();
    EXPECT_NEAR(zk_ff_time_to_double(movie.currentTime()), 10.0, 0.05);

    // A press on a trim handle stops the preview; stopping the editing stops it too.
    QTest::mouseClick(pane->btnAudioPlay, Qt::LeftButton);
    EXPECT_FALSE(pane->oAudio().isPlay());
    QTest::mouseClick(pane->btnAudioPlay, Qt::LeftButton);
    pane->stopEditing();
    EXPECT_FALSE(pane->oAudio().timer().isActive());
    EXPECT_FALSE(pane->isNowEditing());
    EXPECT_FALSE(pane->sldVolume->isEnabled());
}

TEST_F(HLAudioEditVCtrlTest, SetStartAndSetEndTakeThePreviewsPosition)
{
    pane->startEditing(clip, 0);
    pane->oAudio().player()->updateTrimPlayRatio(0.25f);
    writes.clear();
    QTest::mouseClick(pane->btnTrimStart, Qt::LeftButton);
    EXPECT_NEAR(edit().dTrimMin(), 7.5, 0.05);
    pane->oAudio().player()->updateTrimPlayRatio(0.5f);
    QTest::mouseClick(pane->btnTrimEnd, Qt::LeftButton);
    EXPECT_NEAR(edit().dTrimMax(), 15.0, 0.05);
    EXPECT_EQ(writes, (QList<HLChange::Kinds>{HLChange::Timing, HLChange::Timing}));
}

} // namespace
