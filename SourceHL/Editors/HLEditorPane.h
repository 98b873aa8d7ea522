#pragma once

#include <QString>

class QWidget;

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
};
