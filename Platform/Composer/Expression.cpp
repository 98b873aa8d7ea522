#include "Platform/Composer/Expression.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

enum class Op {
    Const, Slot, Neg, Not, Add, Sub, Mul, Div, Mod, Lt, Le, Gt, Ge, Eq, Ne, And, Or, Cond, Call, Phase
};

enum class Fn {
    Min, Max, Clamp, Mix, Step, Smoothstep, Ramp, Abs, Floor, Ceil, Fract, Modf, Sqrt, Pow, Sin,
    Cos, Sign, EaseIn, EaseOut, EaseInOut, EaseInCubic, EaseOutCubic, EaseInOutCubic, EaseOutBack,
    EaseOutBounce, EaseOutElastic, Pulse
};

struct FnInfo
{
    Fn fn;
    int arity;
};

const QHash<QString, FnInfo> &functions()
{
    static const QHash<QString, FnInfo> table = {
        {"min", {Fn::Min, 2}}, {"max", {Fn::Max, 2}}, {"clamp", {Fn::Clamp, 3}},
        {"mix", {Fn::Mix, 3}}, {"step", {Fn::Step, 2}}, {"smoothstep", {Fn::Smoothstep, 3}},
        {"ramp", {Fn::Ramp, 3}}, {"abs", {Fn::Abs, 1}}, {"floor", {Fn::Floor, 1}},
        {"ceil", {Fn::Ceil, 1}}, {"fract", {Fn::Fract, 1}}, {"mod", {Fn::Modf, 2}},
        {"sqrt", {Fn::Sqrt, 1}}, {"pow", {Fn::Pow, 2}}, {"sin", {Fn::Sin, 1}},
        {"cos", {Fn::Cos, 1}}, {"sign", {Fn::Sign, 1}}, {"easeIn", {Fn::EaseIn, 1}},
        {"easeOut", {Fn::EaseOut, 1}}, {"easeInOut", {Fn::EaseInOut, 1}},
        {"easeInCubic", {Fn::EaseInCubic, 1}}, {"easeOutCubic", {Fn::EaseOutCubic, 1}},
        {"easeInOutCubic", {Fn::EaseInOutCubic, 1}}, {"easeOutBack", {Fn::EaseOutBack, 1}},
        {"easeOutBounce", {Fn::EaseOutBounce, 1}}, {"easeOutElastic", {Fn::EaseOutElastic, 1}},
        {"pulse", {Fn::Pulse, 3}},
    };
    return table;
}

const QHash<QString, int> &phaseFunctions()
{
    static const QHash<QString, int> table = {
        {"entryOf", 0}, {"holdOf", 1}, {"exitOf", 2}, {"endOf", 3}};
    return table;
}

double unit(double t) { return std::clamp(std::isnan(t) ? 0.0 : t, 0.0, 1.0); }

double bounceOut(double t)
{
    const double n = 7.5625, d = 2.75;
    if (t < 1 / d)
        return n * t * t;
    if (t < 2 / d) {
        t -= 1.5 / d;
        return n * t * t + 0.75;
    }
    if (t < 2.5 / d) {
        t -= 2.25 / d;
        return n * t * t + 0.9375;
    }
    t -= 2.625 / d;
    return n * t * t + 0.984375;
}

double call(Fn fn, const double *a)
{
    switch (fn) {
    case Fn::Min: return std::min(a[0], a[1]);
    case Fn::Max: return std::max(a[0], a[1]);
    case Fn::Clamp: return std::clamp(a[0], std::min(a[1], a[2]), std::max(a[1], a[2]));
    case Fn::Mix: return a[0] + (a[1] - a[0]) * a[2];
    case Fn::Step: return a[1] >= a[0] ? 1.0 : 0.0;
    case Fn::Smoothstep: {
        const double t = a[1] == a[0] ? (a[2] > a[1] ? 1.0 : 0.0) : unit((a[2] - a[0]) / (a[1] - a[0]));
        return t * t * (3 - 2 * t);
    }
    case Fn::Ramp: // ramp(x, a, b): 0 up to a, 1 from b on, straight between
        // an empty span switches just after its time: the boundary belongs to what came before
        return a[2] == a[1] ? (a[0] > a[2] ? 1.0 : 0.0) : unit((a[0] - a[1]) / (a[2] - a[1]));
    case Fn::Abs: return std::fabs(a[0]);
    case Fn::Floor: return std::floor(a[0]);
    case Fn::Ceil: return std::ceil(a[0]);
    case Fn::Fract: return a[0] - std::floor(a[0]);
    case Fn::Modf: return a[1] == 0 ? 0.0 : a[0] - std::floor(a[0] / a[1]) * a[1];
    case Fn::Sqrt: return a[0] <= 0 ? 0.0 : std::sqrt(a[0]);
    case Fn::Pow: return std::pow(a[0], a[1]);
    case Fn::Sin: return std::sin(a[0]);
    case Fn::Cos: return std::cos(a[0]);
    case Fn::Sign: return a[0] > 0 ? 1.0 : a[0] < 0 ? -1.0 : 0.0;
    case Fn::EaseIn: { const double t = unit(a[0]); return t * t; }
    case Fn::EaseOut: { const double t = unit(a[0]); return t * (2 - t); }
    case Fn::EaseInOut: {
        const double t = unit(a[0]);
        return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
    }
    case Fn::EaseInCubic: { const double t = unit(a[0]); return t * t * t; }
    case Fn::EaseOutCubic: { const double t = 1 - unit(a[0]); return 1 - t * t * t; }
    case Fn::EaseInOutCubic: {
        const double t = unit(a[0]);
        return t < 0.5 ? 4 * t * t * t : 1 - 4 * (1 - t) * (1 - t) * (1 - t);
    }
    case Fn::EaseOutBack: {
        const double c = 1.70158, t = unit(a[0]) - 1;
        return 1 + (c + 1) * t * t * t + c * t * t;
    }
    case Fn::EaseOutBounce: return bounceOut(unit(a[0]));
    case Fn::EaseOutElastic: {
        const double t = unit(a[0]);
        if (t == 0 || t == 1)
            return t;
        return std::pow(2, -10 * t) * std::sin((t * 10 - 0.75) * (2 * std::numbers::pi / 3)) + 1;
    }
    case Fn::Pulse: // pulse(x, a, b): 1 inside [a, b], else 0
        return a[0] >= a[1] && a[0] <= a[2] ? 1.0 : 0.0;
    }
    return 0;
}

} // namespace

struct Expression::Node
{
    Op op = Op::Const;
    double value = 0;  // Const
    int slot = 0;      // Slot; Phase: which
    Fn fn = Fn::Min;   // Call
    std::vector<std::shared_ptr<const Node>> args;

    double eval(const Env &env) const
    {
        switch (op) {
        case Op::Const: return value;
        case Op::Slot: return env.values[slot];
        case Op::Neg: return -args[0]->eval(env);
        case Op::Not: return args[0]->eval(env) == 0 ? 1.0 : 0.0;
        case Op::Add: return args[0]->eval(env) + args[1]->eval(env);
        case Op::Sub: return args[0]->eval(env) - args[1]->eval(env);
        case Op::Mul: return args[0]->eval(env) * args[1]->eval(env);
        case Op::Div: {
            const double d = args[1]->eval(env);
            return d == 0 ? 0.0 : args[0]->eval(env) / d; // a zero length must not poison a frame
        }
        case Op::Mod: return call(Fn::Modf, std::array{args[0]->eval(env), args[1]->eval(env)}.data());
        case Op::Lt: return args[0]->eval(env) < args[1]->eval(env);
        case Op::Le: return args[0]->eval(env) <= args[1]->eval(env);
        case Op::Gt: return args[0]->eval(env) > args[1]->eval(env);
        case Op::Ge: return args[0]->eval(env) >= args[1]->eval(env);
        case Op::Eq: return args[0]->eval(env) == args[1]->eval(env);
        case Op::Ne: return args[0]->eval(env) != args[1]->eval(env);
        case Op::And: return args[0]->eval(env) != 0 && args[1]->eval(env) != 0;
        case Op::Or: return args[0]->eval(env) != 0 || args[1]->eval(env) != 0;
        case Op::Cond: return args[0]->eval(env) != 0 ? args[1]->eval(env) : args[2]->eval(env);
        case Op::Call: {
            double a[3] = {0, 0, 0};
            for (size_t i = 0; i < args.size(); ++i)
                a[i] = args[i]->eval(env);
            return call(fn, a);
        }
        case Op::Phase: {
            const double k = args[0]->eval(env);
            return env.phaseOf ? env.phaseOf(slot, int(std::floor(k))) : 0.0;
        }
        }
        return 0;
    }
};

namespace {

using NodePtr = std::shared_ptr<const Expression::Node>;

class Parser
{
public:
    Parser(const QString &text, const Expression::Binder &binder) : m_text(text), m_binder(binder) {}

    NodePtr parse()
    {
        NodePtr n = conditional();
        skip();
        if (m_error.isEmpty() && m_pos < m_text.size())
            fail(QStringLiteral("unexpected '%1'").arg(m_text.mid(m_pos, 8)));
        return m_error.isEmpty() ? n : nullptr;
    }
    QString error() const { return m_error; }

private:
    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 at %2 in \"%3\"").arg(why).arg(m_pos).arg(m_text);
    }
    void skip()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    bool eat(QStringView token)
    {
        skip();
        if (m_text.mid(m_pos, token.size()) == token) {
            // "<" must not take the first half of "<=", "!" of "!=", "=" alone is no operator
            if (token.size() == 1 && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'='
                && (token == u"<" || token == u">" || token == u"!"))
                return false;
            m_pos += token.size();
            return true;
        }
        return false;
    }

    static NodePtr make(Op op, std::vector<NodePtr> args)
    {
        auto n = std::make_shared<Expression::Node>();
        n->op = op;
        n->args = std::move(args);
        return fold(n);
    }
    static NodePtr fold(const std::shared_ptr<Expression::Node> &n)
    {
        if (n->op == Op::Phase || n->op == Op::Slot || n->op == Op::Const)
            return n;
        for (const auto &a : n->args)
            if (a->op != Op::Const)
                return n;
        auto c = std::make_shared<Expression::Node>();
        c->value = n->eval(Expression::Env{});
        return c;
    }

    NodePtr conditional()
    {
        NodePtr c = logicalOr();
        if (!c)
            return nullptr;
        if (eat(u"?")) {
            NodePtr a = conditional();
            if (!a)
                return nullptr;
            if (!eat(u":")) {
                fail(QStringLiteral("expected ':'"));
                return nullptr;
            }
            NodePtr b = conditional();
            if (!b)
                return nullptr;
            return make(Op::Cond, {c, a, b});
        }
        return c;
    }
    template <typename Next>
    NodePtr binary(Next next, std::initializer_list<std::pair<QStringView, Op>> ops)
    {
        NodePtr left = (this->*next)();
        while (left) {
            bool matched = false;
            for (const auto &[token, op] : ops) {
                if (eat(token)) {
                    NodePtr right = (this->*next)();
                    if (!right)
                        return nullptr;
                    left = make(op, {left, right});
                    matched = true;
                    break;
                }
            }
            if (!matched)
                break;
        }
        return left;
    }
    NodePtr logicalOr() { return binary(&Parser::logicalAnd, {{u"||", Op::Or}}); }
    NodePtr logicalAnd() { return binary(&Parser::equality, {{u"&&", Op::And}}); }
    NodePtr equality() { return binary(&Parser::relation, {{u"==", Op::Eq}, {u"!=", Op::Ne}}); }
    NodePtr relation()
    {
        return binary(&Parser::additive,
                      {{u"<=", Op::Le}, {u">=", Op::Ge}, {u"<", Op::Lt}, {u">", Op::Gt}});
    }
    NodePtr additive() { return binary(&Parser::term, {{u"+", Op::Add}, {u"-", Op::Sub}}); }
    NodePtr term()
    {
        return binary(&Parser::unary, {{u"*", Op::Mul}, {u"/", Op::Div}, {u"%", Op::Mod}});
    }
    NodePtr unary()
    {
        if (eat(u"-")) {
            NodePtr a = unary();
            return a ? make(Op::Neg, {a}) : nullptr;
        }
        if (eat(u"!")) {
            NodePtr a = unary();
            return a ? make(Op::Not, {a}) : nullptr;
        }
        if (eat(u"+"))
            return unary();
        return primary();
    }
    NodePtr primary()
    {
        skip();
        if (m_pos >= m_text.size()) {
            fail(QStringLiteral("unexpected end"));
            return nullptr;
        }
        const QChar c = m_text[m_pos];
        if (c == u'(') {
            ++m_pos;
            NodePtr n = conditional();
            if (n && !eat(u")")) {
                fail(QStringLiteral("expected ')'"));
                return nullptr;
            }
            return n;
        }
        if (c.isDigit() || c == u'.') {
            const int start = m_pos;
            while (m_pos < m_text.size() && (m_text[m_pos].isDigit() || m_text[m_pos] == u'.'))
                ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == u'e' || m_text[m_pos] == u'E')) {
                int p = m_pos + 1;
                if (p < m_text.size() && (m_text[p] == u'-' || m_text[p] == u'+'))
                    ++p;
                if (p < m_text.size() && m_text[p].isDigit()) {
                    m_pos = p;
                    while (m_pos < m_text.size() && m_text[m_pos].isDigit())
                        ++m_pos;
                }
            }
            bool ok = false;
            const double v = m_text.mid(start, m_pos - start).toDouble(&ok);
            if (!ok) {
                fail(QStringLiteral("bad number"));
                return nullptr;
            }
            auto n = std::make_shared<Expression::Node>();
            n->value = v;
            return n;
        }
        if (c.isLetter() || c == u'_') {
            const int start = m_pos;
            while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_'))
                ++m_pos;
            const QString name = m_text.mid(start, m_pos - start);
            if (eat(u"("))
                return callOf(name);
            if (name == u"pi") {
                auto n = std::make_shared<Expression::Node>();
                n->value = std::numbers::pi;
                return n;
            }
            if (name == u"true" || name == u"false") {
                auto n = std::make_shared<Expression::Node>();
                n->value = name == u"true" ? 1 : 0;
                return n;
            }
            const int slot = m_binder ? m_binder(name) : -1;
            if (slot < 0) {
                fail(QStringLiteral("unknown name '%1'").arg(name));
                return nullptr;
            }
            auto n = std::make_shared<Expression::Node>();
            n->op = Op::Slot;
            n->slot = slot;
            return n;
        }
        fail(QStringLiteral("unexpected '%1'").arg(c));
        return nullptr;
    }
    NodePtr callOf(const QString &name)
    {
        std::vector<NodePtr> args;
        if (!eat(u")")) {
            do {
                NodePtr a = conditional();
                if (!a)
                    return nullptr;
                args.push_back(a);
            } while (eat(u","));
            if (!eat(u")")) {
                fail(QStringLiteral("expected ')'"));
                return nullptr;
            }
        }
        const auto phase = phaseFunctions().constFind(name);
        if (phase != phaseFunctions().constEnd()) {
            if (args.size() != 1) {
                fail(QStringLiteral("%1 takes 1 argument").arg(name));
                return nullptr;
            }
            auto n = std::make_shared<Expression::Node>();
            n->op = Op::Phase;
            n->slot = *phase;
            n->args = std::move(args);
            return n;
        }
        const auto f = functions().constFind(name);
        if (f == functions().constEnd()) {
            fail(QStringLiteral("unknown function '%1'").arg(name));
            return nullptr;
        }
        if (int(args.size()) != f->arity) {
            fail(QStringLiteral("%1 takes %2 arguments").arg(name).arg(f->arity));
            return nullptr;
        }
        auto n = std::make_shared<Expression::Node>();
        n->op = Op::Call;
        n->fn = f->fn;
        n->args = std::move(args);
        return fold(n);
    }

    QString m_text;
    Expression::Binder m_binder;
    int m_pos = 0;
    QString m_error;
};

} // namespace

Expression Expression::constant(double value)
{
    Expression e;
    auto n = std::make_shared<Node>();
    n->value = value;
    e.m_root = n;
    return e;
}

Expression Expression::compile(const QString &text, const Binder &binder)
{
    Parser parser(text, binder);
    Expression e;
    e.m_root = parser.parse();
    e.m_error = parser.error();
    if (!e.m_root && e.m_error.isEmpty())
        e.m_error = QStringLiteral("empty expression");
    if (!e.m_error.isEmpty())
        e.m_root.reset();
    return e;
}

bool Expression::isConstant() const { return !m_root || m_root->op == Op::Const; }

double Expression::evaluate(const Env &env) const
{
    if (!m_root)
        return 0;
    const double v = m_root->eval(env);
    return std::isfinite(v) ? v : 0.0;
}
