#include "SourceHL/Windows/HLSettingWndCtrl.h"
#include "SourceHL/Windows/HLSizeWndCtrl.h"
#include "SourceHL/Windows/TipWndCtr.h"
#include "tests/support/AlertAnswers.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Setting
{
    quint64 mode;
    qint64 type;
    bool operator==(const Setting &) const = default;
};

class HLSettingWndCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.setup([this](quint64 mode, qint64 type) { reported = Setting{mode, type}; });
    }
    HLSettingWndCtrl dialog;
    std::optional<Setting> reported;
};

TEST_F(HLSettingWndCtrlTest, ShowsTheValuesAndReportsTheChoiceOnApply)
{
    struct Case
    {
        quint64 mode;
        qint64 type;
        QString shownMode;
        QString shownType;
        QString chosenMode; // empty: as shown
        Setting expected;
    };
    const Case cases[] = {
        {0, 0, "No Limit", "Loop Play All Audios", "", {0, 0}},
        {200, 1, "200", "Custom Play Duration", "15", {15, 1}},
        {10, 7, "10", "Custom Play Duration", "", {10, 1}},
        // Off the list: shown as itself, and Apply keeps it.
        {7, 0, "7", "Loop Play All Audios", "", {7, 0}},
    };
    for (const Case &c : cases) {
        reported.reset();
        dialog.open(c.mode, c.type);
        EXPECT_EQ(dialog.ppBtnMode()->currentText(), c.shownMode) << c.mode;
        EXPECT_EQ(dialog.ppBtnType()->currentText(), c.shownType) << c.type;
        if (!c.chosenMode.isEmpty())
            dialog.ppBtnMode()->setCurrentText(c.chosenMode);
        dialog.btnApply()->click();
        EXPECT_FALSE(dialog.window()->isVisible());
        EXPECT_EQ(reported, c.expected) << c.mode;
    }
}

TEST_F(HLSettingWndCtrlTest, ClosingOrCancelReportsNothing)
{
    dialog.open(5, 0);
    dialog.ppBtnMode()->setCurrentText(QStringLiteral("50"));
    dialog.window()->close();
    dialog.open(5, 0);
    dialog.cancel();
    EXPECT_FALSE(reported);
}

class HLSizeWndCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.setup([this](QSizeF size) { reported = size; });
    }

    // Types text into the field as a user would and ends its editing with Return.
    void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    HLSizeWndCtrl dialog;
    std::optional<QSizeF> reported;
};

TEST_F(HLSizeWndCtrlTest, OpensOnThePresetOrTheCustomEntry)
{
    dialog.open(QSizeF(1280, 720));
    EXPECT_EQ(dialog.ppBtnSize()->currentIndex(), 6);
    EXPECT_EQ(dialog.edtWidth()->text(), "1280");
    EXPECT_EQ(dialog.edtHeight()->text(), "720");
    dialog.open(QSizeF(720.6, 480));
    EXPECT_EQ(dialog.edtWidth()->text(), "720");
    EXPECT_EQ(dialog.ppBtnSize()->currentIndex(), dialog.customIndex());
    dialog.size(3);
    EXPECT_EQ(dialog.edtWidth()->text(), "800");
    EXPECT_EQ(dialog.edtHeight()->text(), "450");
    dialog.size(dialog.customIndex());
    EXPECT_EQ(dialog.edtWidth()->text(), "800");
}

TEST_F(HLSizeWndCtrlTest, TypedSidesAreCheckedWhenTheirEditingEnds)
{
    struct Case
    {
        QString typed;
        QString after;
        QString alert; // empty: none
    };
    const Case cases[] = {
        {"29", "640", "The value is too small."},
        {"4001", "640", "The value is too large."},
        {"12a", "640", "The value is invalid, please provide a valid value."},
        {"1.2.3", "640", "The value is invalid, please provide a valid value."},
        {"", "640", "The value is too small."},
        {"0640", "640", ""},
        {"640.9", "640", ""},
        {"30", "30", ""},
    };
    for (const Case &c : cases) {
        dialog.open(QSizeF(640, 480));
        dialog.window()->activateWindow();
        AlertAnswers answers(c.alert.isEmpty() ? QStringList() : QStringList{QStringLiteral("OK")});
        type(dialog.edtWidth(), c.typed);
        EXPECT_EQ(dialog.edtWidth()->text(), c.after) << c.typed.toStdString();
        ASSERT_EQ(answers.seen().size(), c.alert.isEmpty() ? 0 : 1) << c.typed.toStdString();
        if (!c.alert.isEmpty()) {
            EXPECT_EQ(answers.seen().first().text, "Oops!");
            EXPECT_EQ(answers.seen().first().informativeText, c.alert);
        }
        // After any edit the pop-up shows the custom entry, a preset's size too.
        EXPECT_EQ(dialog.ppBtnSize()->currentIndex(), dialog.customIndex()) << c.typed.toStdString();
        dialog.cancel();
    }
}

TEST_F(HLSizeWndCtrlTest, ApplyRefusesAnUncheckedSideAndStaysOpen)
{
    for (const QString text : {QStringLiteral("5"), QStringLiteral("12a")}) {
        dialog.open(QSizeF(640, 480));
        dialog.edtHeight()->setFocus();
        QTest::keyClicks(dialog.edtHeight(), text); // no Return: still editing
        AlertAnswers answers({QStringLiteral("OK")});
        dialog.apply();
        EXPECT_EQ(answers.seen().size(), 1) << text.toStdString();
        EXPECT_TRUE(dialog.window()->isVisible());
        EXPECT_EQ(dialog.edtHeight()->text(), "480");
        EXPECT_FALSE(reported);
    }
    dialog.edtWidth()->setFocus();
    dialog.edtWidth()->selectAll();
    QTest::keyClicks(dialog.edtWidth(), QStringLiteral("800"));
    dialog.apply();
    EXPECT_FALSE(dialog.window()->isVisible());
    EXPECT_EQ(reported, QSizeF(800, 480));
}

TEST(TipWndCtrTest, StoredValuesAndTheSilentEntry)
{
    TestFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QCoreApplication::setOrganizationName(QStringLiteral("test-tip"));
    EXPECT_EQ(TipWndCtr::usedCount(), 0);
    EXPECT_EQ(TipWndCtr::nonotShowRate(), 0);
    TipWndCtr tip;
    tip.window();
    tip.chkDonotShow()->setChecked(true);
    EXPECT_EQ(QSettings().value(TipWndCtr::kDonotShowKey).toInt(), 1);
    tip.chkDonotShow()->setChecked(false);
    EXPECT_EQ(QSettings().value(TipWndCtr::kDonotShowKey).toInt(), 0);
    TipWndCtr::setUsedCount(4);
    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    TipWndCtr::showRateApplicationWindow();
    EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
    EXPECT_EQ(TipWndCtr::usedCount(), 4);
    EXPECT_EQ(TipWndCtr::nonotShowRate(), 0);
}

} // namespace
