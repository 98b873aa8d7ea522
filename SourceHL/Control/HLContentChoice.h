#pragma once

#include <QString>

// What is chosen in the content line under the preview: at most one item of each kind
// (empty identifiers for none), and whether the choice can be edited.
struct HLContentChoice
{
    QString strSSSID; // a slideshow item
    QString strTSSID; // a transition, named by the slideshow item it follows
    QString strRDID;  // a photo or video of a slideshow item
    QString strTTID;  // a title
    QString strAUID;  // a music clip
    bool bCanEdit = false;
};
