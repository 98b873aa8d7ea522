// The pane kit: typed numbers, the scroll layout, the key chain and the pane backgrounds.
#include "SourceHL/Editors/HLEditPaneLayout.h"
#include "SourceHL/Editors/HLResponderChain.h"
#include "SourceHL/Editors/HLTypedNumberField.h"
#include "SourceHL/Editors/HLUIEditBackView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct TypedCase
{
    const char *typed;
    const char *shown;
    bool reported;
    float value;
};

// Begins an editing on "2.50", types, ends; what the field shows and reports.
void expectTyped(const QString &suffix, const QString &start, const std::vector<TypedCase> &cases)
{
    for (const TypedCase &c : cases) {
        QLineEdit field;
        HLTypedNumberField number(&field, 2, {true, 0.5f, 10.0f}, suffix);
        QList<float> reports;
        number.setupValue([&](float value) { reports.append(value); });
        field.setText(start);
        number.controlTextDidBeginEditing();
        field.setText(QString::fromUtf8(c.typed));
        number.controlTextDidEndEditing();
        EXPECT_EQ(field.text(), QString::fromUtf8(c.shown)) << c.typed;
        EXPECT_EQ(reports.size(), c.reported ? 1 : 0) << c.typed;
        if (c.reported && !reports.isEmpty()) {
            EXPECT_FLOAT_EQ(reports.front(), c.value) << c.typed;
        }
        EXPECT_TRUE(number.strTempStringValue().isEmpty());
    }
}

TEST(HLTypedNumberFieldTest, TakesNumbersClampedWithFixedDecimalsAndRestoresOthers)
{
    expectTyped({}, QStringLiteral("2.50"),
                {{"3", "3.00", true, 3},
                 {"3.456", "3.46", true, 3.46f},
                 {"25", "10.00", true, 10},   // clamped
                 {"0.1", "0.50", true, 0.5f}, // clamped
                 {"1.2.3", "2.50", false, 0}, // no number: the kept text
                 {"-4", "2.50", false, 0},
                 {"abc", "2.50", false, 0},
                 {"2.50", "2.50", false, 0}, // unchanged: nothing happens
                 {"2.5", "2.50", false, 0}}); // the same value written back
}

TEST(HLTypedNumberFieldTest, AUnitSuffixIsOptionalWhenTypedAndAlwaysWrittenBack)
{
    expectTyped(QStringLiteral("%"), QStringLiteral("2.50%"),
                {{"4%", "4.00%", true, 4}, {"4", "4.00%", true, 4}, {"4x", "2.50%", false, 0}, {"50%", "10.00%", true, 10}});
}

TEST(HLTypedNumberFieldTest, EndingWithoutABeginningChangesNothing)
{
    QLineEdit field;
    HLTypedNumberField number(&field, 1, {true, 0, 5}, {});
    int reports = 0;
    number.setupValue([&](float) { ++reports; });
    field.setText(QStringLiteral("abc"));
    number.controlTextDidEndEditing();
    EXPECT_EQ(field.text(), "abc");
    EXPECT_EQ(reports, 0);
}

TEST(HLTypedNumberFieldTest, TheFieldsFocusAndReturnKeyDriveTheEditing)
{
    QWidget window;
    auto *field = new QLineEdit(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 40);
    HLTypedNumberField number(field, 1, {true, 0, 5}, {});
    number.setValue(1.25f);
    EXPECT_EQ(field->text(), "1.2");
    QList<float> reports;
    number.setupValue([&](float value) { reports.append(value); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, "7");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), "5.0");
    EXPECT_EQ(reports, QList<float>({5.0f}));
}

TEST(HLTypedNumberFieldTest, TypingIntoAFieldNeverFocusedKeepsTheTextShownBeforeTheFirstKey)
{
    // An unshown field gets keys without a focus event: the text kept is the one before them.
    QLineEdit field;
    HLTypedNumberField number(&field, 0, {true, 0, 1920}, {});
    number.setValue(639);
    QList<float> reports;
    number.setupValue([&](float value) { reports.append(value); });
    QTest::keyClick(&field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&field, "abc");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(field.text(), "639");
    EXPECT_TRUE(reports.isEmpty());
}

TEST(HLEditPaneLayoutTest, TheDocumentTakesThePanelsWidthAndTheTallerHeightWithThePanelOnTop)
{
    QWidget pane;
    HLEditPaneLayout layout(&pane);
    layout.sclEdit()->setGeometry(0, 0, 250, 400);
    layout.vBase()->resize(240, 300);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    EXPECT_EQ(layout.vBack()->size(), QSize(240, 400));
    EXPECT_EQ(layout.vBase()->pos(), QPoint(0, 0));
    layout.vBase()->resize(240, 700);
    EXPECT_EQ(layout.vBack()->size(), QSize(240, 700));
    layout.vBase()->resize(240, 100);
    layout.sclEdit()->resize(250, 500);
    EXPECT_EQ(layout.vBack()->size(), QSize(240, 500));
    EXPECT_EQ(layout.vBase()->pos(), QPoint(0, 0));
}

TEST(HLResponderChainTest, KeysTheControlsLeaveReachTheControllerOnce)
{
    QObject controller;
    QWidget view;
    auto *child = new QWidget(&view); // a control that takes no keys
    QList<int> keys;
    auto handler = [&](QKeyEvent *event) {
        keys.append(event->key());
        return true;
    };
    HLResponderChain *chain = HLResponderChain::hlAdjustResponderChain(&controller, &view, handler);
    EXPECT_EQ(HLResponderChain::hlAdjustResponderChain(&controller, &view, handler), chain);
    QTest::keyClick(child, Qt::Key_Left);
    EXPECT_EQ(keys, QList<int>({Qt::Key_Left}));
    // A control that takes the key keeps it.
    auto *field = new QLineEdit(&view);
    QTest::keyClick(field, Qt::Key_A);
    EXPECT_EQ(keys.size(), 1);
}

// The grey of pixel (x, y-down) as a level of 255.
int greyAt(const QImage &image, int x, int y)
{
    return qRed(image.pixel(x, y));
}

TEST(HLUIEditBackViewTest, TopLineSitsOnTheTopPixelRowWhateverTheFraction)
{
    EXPECT_EQ(hlEditTopLineY(30.7), 29.5);
    EXPECT_EQ(hlEditTopLineY(30), 29.5);
}

TEST(HLUIEditBackViewTest, BothBackgroundsDrawTheirFillAndTheThreeLines)
{
    HLUIEditBackView back;
    back.resize(40, 30);
    const QImage flat = back.grab().toImage();
    EXPECT_EQ(greyAt(flat, 20, 0), qRound(0.03 * 255));  // top line
    EXPECT_EQ(greyAt(flat, 0, 15), qRound(0.03 * 255));  // dark left line
    EXPECT_EQ(greyAt(flat, 1, 15), qRound(0.18 * 255));  // light left line
    EXPECT_EQ(greyAt(flat, 20, 15), qRound(0.16 * 255)); // fill
    HLUIEditBottomView bottom;
    bottom.resize(40, 30);
    const QImage bar = bottom.grab().toImage();
    EXPECT_EQ(greyAt(bar, 20, 0), qRound(0.03 * 255));
    EXPECT_EQ(greyAt(bar, 1, 15), qRound(0.18 * 255));
    EXPECT_LT(greyAt(bar, 20, 29), greyAt(bar, 20, 2)); // darker at the bottom
    EXPECT_NEAR(greyAt(bar, 20, 29), 0.14 * 255, 1.5);
}

} // namespace
