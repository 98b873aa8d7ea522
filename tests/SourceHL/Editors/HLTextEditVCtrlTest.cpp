// The title pane on a real title over a host: each control writes the style once through the
// hook and raises its dirty mark; the overlay shows and moves the title; the text field never
// comes back to itself; stopping never lowers the mark.
#include "widgets/HLColorWell.h"
#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Editors/HLTextEditVCtrl.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/View/HLTextDisplayView.h"
#include "tests/support/TestProject.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HLTextEditVCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf); }
    void SetUp() override
    {
        title = HLTextItem::textItemOf(QStringLiteral("T1"));
        ASSERT_TRUE(title);
        pane = std::make_unique<HLTextEditVCtrl>([this](HLChange::Kinds kinds, const std::function<void()> &write) {
            writes << kinds;
            write();
        });
        pane->setUpSync([this](HLQuartzPreviewView *, int kind, const std::optional<QString> &name) {
            synced << (name ? QStringLiteral("%1 %2").arg(kind).arg(*name) : QStringLiteral("none"));
        },
                        {});
        host.resize(640, 480);
        host.show();
        pane->view()->resize(320, 700);
        pane->view()->show();
    }
    void TearDown() override { pane.reset(); }

    HLTextEdit &style() const { return *title->oTextEdit(); }
    QImage overlay() const { return pane->vTextDisplay()->grab().toImage(); }

    QWidget host;
    std::shared_ptr<HLTextItem> title;
    std::unique_ptr<HLTextEditVCtrl> pane;
    QList<HLChange::Kinds> writes;
    QStringList synced;
};

TEST_F(HLTextEditVCtrlTest, TheOverlayTakesTheProjectsShapeOverTheHost)
{
    pane->startEditing(title, &host, 1280.0f / 720.0f);
    HLTextDisplayView *overlay = pane->vTextDisplay();
    EXPECT_EQ(overlay->parentWidget(), &host);
    EXPECT_EQ(overlay->geometry(), QRect(0, 60, 640, 360));
    EXPECT_FLOAT_EQ(overlay->dResize(), 640.0f / 600.0f);
    host.resize(640, 480); // unchanged host: same place
    pane->stopEditing();
    pane->startEditing(title, &host, 720.0f / 960.0f);
    EXPECT_EQ(overlay->geometry(), QRect(140, 0, 360, 480));
    EXPECT_FLOAT_EQ(overlay->dResize(), 360.0f / 337.5f);
    host.resize(800, 480); // the overlay follows its host
    EXPECT_EQ(overlay->geometry(), QRect(220, 0, 360, 480));
    pane->stopEditing();
    EXPECT_EQ(overlay->parentWidget(), nullptr);
    EXPECT_FALSE(pane->edtText->isEnabled());
    EXPECT_EQ(pane->ppBtnFontNames->currentIndex(), 0); // the system's first font when idle
    EXPECT_EQ(pane->clwlFontColor->color(), QColor(Qt::white));
}

TEST_F(HLTextEditVCtrlTest, AFontThisSystemLacksShowsTheFamilyTheTitleIsDrawnIn)
{
    for (const QString &name : {QStringLiteral("LucidaGrande"), QStringLiteral("No Such Face")}) {
        style().setStrFont(name);
        pane->startEditing(title, &host, 4.0f / 3.0f);
        EXPECT_EQ(pane->ppBtnFontNames->currentText(), QFontInfo(hl_fontWithName(name, 11)).family()) << qPrintable(name);
        EXPECT_FALSE(pane->ppBtnFontNames->currentText().isEmpty()) << qPrintable(name);
        EXPECT_EQ(style().strFont(), name); // only shown: the title keeps its font's name
        pane->stopEditing();
    }
    EXPECT_TRUE(writes.isEmpty());
}

TEST_F(HLTextEditVCtrlTest, EveryControlWritesTheStyleOnceAndRaisesItsMark)
{
    pane->startEditing(title, &host, 4.0f / 3.0f);
    const auto shadowOffsets = HLTextEditVCtrl::shadowOffsetTexts();
    ASSERT_EQ(shadowOffsets.size(), 12);
    EXPECT_EQ(shadowOffsets.last(), QStringLiteral("10.0"));
    EXPECT_EQ(pane->ppBtnStaticShadowOffsetX->currentText(), QStringLiteral("1.0"));
    const struct
    {
        const char *what;
        std::function<void()> act;
        std::function<bool()> done;
        bool shown = true; // the overlay draws no blur: the shadow's size shows in the renders only
    } steps[] = {
        {"a letter typed", [&] { QTest::keyClicks(pane->edtText, "!"); },
         [&] { return style().strText().contains(QLatin1Char('!')); }},
        {"font chosen",
         [&] {
             pane->ppBtnFontNames->setFocus();
             QTest::keyClick(pane->ppBtnFontNames, Qt::Key_End);
         },
         [&] { return style().strFont() == pane->ppBtnFontNames->itemText(pane->ppBtnFontNames->count() - 1); }},
        {"size slid",
         [&] {
             pane->sldFontSize->setFocus();
             QTest::keyClick(pane->sldFontSize, Qt::Key_PageUp);
         },
         [&] { return style().dFontSize() > 60.0f; }},
        {"colour chosen", [&] { pane->clwlFontColor->chooseColor(Qt::green); },
         [&] { return style().clFont() == QColor(Qt::green); }},
        {"plate on", [&] { QTest::mouseClick(pane->btnStaticBack, Qt::LeftButton, {}, QPoint(5, 5)); },
         [&] { return style().bStaticBack() && pane->sldStaticBackAlpha->isEnabled(); }},
        {"plate colour", [&] { pane->clwlStaticBackColor->chooseColor(Qt::blue); },
         [&] { return style().clStaticBack() == QColor(Qt::blue); }},
        {"shadow off", [&] { QTest::mouseClick(pane->btnStaticShadow, Qt::LeftButton, {}, QPoint(5, 5)); },
         [&] { return !style().bStaticShadow() && !pane->sldStaticShadowSize->isEnabled(); }},
        {"shadow on", [&] { QTest::mouseClick(pane->btnStaticShadow, Qt::LeftButton, {}, QPoint(5, 5)); },
         [&] { return style().bStaticShadow(); }},
        {"shadow offset",
         [&] {
             pane->ppBtnStaticShadowOffsetX->setFocus();
             QTest::keyClick(pane->ppBtnStaticShadowOffsetX, Qt::Key_End);
         },
         [&] { return style().dStaticShadowOffsetX() == 10.0f; }},
        {"shadow size typed beyond the slider",
         [&] {
             pane->edtStaticShadowSize->setFocus();
             pane->edtStaticShadowSize->selectAll();
             QTest::keyClicks(pane->edtStaticShadowSize, "55");
             QTest::keyClick(pane->edtStaticShadowSize, Qt::Key_Return);
         },
         [&] { return style().dStaticShadowRadius() == 10.0f && pane->edtStaticShadowSize->text() == "10.0"; },
         false},
    };
    for (const auto &step : steps) {
        writes.clear();
        const quint64 generation = style().iDirtyGeneration();
        const QImage before = overlay();
        step.act();
        EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style}) << step.what;
        EXPECT_TRUE(step.done()) << step.what;
        EXPECT_GT(style().iDirtyGeneration(), generation) << step.what;
        if (step.shown)
            EXPECT_NE(overlay(), before) << step.what;
    }
}

TEST_F(HLTextEditVCtrlTest, TheTitleMovesWithTheMouseAndTheArrowKeys)
{
    pane->startEditing(title, &host, 4.0f / 3.0f);
    HLTextDisplayView *overlay = pane->vTextDisplay();
    const QPoint centre = overlay->rect().center();
    writes.clear();
    QTest::mousePress(overlay, Qt::LeftButton, {}, centre);
    QTest::mouseMove(overlay, centre + QPoint(-60, -40));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, centre + QPoint(-60, -40));
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style});
    EXPECT_LT(style().dCenterX(), 0.5f);
    EXPECT_GT(style().dCenterY(), 0.5f); // up on the screen is up in the record
    EXPECT_EQ(pane->sldCenterX->value(), qRound(style().dCenterX() * 1000));

    const float x = style().dCenterX();
    overlay->setFocus();
    writes.clear();
    QTest::keyClick(overlay, Qt::Key_Right);
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style});
    EXPECT_GT(style().dCenterX(), x);
}

TEST_F(HLTextEditVCtrlTest, ATemplateAndBackToStatic)
{
    pane->startEditing(title, &host, 4.0f / 3.0f);
    ASSERT_GT(pane->aryQuartzNames().size(), 1);
    EXPECT_EQ(pane->aryQuartzNames().first(), QStringLiteral("Static"));
    const QString name = pane->aryQuartzNames().at(1);
    synced.clear();
    writes.clear();
    pane->ppBtnQuartzNames->setFocus();
    QTest::keyClick(pane->ppBtnQuartzNames, Qt::Key_Down); // over the separator to the first template
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style});
    EXPECT_EQ(style().enType(), HLTextEdit::HLTextEditTypeDynamic);
    ASSERT_TRUE(title->oTextInfo());
    EXPECT_EQ(title->oTextInfo()->strName(), name);
    EXPECT_TRUE(pane->vStaticBack->isHidden());
    EXPECT_FALSE(pane->vDynamicBack->isHidden());
    EXPECT_EQ(synced.last(), QStringLiteral("3 ") + name);

    writes.clear();
    QTest::keyClick(pane->ppBtnQuartzNames, Qt::Key_Home);
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style});
    EXPECT_EQ(style().enType(), HLTextEdit::HLTextEditTypeStatic);
    EXPECT_FALSE(title->oTextInfo());
    EXPECT_FALSE(pane->vStaticBack->isHidden());
    EXPECT_EQ(synced.last(), QStringLiteral("none"));
}

TEST_F(HLTextEditVCtrlTest, DeletingTheTextLeavesTextHereOnceWithoutComingBack)
{
    pane->startEditing(title, &host, 4.0f / 3.0f);
    int changes = 0;
    QObject::connect(pane->edtText, &QPlainTextEdit::textChanged, [&] { ++changes; });
    writes.clear();
    pane->edtText->setFocus();
    pane->edtText->selectAll();
    QTest::keyClick(pane->edtText, Qt::Key_Delete);
    EXPECT_EQ(pane->edtText->toPlainText(), QStringLiteral("Text Here"));
    EXPECT_EQ(style().strText(), QStringLiteral("Text Here"));
    EXPECT_LE(changes, 2); // the deletion and the stand-in, nothing echoed back
    // The default text is "Text Here": the stand-in is no change at all.
    EXPECT_TRUE(writes.isEmpty());

    QTest::keyClick(pane->edtText, Qt::Key_Return);
    QTest::keyClick(pane->edtText, Qt::Key_Tab);
    EXPECT_TRUE(style().strText().contains(QLatin1Char('\n')));
    EXPECT_TRUE(style().strText().contains(QLatin1Char('\t')));
}

TEST_F(HLTextEditVCtrlTest, StoppingNeverLowersTheMarkAndAnUntouchedTitleIsNotRaised)
{
    const quint64 untouched = style().iDirtyGeneration();
    pane->startEditing(title, &host, 4.0f / 3.0f);
    pane->stopEditing();
    EXPECT_EQ(style().iDirtyGeneration(), untouched);
    EXPECT_TRUE(writes.isEmpty());

    pane->startEditing(title, &host, 4.0f / 3.0f);
    pane->clwlFontColor->chooseColor(Qt::red);
    const quint64 raised = style().iDirtyGeneration();
    EXPECT_GT(raised, untouched);
    pane->stopEditing();
    EXPECT_EQ(style().iDirtyGeneration(), raised);
}

} // namespace
