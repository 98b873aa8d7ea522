#include "SourceHL/Control/HLInterfaceState.h"

#include <gtest/gtest.h>

namespace {

// Inputs: items, on media, editing, playing, can edit, and the chosen kinds as letters:
// S slideshow, T transition, R photo, V video, X text, A audio.
HLInterfaceInputs inputsOf(bool items, bool onMedia, bool editing, bool playing, bool canEdit, const char *chosen)
{
    HLInterfaceInputs in;
    in.hasItems = items;
    in.isOnMedia = onMedia;
    in.isEditing = editing;
    in.isPlaying = playing;
    in.canEdit = canEdit;
    for (const char *c = chosen; *c; ++c) {
        switch (*c) {
        case 'S': in.slideshow = true; break;
        case 'T': in.transition = true; break;
        case 'R': in.render = true; break;
        case 'V': in.render = in.renderIsVideo = true; break;
        case 'X': in.text = true; break;
        case 'A': in.audio = true; break;
        }
    }
    return in;
}

struct Row
{
    HLInterfaceInputs in;
    const char *editLabel;
    bool editEnabled;
    bool imageHidden, textHidden, progressHidden;
    const char *mediaLabel;
    bool chooserEnabled;
    bool commandsEnabled; // sort, play and export
    const char *playImage;
    bool mediaPaneHidden, chooserHidden;
    const char *editorsShown; // letters as above, in table order S T R X A
};

std::string editorsShownOf(const HLInterfaceState &s)
{
    std::string shown;
    if (s.slideshowEditorShown) shown += 'S';
    if (s.transitionEditorShown) shown += 'T';
    if (s.imageEditorShown) shown += 'R';
    if (s.textEditorShown) shown += 'X';
    if (s.audioEditorShown) shown += 'A';
    return shown;
}

TEST(HLInterfaceStateTest, FollowsTheFlagsAndTheChoice)
{
    const Row rows[] = {
        // The empty project at start-up.
        {inputsOf(false, false, false, false, false, ""), "Edit", false, false, false, false, "Media", false, false,
         "Play", true, false, ""},
        // Items but nothing chosen: the commands work, the chooser does not.
        {inputsOf(true, false, false, false, false, ""), "Edit", false, false, false, false, "Media", false, true,
         "Play", true, false, ""},
        {inputsOf(true, false, false, false, true, "R"), "Edit Photo", true, false, false, false, "Media", false, true,
         "Play", true, false, ""},
        {inputsOf(true, false, false, false, true, "V"), "Edit Video", true, false, false, false, "Media", false, true,
         "Play", true, false, ""},
        {inputsOf(true, false, false, true, true, "S"), "Edit Slideshow", true, false, false, false, "Media", true, true,
         "Pause", true, false, ""},
        // The last matching kind names the edit label.
        {inputsOf(true, false, false, false, true, "STRXA"), "Edit Audio", true, false, false, false, "Media", true,
         true, "Play", true, false, ""},
        {inputsOf(true, true, false, false, true, "T"), "Edit Transition", true, false, false, false, "Theme", true,
         true, "Play", false, true, ""},
        // Editing a title hides the title layer and the strip; no browsing pane shows.
        {inputsOf(true, true, true, false, true, "X"), "Stop Editing", true, false, true, true, "Theme", true, true,
         "Play", true, true, "X"},
        // Editing a photo hides both layers.
        {inputsOf(true, false, true, false, true, "SR"), "Stop Editing", true, true, true, true, "Media", true, true,
         "Play", true, true, "SR"},
        {inputsOf(true, false, true, false, false, "A"), "Stop Editing", false, false, false, true, "Media", false,
         true, "Play", true, true, "A"},
        // Choosing without items keeps the chooser off.
        {inputsOf(false, false, false, false, true, "X"), "Edit Text", true, false, false, false, "Media", false, false,
         "Play", true, false, ""},
    };
    int index = 0;
    for (const Row &row : rows) {
        const HLInterfaceState s = hl_interfaceStateOf(row.in);
        SCOPED_TRACE(index++);
        EXPECT_EQ(s.editLabel, row.editLabel);
        EXPECT_EQ(s.editEnabled, row.editEnabled);
        EXPECT_EQ(s.imageHidden, row.imageHidden);
        EXPECT_EQ(s.textHidden, row.textHidden);
        EXPECT_EQ(s.progressHidden, row.progressHidden);
        EXPECT_EQ(s.mediaLabel, row.mediaLabel);
        EXPECT_EQ(s.chooserEnabled, row.chooserEnabled);
        EXPECT_EQ(s.sortEnabled, row.commandsEnabled);
        EXPECT_EQ(s.playEnabled, row.commandsEnabled);
        EXPECT_EQ(s.exportEnabled, row.commandsEnabled);
        EXPECT_EQ(s.playImage, row.playImage);
        EXPECT_EQ(s.mediaPaneHidden, row.mediaPaneHidden);
        EXPECT_EQ(s.chooserHidden, row.chooserHidden);
        EXPECT_EQ(editorsShownOf(s), row.editorsShown);
    }
}

} // namespace
