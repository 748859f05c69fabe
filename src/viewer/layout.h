#pragma once

#include <cstdint>

// The main window's resize rules, in twips. H and W are the window's outer height and width
// (frame and menu bar included), S the status bar's height. Every value is made non-negative
// by taking its absolute value; later rules use what earlier ones just set.
struct MainWindowLayout {
    int32_t frame1Height = 0;
    int32_t frmCamsHeight = 0;
    int32_t frmMainHeight = 0;
    int32_t frmMainWidth = 0;
    int32_t list1Height = 0;
    int32_t picWindowOuterHeight = 0;
    int32_t vScroll1Height = 0;
    int32_t picture1Height = 0;
    int32_t picture1Width = 0;
    int32_t frmDetailsTop = 0;
    int32_t frmDetailsWidth = 0;
    int32_t vScroll2Height = 0;
    int32_t vScroll2Left = 0;
    int32_t hScroll1Width = 0;
    int32_t hScroll1Top = 0;
    int32_t command1Top = 0;
    int32_t command1Left = 0;
    // the panel area's columns and what they move: the "Webcams" frame's width, the viewer's left
    int32_t panelColumns = 2;
    int32_t frmCamsWidth = 3915;
    int32_t frmMainLeft = 6600;
};

// The fixed design values the rules read.
namespace design {
inline constexpr int32_t frame1Top = 0, frmCamsTop = 0, frmMainTop = 0, frmMainLeft = 6600;
inline constexpr int32_t list1Top = 3540, picture1Top = 240, frmDetailsHeight = 3555;
inline constexpr int32_t scrollBarThickness = 195; // VScroll2 width, HScroll1 height
inline constexpr int32_t command1Size = 195;
inline constexpr int32_t frmCamsLeft = 2640, frmCamsWidth = 3915, panelStep = 1680;
} // namespace design

MainWindowLayout ArrangeMainWindowTwips(int32_t H, int32_t W, int32_t S);

// The same rules with a panel area of `columns` columns (two in the rules above): each column
// more widens the "Webcams" frame by one panel step and moves the viewer right by as much.
MainWindowLayout ArrangeMainWindowTwips(int32_t H, int32_t W, int32_t S, int32_t columns);

// How many panel columns a window W twips wide gets: two at the window's designed width
// (13155); otherwise the panel area keeps its designed share of the width right of the list
// (3915 of 10515), rounded to whole columns, so the viewer keeps its proportion too. At least
// one, at most one for each running cam.
int32_t PanelColumnsFor(int32_t W);
// The same for the wall of tiles, which takes three fifths of the width right of the list and
// leaves the viewer the rest, but never less than the room its details need; at least the
// designed two columns.
int32_t WallColumnsFor(int32_t W);
