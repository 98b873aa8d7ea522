#include "SourceHL/Common/HLColorHelper.h"
#include "SourceHL/Common/HLEventHelper.h"
#include "SourceHL/Common/HLStringHelper.h"
#include "SourceHL/Common/HLTextFieldHelper.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>

TEST(HLTextFieldHelper, FormatsWithDecimals)
{
    EXPECT_EQ(hlStringOf(2.5f, 2), "2.50");
    EXPECT_EQ(hlStringOf(2.5f, -1), "2");
    EXPECT_EQ(hlStringOf(3.5f, 0), "4");
    EXPECT_EQ(hlStringOf(0.125f, 2), "0.12");
    EXPECT_EQ(hlStringOf(50.0f, 1, QStringLiteral("%")), "50.0%");
    EXPECT_EQ(hlPercentageOf(0.25f, 0), "25%");
    EXPECT_FLOAT_EQ(hlPercentValueOf(QStringLiteral("25%")), 0.25f);
    EXPECT_FLOAT_EQ(hlPercentValueOf(QStringLiteral("40")), 0.4f);
}

TEST(HLTextFieldHelper, AcceptsOnlyPlainDecimalText)
{
    for (const char *text : {"12", "1.5", ".5", "5.", ""})
        EXPECT_TRUE(hlIsStringValid(QString::fromLatin1(text))) << text;
    for (const char *text : {"1.2.3", "-1", "1e3", "1,5", " 1", "٣"})
        EXPECT_FALSE(hlIsStringValid(QString::fromUtf8(text))) << text;

    EXPECT_TRUE(hlIsStringValid(QStringLiteral("50%"), QStringLiteral("%")));
    EXPECT_TRUE(hlIsStringValid(QStringLiteral("%"), QStringLiteral("%")));
    EXPECT_FALSE(hlIsStringValid(QStringLiteral("50"), QStringLiteral("%")));
    EXPECT_FALSE(hlIsStringValid(QStringLiteral("5%0%"), QStringLiteral("%")));
    EXPECT_TRUE(hlIsItPercentage(QStringLiteral("50%"), true));
    EXPECT_FALSE(hlIsItPercentage(QStringLiteral("50%"), false));
    EXPECT_EQ(hlString(QStringLiteral("50%"), QStringLiteral("%")), "50");
    EXPECT_EQ(hlString(QStringLiteral("50"), QStringLiteral("%")), "50");
    EXPECT_FLOAT_EQ(hlTextFieldValueOf(QStringLiteral("12.5 s"), QStringLiteral(" s")), 12.5f);
}

TEST(HLTextFieldHelper, EndOfEditing)
{
    struct Case
    {
        const char *text;
        int decimals;
        TextFieldValueRange range;
        const char *suffix; // nullptr: the form without a unit
        const char *shown;
    };
    const TextFieldValueRange clamp{true, 0.5f, 10.0f};
    const TextFieldValueRange free{false, 0.5f, 10.0f};
    const Case cases[] = {
        {"", 2, clamp, nullptr, "0.50"},
        {"3.14159", 2, clamp, nullptr, "3.14"},
        {"25", 1, clamp, nullptr, "10.0"},
        {"25", 1, free, nullptr, "25.0"},
        {"abc", 2, clamp, nullptr, "fallback"},
        {"7", 0, {true, 5.0f, 2.0f}, nullptr, "2"}, // minimum above maximum: the maximum
        {"50", 1, {true, 0.0f, 100.0f}, "%", "50.0%"},
        {"50%", 1, {true, 0.0f, 100.0f}, "%", "50.0%"},
        {"fifty", 1, {true, 0.0f, 100.0f}, "%", "fallback"},
        {"150%", 0, {true, 0.0f, 100.0f}, "%", "100%"},
        {"%", 0, {true, 1.0f, 100.0f}, "%", "1%"},
    };
    const QString fallback = QStringLiteral("fallback");
    for (const auto &c : cases) {
        const QString text = QString::fromLatin1(c.text);
        const QString shown = c.suffix
            ? hlEndEditing(text, c.decimals, c.range, fallback, QString::fromLatin1(c.suffix))
            : hlEndEditing(text, c.decimals, c.range, fallback);
        EXPECT_EQ(shown, QString::fromLatin1(c.shown)) << c.text;
    }
}

TEST(HLStringHelper, ContainsAndNumbers)
{
    EXPECT_TRUE(hlContainsString(QStringLiteral("TI1700000000"), QStringLiteral("1700")));
    EXPECT_FALSE(hlContainsString(QStringLiteral("Slideshow"), QStringLiteral("SLIDE")));
    EXPECT_FLOAT_EQ(hlFloatValue(QStringLiteral("  +2.5abc")), 2.5f);
    EXPECT_FLOAT_EQ(hlFloatValue(QStringLiteral("-.5")), -0.5f);
    EXPECT_FLOAT_EQ(hlFloatValue(QStringLiteral("x1")), 0.0f);
}

TEST(HLColorHelper, EqualWithinATolerance)
{
    const QColor base = QColor::fromRgbF(0.5f, 0.25f, 0.75f, 1.0f);
    EXPECT_TRUE(hlIsEqual(base, base));
    EXPECT_TRUE(hlIsEqual(base, QColor::fromRgbF(0.505f, 0.25f, 0.75f, 1.0f)));
    EXPECT_FALSE(hlIsEqual(base, QColor::fromRgbF(0.52f, 0.25f, 0.75f, 1.0f)));
    EXPECT_FALSE(hlIsEqual(base, QColor::fromRgbF(0.5f, 0.25f, 0.75f, 0.98f)));
    // Other colour models compare by their RGB values.
    EXPECT_TRUE(hlIsEqual(QColor(Qt::red).toHsv(), QColor(Qt::red)));
    EXPECT_FALSE(hlIsEqual(QColor(), base));
    EXPECT_TRUE(hlIsEqual(QColor(), QColor()));

    const QColor seeThrough = hlAlphaColor(base.toHsv(), 0.3);
    EXPECT_TRUE(hlIsEqual(seeThrough, QColor::fromRgbF(0.5f, 0.25f, 0.75f, 0.3f)));
    EXPECT_FLOAT_EQ(hlAlphaColor(base, 2.0).alphaF(), 1.0f);
}

TEST(HLEventHelper, KeysModifiersAndClicks)
{
    const QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::ShiftModifier);
    const QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_TRUE(hlIsKeyDelete(backspace));
    EXPECT_TRUE(hlIsMaskShift(backspace));
    EXPECT_FALSE(hlIsMaskCommand(backspace));
    EXPECT_TRUE(hlIsKeyLeft(left));
    EXPECT_TRUE(hlIsMaskCommand(left));
    EXPECT_FALSE(hlIsKeyRight(left) || hlIsKeyUp(left) || hlIsKeyDown(left) || hlIsKeyDelete(left));
    EXPECT_FALSE(hlIsKeyDelete(QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier)));

    const QPointF at(3, 4);
    const QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    const QMouseEvent twice(QEvent::MouseButtonDblClick, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(hlIsClickSingle(press));
    EXPECT_FALSE(hlIsClickDouble(press));
    EXPECT_TRUE(hlIsClickDouble(twice));
    EXPECT_FALSE(hlIsClickSingle(twice));
}
