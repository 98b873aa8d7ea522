#pragma once

#include "SourceHL/Editors/HLEditWrite.h"
#include "SourceHL/Model/Package/HLProjectContents.h"

#include <QString>

#include <functional>

class QWidget;

// What the main window gives every editor once, when it installs it.
struct HLEditorContext
{
    // Runs a write of the model through the window's edit gate.
    HLEditWrite write;
    // The open project (another one after new or open).
    std::function<HLProjectContents()> contents;
    // The preview area, where an editor may show its own display while it edits.
    QWidget *previewHost = nullptr;
    // The Done command: the window ends the editing of the whole edit area.
    std::function<void()> end;
};

// An item editor shown in the main window's right-hand area instead of the browsing pane.
// The main window opens it on the chosen item of its kind and closes it when editing ends
// or the choice moves on.
class HLEditorPane
{
public:
    // The kinds, in the order the main window opens and closes them.
    enum Kind { Slideshow, Transition, Image, Text, Audio, KindCount };

    virtual ~HLEditorPane() = default;

    virtual QWidget *view() = 0;
    virtual bool isNowEditing() const = 0;
    // The identifier of the item being edited; empty when none.
    virtual QString editingID() const = 0;
    // Opens the pane on the item with this identifier of its kind.
    virtual void startEditing(const QString &identifier) = 0;
    // Drops the item and resets the pane; nothing when it holds none.
    virtual void stopEditing() = 0;

    void setUp(HLEditorContext context) { m_context = std::move(context); }
    const HLEditorContext &context() const { return m_context; }

protected:
    HLEditorContext m_context;
};
