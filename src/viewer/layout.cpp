#include "viewer/layout.h"

#include <cstdlib>

MainWindowLayout ArrangeMainWindowTwips(int32_t H, int32_t W, int32_t S) {
    using namespace design;
    MainWindowLayout l;
    l.frame1Height = std::abs(H - S - frame1Top - 800);
    l.frmCamsHeight = std::abs(H - S - frmCamsTop - 800);
    l.frmMainHeight = std::abs(H - S - frmMainTop - 800);
    l.frmMainWidth = std::abs(W - frmMainLeft);
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
