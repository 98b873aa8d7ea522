#pragma once

#include <QString>

// An item view of the timeline views, matched to its model item by identifier when the
// lines are rebuilt.
class UIHashableProtocol
{
public:
    virtual ~UIHashableProtocol() = default;
    virtual QString UIHashID() const = 0;
};
