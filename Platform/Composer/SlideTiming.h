#pragma once

#include <QVariantMap>

#include <algorithm>
#include <vector>

// The solid (template-time) phases of a slideshow template's pictures, from the "Duration_…" values
// of its property list. Picture i enters during its T phase and holds during its S phase; its exit
// is the next picture's entry. The same rules time the slideshow item, so the pictures a template
// draws line up with the times the timeline asks for.
struct SlideTiming
{
    double durationTS = 0;  // "Duration_T_S": entry of the first picture
    double durationS = 0;   // "Duration_S": hold of every picture
    double durationT = 0;   // "Duration_T": entry of the third and later pictures but the last
    double durationTA = 0;  // "Duration_T_A": entry of the second picture when it is not the last
    double durationTB = 0;  // "Duration_T_B": entry of the last of three or more
    double durationTB2 = 0; // "Duration_T_B_2": entry of the second of exactly two

    struct Phase
    {
        double entry = 0; // the entry starts
        double hold = 0;  // the entry ends and the hold starts
        double exit = 0;  // the hold ends; the next picture's entry starts
        double end = 0;   // the next picture's entry ends (the total length for the last picture)
    };

    // Reads the "Duration_…" keys of a template's property list; missing keys count as 0.
    static SlideTiming fromInfo(const QVariantMap &info);

    double entryLength(int index, int count) const;
    // The phases of every picture of a group of count pictures, in solid seconds.
    std::vector<Phase> phases(int count) const;
    // The solid length of a group of count pictures.
    double total(int count) const;
};
