#pragma once

#include <QList>
#include <QString>

// An item view of the timeline views, matched to its model item by identifier when the
// lines are rebuilt.
class UIHashableProtocol
{
public:
    virtual ~UIHashableProtocol() = default;
    virtual QString UIHashID() const = 0;
};

// The first view of pool standing for identifier (any view with a UIHashID, the cells of the
// text and audio lines too), taken out of it; else what make makes.
template <class View, class Make>
View *hl_reuseView(QList<View *> &pool, const QString &identifier, Make make)
{
    for (qsizetype i = 0; i < pool.size(); ++i) {
        if (pool[i]->UIHashID() == identifier)
            return pool.takeAt(i);
    }
    return make();
}
