#include "SourceHL/Control/HLInterfaceState.h"

HLInterfaceState hl_interfaceStateOf(const HLInterfaceInputs &in)
{
    HLInterfaceState out;
    if (in.isEditing) {
        out.editLabel = "Stop Editing";
    } else {
        // The last matching kind wins.
        out.editLabel = "Edit";
        if (in.slideshow)
            out.editLabel = "Edit Slideshow";
        if (in.transition)
            out.editLabel = "Edit Transition";
        if (in.render)
            out.editLabel = in.renderIsVideo ? "Edit Video" : "Edit Photo";
        if (in.text)
            out.editLabel = "Edit Text";
        if (in.audio)
            out.editLabel = "Edit Audio";
    }
    out.editEnabled = in.canEdit;
    out.imageHidden = in.isEditing && in.render;
    out.textHidden = in.isEditing && (in.render || in.text);
    out.progressHidden = in.isEditing;
    out.mediaLabel = in.isOnMedia ? "Theme" : "Media";
    out.chooserEnabled = in.hasItems && (in.slideshow || in.transition || in.text);
    out.sortEnabled = in.hasItems;
    out.playEnabled = in.hasItems;
    out.exportEnabled = in.hasItems;
    out.playImage = in.isPlaying ? "Pause" : "Play";
    out.mediaPaneHidden = !in.isOnMedia || in.isEditing;
    out.chooserHidden = in.isOnMedia || in.isEditing;
    out.slideshowEditorShown = in.isEditing && in.slideshow;
    out.transitionEditorShown = in.isEditing && in.transition;
    out.imageEditorShown = in.isEditing && in.render;
    out.textEditorShown = in.isEditing && in.text;
    out.audioEditorShown = in.isEditing && in.audio;
    return out;
}
