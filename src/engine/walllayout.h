#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

// How the running cams stand in the panel area: the designed small panels, or tiles that grow
// with the window.
enum class WallLayout {
    Designed,  // the designed panels, two columns at the designed width
    Automatic, // the most tiles of the largest size that hold every running cam
    Grid1,     // 1 x 1: the first cam alone
    Grid2,     // 2 x 2
    Grid3,     // 3 x 3
    Grid4,     // 4 x 4
    OneLarge,  // the first cam large, the others small beside it
};

// The word a layout is kept as ("auto", "2x2", ...), and back; nothing for a word not known.
QByteArray WallLayoutWord(WallLayout layout);
std::optional<WallLayout> WallLayoutOfWord(const QByteArray& word);

// The tiles of `cams` cams in `area` (pixels), in the cams' order, `gap` pixels apart and from
// the edges. A fixed grid shows only the cams it has room for; the picture in a tile keeps its
// own proportions. Automatic chooses the columns whose tiles hold the largest 4:3 picture.
std::vector<QRect> ArrangeTiles(WallLayout layout, int cams, QSize area, int gap);

// The largest size of `picture`'s proportions within `box`, never larger than `box`.
QSize FittedSize(QSize picture, QSize box);
