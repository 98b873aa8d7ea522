#pragma once

class HLUIWindowTitleView;
class QWidget;

// Gives a window the dark title strip: a 25-pixel HLUIWindowTitleView across its top, under
// its other children, carrying the window's title; the window's own title becomes empty, so
// the title shows once. The window's layout moves down to make room.
HLUIWindowTitleView *changeWindowBarToBlack(QWidget *window);
