#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// A numeric expression of a composition, compiled once and evaluated per frame against a table
// of values (Time, Count, the inputs, the per-picture phase values …). Names are bound to values
// when compiling, so evaluation does no look-ups.
//
// Grammar: numbers, names, ( ), unary - and !, * / %, + -, < <= > >=, == !=, &&, ||, c ? a : b,
// and calls of the built-in functions (see README.md). Booleans are 1 and 0.
class Expression
{
public:
    // Answers the slot of a name, or -1 when the name is unknown.
    using Binder = std::function<int(const QString &name)>;
    // Answers the value of a slot; index calls (entryOf(k) …) go through the indexed values.
    struct Env
    {
        const double *values = nullptr;
        // Phase values of picture k (0 entry, 1 hold, 2 exit, 3 end) for entryOf(k) and its kin.
        std::function<double(int which, int k)> phaseOf;
    };

    Expression() = default; // the constant 0
    static Expression constant(double value);
    // Compiles text; on a fault the expression is invalid and error() says why.
    static Expression compile(const QString &text, const Binder &binder);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    bool isConstant() const;
    double evaluate(const Env &env) const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root;
    QString m_error;
};
