#pragma once

#include <cstdint>

// Plain geometry of the text line and the audio line, free of Qt. Positions on the text line
// are the titles' line values, equal to x in points in the line's own view; the audio line
// lays equal cells left to right in the clips' order. Both lines are one row high, so only x
// matters here and nothing needs flipping.

// Text line.
constexpr double kTextlineEdgeZone = 10;   // a press this close to an edge drags the edge
constexpr double kTextlineMinWidth = 20;   // a title never gets narrower by its edges
constexpr double kTextlineRowHeight = 40;
constexpr double kTextlineBackHeight = 75; // the row under the strip; the line is centred in it

enum TextlineDragMode : std::int64_t {
    TextlineDragLeft = 0,  // resize at the left edge
    TextlineDragMove = 1,  // slide between the neighbours
    TextlineDragRight = 2, // resize at the right edge
};

// What a press on a title prepares for the drag events of the same press.
struct HLTextlineDrag
{
    TextlineDragMode enDrag = TextlineDragMove;
    double dDragMin = 0; // lowest value the dragged edge or the moved start may take
    double dDragMax = 0; // highest value
    double dDragDel = 0; // pointer to dragged edge (left edge when moving) at the press
};

// The press at x on a title spanning minX … maxX, between lastLineMax (end of the title
// before, 0 for the first) and nextLineMin (start of the title after, the largest float for
// the last). The right zone wins where both zones hold.
HLTextlineDrag hl_textlineDragOf(double x, double minX, double maxX, float lastLineMax, float nextLineMin);

// One drag event at pointer x: the title's new span, or, when a move would leave its band,
// the start of a drag and drop with the span left as it is.
struct HLTextlineDragStep
{
    bool startsDrop = false;
    float lineMin = 0;
    float lineMax = 0;
};
HLTextlineDragStep hl_textlineDragged(const HLTextlineDrag &drag, double x, double minX, double maxX);

// min(max(value, low), high) on 32-bit floats, as the drag bounds are kept.
float hl_textlineClamp(double value, double low, double high);

// Where a title carried along the line lands when its left edge is over x (view points):
// never left of the line's start. The marker is drawn at the same place.
float hl_textlineDropX(double x);
// The left edge of the 2-point drop marker in a row of width: kept inside the row.
float hl_textlineMarkerLeft(float dropX, float width);

// Audio line.
constexpr double kAudioCellWidth = 200;
constexpr double kAudioCellHeight = 50;

// The x of cell k in the clips' order.
double hl_audioCellX(std::int64_t index);
// The cell boundary a drop at pointer x lands on (0 = before the first cell), with count cells.
std::int64_t hl_audioDropIndex(double x, std::int64_t count);
// The centre of the 2-point marker of boundary index in a row of width: kept inside the row.
float hl_audioMarkerCenter(std::int64_t index, float width);
