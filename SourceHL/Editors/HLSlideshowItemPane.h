#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Editors/HLEditorPane.h"
#include "SourceHL/Editors/HLTemplatePopUp.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

// What the slideshow item and transition editors share: each edits one slideshow item, found
// by its identifier through the owner's lookup, on a pane of its own with a template pop-up,
// and writes through the owner's edit hook.
class HLSlideshowItemPane : public HLEditorPane
{
public:
    using ItemOf = std::function<std::shared_ptr<HLSlideshowItem>(const QString &ssid)>;

    ~HLSlideshowItemPane() override { delete m_view.data(); }

    // The owner's hooks: writes go through write; identifiers are looked up with itemOf.
    void setUp(HLEditWrite write, ItemOf itemOf)
    {
        m_write = std::move(write);
        m_itemOf = std::move(itemOf);
    }
    // The template pop-up's sync with the owner's preview, and the Done command.
    void setUpSync(HLTemplatePopUp::SyncBlock sync, std::function<void()> end)
    {
        m_quartz->setupSync(std::move(sync));
        m_blkEnd = std::move(end);
        p_refreshTemplate();
    }

    QWidget *view() override { return m_view; }
    HLTemplatePopUp *quartz() const { return m_quartz; }

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
    // view: the pane's back, named for tests and pictures.
    explicit HLSlideshowItemPane(QWidget *view) : m_view(view) {}

    // The pane shows its new item, or none; opened when an item came.
    virtual void p_itemChanged(bool opened) = 0;
    virtual void p_refreshTemplate() = 0;

    std::shared_ptr<HLSlideshowItem> m_oItem;
    ItemOf m_itemOf;
    QPointer<QWidget> m_view; // the edit area owns it once installed
    HLEditWrite m_write;
    std::function<void()> m_blkEnd;
    HLTemplatePopUp *m_quartz = nullptr;
};
