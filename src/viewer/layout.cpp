#include "viewer/layout.h"

#include <algorithm>
#include <cstdlib>

MainWindowLayout ArrangeMainWindowTwips(int32_t H, int32_t W, int32_t S) {
    return ArrangeMainWindowTwips(H, W, S, 2);
}

int32_t PanelColumnsFor(int32_t W) {
    using namespace design;
    const int64_t share = int64_t(std::max(W - frmCamsLeft, 0)) * frmCamsWidth / 10515;
    const int64_t columns = 2 + (share - frmCamsWidth + panelStep / 2) / panelStep;
    return int32_t(std::clamp<int64_t>(share < frmCamsWidth - panelStep / 2 ? 1 : columns, 1, 24));
}

int32_t WallColumnsFor(int32_t W) {
    using namespace design;
    const int64_t share = int64_t(std::max(W - frmCamsLeft, 0)) * 3 / 5;
    const int64_t columns = 2 + (share - frmCamsWidth + panelStep / 2) / panelStep;
    // the viewer keeps room for its details (8400 twips): the wall gives up columns first
    const int64_t viewerRoom = 2 + (int64_t(W) - frmMainLeft - 8400) / panelStep;
    return int32_t(std::clamp<int64_t>(std::min(columns, viewerRoom), 2, 24));
}

MainWindowLayout ArrangeMainWindowTwips(int32_t H, int32_t W, int32_t S, int32_t columns) {
    using namespace design;
    MainWindowLayout l;
    l.panelColumns = columns;
    l.frmCamsWidth = frmCamsWidth + (columns - 2) * panelStep;
    l.frmMainLeft = frmMainLeft + (columns - 2) * panelStep;
    l.frame1Height = std::abs(H - S - frame1Top - 800);
    l.frmCamsHeight = std::abs(H - S - frmCamsTop - 800);
    l.frmMainHeight = std::abs(H - S - frmMainTop - 800);
    l.frmMainWidth = std::abs(W - l.frmMainLeft);
    l.list1Height = std::abs(l.frmCamsHeight - list1Top - 20);
    l.picWindowOuterHeight = std::abs(list1Top + l.list1Height - 280);
    l.vScroll1Height = std::abs(l.picWindowOuterHeight);
    l.picture1Height = std::abs(l.frmMainHeight - frmDetailsHeight - S);
    l.picture1Width = std::abs(l.frmMainWidth - 400);
    l.frmDetailsTop = std::abs(l.picture1Height + picture1Top);
    l.frmDetailsWidth = std::abs(l.picture1Width);
    l.vScroll2Height = std::abs(l.picture1Height - command1Size - 60);
    l.vScroll2Left = std::abs(l.picture1Width - scrollBarThickness - 60);
    l.hScroll1Width = std::abs(l.picture1Width - command1Size - 60);
    l.hScroll1Top = std::abs(l.picture1Height - scrollBarThickness - 60);
    l.command1Top = l.hScroll1Top;
    l.command1Left = l.vScroll2Left;
    return l;
}
