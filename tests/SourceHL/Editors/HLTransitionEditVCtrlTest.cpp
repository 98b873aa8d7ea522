// The transition editor on real items: its duration and template writes, and what it offers
// to apply to all.
#include "SourceHL/Editors/HLDurationControl.h"
#include "SourceHL/Editors/HLTransitionEditVCtrl.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "tests/SourceHL/Editors/HLTemplateEditorsFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

class HLTransitionEditVCtrlTest : public HLTemplateEditorsFixture
{
protected:
    void SetUp() override
    {
        HLTemplateEditorsFixture::SetUp();
        pane = std::make_unique<HLTransitionEditVCtrl>();
        pane->setUp(hook(), [this](const QString &ssid) { return timeline->slideshowItemOf(ssid); });
        pane->setUpSync([this](HLQuartzPreviewView *, qint64 type, const QString &name) { synced << QStringLiteral("%1 %2").arg(type).arg(name); },
                        [this] { ++ended; });
        pane->setUpApplyToAllDura([this](float s) { durations << s; },
                                  [this](const QVariantMap &info) { infos << info; });
        pane->view()->resize(340, 400);
        pane->view()->show();
        pane->view()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(pane->view()));
    }
    int indexOf(const QString &name) const { return pane->quartz()->aryNames().indexOf(name); }

    std::unique_ptr<HLTransitionEditVCtrl> pane;
    QStringList synced;
    int ended = 0;
    QList<float> durations;
    QList<QVariantMap> infos;
};

TEST_F(HLTransitionEditVCtrlTest, IdleAndEditing)
{
    EXPECT_EQ(pane->duration()->field()->text(), QStringLiteral("0.0"));
    EXPECT_FALSE(pane->duration()->slider()->isEnabled());
    EXPECT_FALSE(pane->quartz()->ppBtnQuartzNames()->isEnabled());
    EXPECT_EQ(synced.last(), QStringLiteral("2 ") + pane->quartz()->aryNames().value(0));
    pane->startEditing(item(0)->strSSID());
    EXPECT_EQ(pane->editingID(), item(0)->strSSID());
    EXPECT_EQ(pane->duration()->field()->text(), QString::asprintf("%.1f", double(item(0)->dTransition())));
    EXPECT_EQ(pane->quartz()->selectedName(), QStringLiteral("Dissolve"));
    EXPECT_EQ(synced.last(), QStringLiteral("2 Dissolve"));
    EXPECT_TRUE(pane->quartz()->vQuartzPreview()->bCanPreview());
}

TEST_F(HLTransitionEditVCtrlTest, DurationAndTemplateEachWriteOnceAndKeepTheOther)
{
    pane->startEditing(item(0));
    const QString other = pane->quartz()->aryNames().value(indexOf(QStringLiteral("Dissolve")) == 0 ? 1 : 0);
    pane->duration()->slider()->setValue(23);
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Timing});
    EXPECT_FLOAT_EQ(item(0)->dTransition(), 2.3f);
    EXPECT_EQ(item(0)->oTransitionInfo()->strName(), QStringLiteral("Dissolve"));
    writes.clear();
    emit pane->quartz()->ppBtnQuartzNames()->activated(indexOf(other));
    EXPECT_EQ(writes, QList<HLChange::Kinds>{HLChange::Style});
    EXPECT_EQ(item(0)->oTransitionInfo()->strName(), other);
    EXPECT_FLOAT_EQ(item(0)->dTransition(), 2.3f);
    EXPECT_EQ(synced.last(), QStringLiteral("2 ") + other);
    EXPECT_FLOAT_EQ(item(1)->dTransition(), item(2)->dTransition()); // others untouched
    // A typed minus sign is refused and the old text comes back.
    writes.clear();
    QLineEdit *field = pane->duration()->field();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QStringLiteral("-3"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), QStringLiteral("2.3"));
    EXPECT_TRUE(writes.isEmpty());
}

TEST_F(HLTransitionEditVCtrlTest, ApplyToAllHandsOnTheItemsValuesOnlyWhenUsable)
{
    pane->startEditing(item(0));
    pane->btnApplyToAllDuration()->click();
    pane->btnApplyToAllInformation()->click();
    EXPECT_EQ(durations, QList<float>{item(0)->dTransition()});
    ASSERT_EQ(infos.size(), 1);
    EXPECT_FALSE(infos[0].isEmpty());
    // A length of 0 and a template the catalogue doesn't list are never offered.
    item(0)->setDTransition(0);
    item(0)->oTransitionInfo()->setStrName(QStringLiteral("Gone Away"));
    pane->stopEditing();
    pane->startEditing(item(0));
    EXPECT_EQ(pane->quartz()->ppBtnQuartzNames()->currentIndex(), -1);
    pane->applyToAllDuration();
    pane->applyToAllInformation();
    EXPECT_EQ(durations.size(), 1);
    EXPECT_EQ(infos.size(), 1);
    EXPECT_GT(pane->duration()->minimum(), 0);
    pane->btnDone()->click();
    EXPECT_EQ(ended, 1);
}

} // namespace
