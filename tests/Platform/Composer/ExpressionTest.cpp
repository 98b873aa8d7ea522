#include "Platform/Composer/Expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Case
{
    const char *text;
    double expected;
};

// t = slot 0, k = slot 1
double run(const QString &text, double t = 0.25, double k = 3, QString *error = nullptr)
{
    const Expression e = Expression::compile(text, [](const QString &name) {
        return name == u"t" ? 0 : name == u"k" ? 1 : -1;
    });
    if (error)
        *error = e.error();
    const double values[2] = {t, k};
    Expression::Env env;
    env.values = values;
    env.phaseOf = [](int which, int index) { return which * 100.0 + index; };
    return e.evaluate(env);
}

TEST(ExpressionTest, EvaluatesTheLanguage)
{
    const Case cases[] = {
        {"1 + 2 * 3", 7}, {"(1 + 2) * 3", 9}, {"-k + 1", -2}, {"10 % 4", 2}, {"-1 % 4", 3},
        {"7 / 0", 0}, {"k > 2 && t < 1", 1}, {"k >= 4 || !(t == 0.25)", 0}, {"k != 3 ? 5 : 6", 6},
        {"1 < 2 ? 3 < 4 ? 10 : 20 : 30", 10}, {"min(k, 2) + max(t, 1)", 3}, {"clamp(5, 0, 1)", 1},
        {"mix(10, 20, t)", 12.5}, {"ramp(0.5, 0, 2)", 0.25}, {"ramp(-1, 0, 2)", 0}, {"ramp(3, 0, 2)", 1},
        {"ramp(1, 1, 1)", 0}, {"ramp(1.01, 1, 1)", 1}, {"step(0.5, t)", 0}, {"smoothstep(0, 1, 0.5)", 0.5},
        {"pulse(t, 0, 0.5)", 1}, {"easeIn(0.5)", 0.25}, {"easeOut(0.5)", 0.75}, {"easeInOut(0.25)", 0.125},
        {"easeInOutCubic(1)", 1}, {"easeOutBack(0)", 0}, {"easeOutBack(1)", 1}, {"easeOutBounce(1)", 1},
        {"easeOutElastic(0)", 0}, {"easeIn(7)", 1}, {"sin(pi / 2)", 1}, {"cos(0)", 1}, {"floor(-0.5)", -1},
        {"fract(2.25)", 0.25}, {"sqrt(16)", 4}, {"pow(2, 10)", 1024}, {"abs(-3)", 3}, {"sign(-2)", -1},
        {"1e2 + .5", 100.5}, {"true + false", 1}, {"entryOf(k)", 3}, {"exitOf(1)", 201}, {"endOf(k - 1)", 302},
        {"1<=1", 1}, {"2>=3", 0}, {"!0", 1},
    };
    for (const Case &c : cases) {
        QString error;
        EXPECT_NEAR(run(c.text, 0.25, 3, &error), c.expected, 1e-9) << c.text;
        EXPECT_TRUE(error.isEmpty()) << c.text << ": " << qPrintable(error);
    }
}

TEST(ExpressionTest, RefusesFaultsWithAReason)
{
    const struct
    {
        const char *text;
        const char *reason;
    } cases[] = {
        {"tme + 1", "unknown name 'tme'"}, {"min(1)", "min takes 2 arguments"}, {"1 +", "unexpected end"},
        {"(1 + 2", "expected ')'"}, {"1 2", "unexpected"}, {"foo(1)", "unknown function 'foo'"},
        {"k ? 1", "expected ':'"}, {"entryOf(1, 2)", "entryOf takes 1 argument"}, {"", "unexpected end"},
        {"1 = 2", "unexpected"},
    };
    for (const auto &c : cases) {
        QString error;
        run(c.text, 0, 0, &error);
        EXPECT_TRUE(error.contains(c.reason)) << c.text << " gave: " << qPrintable(error);
    }
}

TEST(ExpressionTest, ConstantPartsFoldAndVariablesStayLive)
{
    auto binder = [](const QString &name) { return name == u"t" ? 0 : -1; };
    EXPECT_TRUE(Expression::compile("2 * (3 + 4) - max(1, 2)", binder).isConstant());
    const Expression e = Expression::compile("2 * t + mix(0, 10, 0.5)", binder);
    EXPECT_FALSE(e.isConstant());
    for (double t : {0.0, 1.0, 2.5}) {
        const double values[1] = {t};
        Expression::Env env;
        env.values = values;
        EXPECT_DOUBLE_EQ(e.evaluate(env), 2 * t + 5);
    }
}

} // namespace
