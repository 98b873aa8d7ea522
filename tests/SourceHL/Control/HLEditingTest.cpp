#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/View/HLDisplayVCtrl.h"
#include "SourceHL/View/HLDisplayView.h"

#include <QCoreApplication>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// An editor that writes down what the window asks of it. Installed in every test, so its view
// always ends up owned by a window.
class RecordingEditor : public HLEditorPane
{
public:
    QWidget *view() override { return m_view; }
    bool isNowEditing() const override { return !m_id.isEmpty(); }
    QString editingID() const override { return m_id; }
    void startEditing(const QString &identifier) override
    {
        m_id = identifier;
        log << QStringLiteral("start ") + identifier;
    }
    void stopEditing() override
    {
        if (!m_id.isEmpty())
            log << QStringLiteral("stop ") + m_id;
        m_id.clear();
    }

    QStringList log;

private:
    QWidget *m_view = new QWidget; // the window it is installed in takes it
    QString m_id;
};

HLContentChoice choiceOf(const QString &ssid, const QString &rdid, const QString &ttid = QString())
{
    HLContentChoice choice;
    choice.strSSSID = ssid;
    choice.strRDID = rdid;
    choice.strTTID = ttid;
    choice.bCanEdit = !ssid.isEmpty() || !rdid.isEmpty() || !ttid.isEmpty();
    return choice;
}

class HLEditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-control"));
        ctrl = std::make_unique<HLMainWndCtrl>();
        ctrl->installEditor(HLEditorPane::Slideshow, &slideshow);
        ctrl->installEditor(HLEditorPane::Transition, &transition);
        ctrl->installEditor(HLEditorPane::Image, &image);
        ctrl->showWindow();
    }
    void TearDown() override
    {
        ctrl->oLastOperateQueue()->wait();
        ctrl.reset();
    }

    QToolButton *editButton() const { return ctrl->window()->btnEdit; }

    RecordingEditor slideshow, transition, image;
    std::unique_ptr<HLMainWndCtrl> ctrl;
};

TEST_F(HLEditingTest, EditButtonOpensTheEditorsOfTheChoiceAndClosesThemAgain)
{
    EXPECT_FALSE(editButton()->isEnabled());
    ctrl->updateChoice(choiceOf(QStringLiteral("S1"), QStringLiteral("R1")));
    ASSERT_TRUE(editButton()->isEnabled());
    EXPECT_EQ(editButton()->text(), QStringLiteral("Edit Photo"));

    QTest::mouseClick(editButton(), Qt::LeftButton);
    EXPECT_TRUE(ctrl->bIsEditing());
    EXPECT_EQ(editButton()->text(), QStringLiteral("Stop Editing"));
    EXPECT_EQ(slideshow.log, QStringList({"start S1"}));
    EXPECT_EQ(image.log, QStringList({"start R1"}));
    EXPECT_TRUE(transition.log.isEmpty());
    EXPECT_TRUE(image.view()->isVisible());
    EXPECT_FALSE(transition.view()->isVisible());
    EXPECT_TRUE(ctrl->window()->vCtrlDisplay->vDisplayImage()->isHidden()); // a photo is edited over the preview
    EXPECT_TRUE(ctrl->window()->vDisplayProgressView->isHidden());
    EXPECT_FALSE(ctrl->window()->isWindowModified());

    QTest::mouseClick(editButton(), Qt::LeftButton);
    EXPECT_FALSE(ctrl->bIsEditing());
    EXPECT_EQ(slideshow.log.last(), QStringLiteral("stop S1"));
    EXPECT_EQ(image.log.last(), QStringLiteral("stop R1"));
    EXPECT_FALSE(image.view()->isVisible());
    EXPECT_FALSE(ctrl->window()->vDisplayProgressView->isHidden());
    // Nothing was changed while editing: nothing to save.
    EXPECT_FALSE(ctrl->window()->isWindowModified());
}

TEST_F(HLEditingTest, EditorsFollowTheChoiceWhileEditing)
{
    ctrl->updateChoice(choiceOf(QStringLiteral("S1"), QStringLiteral("R1")));
    ctrl->p_startEditing();
    image.log.clear();
    slideshow.log.clear();

    ctrl->updateChoice(choiceOf(QStringLiteral("S1"), QStringLiteral("R2")));
    EXPECT_EQ(image.log, QStringList({"stop R1", "start R2"}));
    EXPECT_TRUE(slideshow.log.isEmpty()); // the same slideshow item stays open

    ctrl->updateChoice(choiceOf(QStringLiteral("S1"), QStringLiteral("R2")));
    EXPECT_EQ(image.log, QStringList({"stop R1", "start R2"})); // the same choice changes nothing

    ctrl->updateChoice(choiceOf(QStringLiteral("S1"), QString()));
    EXPECT_EQ(image.log.last(), QStringLiteral("stop R2"));
    EXPECT_TRUE(ctrl->bIsEditing());

    ctrl->updateChoice(HLContentChoice()); // nothing editable: editing ends
    EXPECT_FALSE(ctrl->bIsEditing());
    EXPECT_EQ(slideshow.log.last(), QStringLiteral("stop S1"));
}

TEST_F(HLEditingTest, AChoiceWithoutItsEditorHasNoEditCommand)
{
    // Without a text editor a chosen title shows no Edit command, and asking to edit it (a
    // double click) neither blanks the preview nor marks the project.
    ctrl->installEditor(HLEditorPane::Text, nullptr);
    ctrl->updateChoice(choiceOf(QString(), QString(), QStringLiteral("T1")));
    EXPECT_FALSE(editButton()->isVisible());
    ctrl->p_startEditing();
    EXPECT_FALSE(ctrl->bIsEditing());
    EXPECT_FALSE(ctrl->window()->vCtrlDisplay->vDisplayText()->isHidden());
    EXPECT_FALSE(ctrl->window()->vCtrlDisplay->vDisplayImage()->isHidden());
    EXPECT_TRUE(slideshow.log.isEmpty() && image.log.isEmpty() && transition.log.isEmpty());
    EXPECT_FALSE(ctrl->window()->isWindowModified());
    // A choice whose kind has an editor brings the command back.
    ctrl->updateChoice(choiceOf(QStringLiteral("S1"), QString()));
    EXPECT_TRUE(editButton()->isVisible());
    EXPECT_TRUE(editButton()->isEnabled());
}

} // namespace
