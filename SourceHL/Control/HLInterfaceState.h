#pragma once

#include <string>

// What the main window's buttons, labels and panes show, derived from its flags and the
// content line's choice alone, so the whole table can be checked without a window.
struct HLInterfaceInputs
{
    bool hasItems = false; // the timeline holds slideshow items
    bool isOnMedia = false;
    bool isEditing = false;
    bool isPlaying = false;
    bool canEdit = false;
    // The content line's choice: which identifiers are set.
    bool slideshow = false;
    bool transition = false;
    bool render = false;
    bool renderIsVideo = false; // the chosen render item's resource is a video
    bool text = false;
    bool audio = false;
};

struct HLInterfaceState
{
    std::string editLabel;
    bool editEnabled = false;
    bool imageHidden = false; // the preview's frame layer
    bool textHidden = false;  // the preview's title layer
    bool progressHidden = false;
    std::string mediaLabel;
    bool chooserEnabled = false;
    bool sortEnabled = false;
    bool playEnabled = false;
    bool exportEnabled = false;
    std::string playImage;
    bool mediaPaneHidden = false;
    bool chooserHidden = false;
    bool slideshowEditorShown = false;
    bool transitionEditorShown = false;
    bool imageEditorShown = false;
    bool textEditorShown = false;
    bool audioEditorShown = false;
};

HLInterfaceState hl_interfaceStateOf(const HLInterfaceInputs &in);
