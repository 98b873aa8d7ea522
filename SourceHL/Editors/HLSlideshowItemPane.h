#pragma once

#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"

#include <functional>
#include <memory>

// What the slideshow item and transition editors share: each edits one slideshow item, found
// by its identifier through the owner's lookup.
class HLSlideshowItemPane : public HLEditorPane
{
public:
    using ItemOf = std::function<std::shared_ptr<HLSlideshowItem>(const QString &ssid)>;

    bool isNowEditing() const override { return bool(m_oItem); }
    QString editingID() const override { return m_oItem ? m_oItem->strSSID() : QString(); }
    void startEditing(const QString &identifier) override
    {
        if (m_itemOf)
            startEditing(m_itemOf(identifier));
    }
    void startEditing(const std::shared_ptr<HLSlideshowItem> &item)
    {
        if (!item || item == m_oItem)
            return;
        m_oItem = item;
        p_itemChanged(true);
    }
    void stopEditing() override
    {
        if (!m_oItem)
            return;
        m_oItem.reset();
        p_itemChanged(false);
    }
    const std::shared_ptr<HLSlideshowItem> &oItem() const { return m_oItem; }

protected:
    // The pane shows its new item, or none; opened when an item came.
    virtual void p_itemChanged(bool opened) = 0;

    std::shared_ptr<HLSlideshowItem> m_oItem;
    ItemOf m_itemOf;
};
