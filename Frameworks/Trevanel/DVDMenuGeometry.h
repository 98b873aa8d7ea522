#pragma once

#include <optional>

// A menu rectangle: origin at the bottom left, y upwards (menu pixels or frame pixels).
struct DVDMenuRect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// A button area in the video frame: origin at the top left, y downwards; every coordinate
// even, x0 < x1 ≤ width − 2, y0 < y1 ≤ height − 2, as the subpicture encoder wants them.
struct DVDFrameButton
{
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    bool operator==(const DVDFrameButton &) const = default;
};

// The geometry between a menu (y up) and the video frame it becomes (y down).
class DVDMenuGeometry
{
public:
    // rect scaled from a menu of menuWidth × menuHeight to a frame of fitWidth × fitHeight,
    // still y up. An empty menu size maps everything to the zero rectangle.
    static DVDMenuRect scaleRect(const DVDMenuRect &rect, double menuWidth, double menuHeight, double fitWidth,
                                 double fitHeight);
    // A y-up frame rectangle as a y-down button area clamped into the frame; nothing when no
    // area is left inside the frame.
    static std::optional<DVDFrameButton> buttonInFrame(const DVDMenuRect &rect, int frameWidth, int frameHeight);
    // Where a button of a 16:9 frame lies when a 4:3 set shows it letterboxed: squeezed to
    // three quarters of the height between bars of an eighth each, rows still even.
    static DVDFrameButton letterboxButton(const DVDFrameButton &button, int frameHeight);
};
