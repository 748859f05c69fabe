#include "engine/walllayout.h"

#include <algorithm>
#include <array>

namespace {

struct Word {
    WallLayout layout;
    const char* word;
};
constexpr std::array<Word, 7> words{{{WallLayout::Designed, "designed"},
                                     {WallLayout::Automatic, "auto"},
                                     {WallLayout::Grid1, "1x1"},
                                     {WallLayout::Grid2, "2x2"},
                                     {WallLayout::Grid3, "3x3"},
                                     {WallLayout::Grid4, "4x4"},
                                     {WallLayout::OneLarge, "one-large"}}};

// `count` cells of equal size in `columns` columns filling `area`, row by row.
std::vector<QRect> grid(const QRect& area, int count, int columns, int gap) {
    std::vector<QRect> cells;
    if (count <= 0 || columns <= 0)
        return cells;
    const int rows = (count + columns - 1) / columns;
    const int width = std::max(1, (area.width() - (columns + 1) * gap) / columns);
    const int height = std::max(1, (area.height() - (rows + 1) * gap) / rows);
    for (int i = 0; i < count; ++i)
        cells.emplace_back(area.left() + gap + (i % columns) * (width + gap),
                           area.top() + gap + (i / columns) * (height + gap), width, height);
    return cells;
}

// The columns whose cells hold the largest 4:3 picture; fewer columns when two hold the same.
int bestColumns(QSize area, int count, int gap) {
    int best = 1;
    int64_t bestArea = -1;
    for (int columns = 1; columns <= count; ++columns) {
        const std::vector<QRect> cells = grid(QRect(QPoint(), area), count, columns, gap);
        const QSize picture = FittedSize({4, 3}, cells.front().size());
        const int64_t shown = int64_t(picture.width()) * picture.height();
        if (shown > bestArea)
            best = columns, bestArea = shown;
    }
    return best;
}

} // namespace

QByteArray WallLayoutWord(WallLayout layout) {
    for (const Word& word : words)
        if (word.layout == layout)
            return word.word;
    return {};
}

std::optional<WallLayout> WallLayoutOfWord(const QByteArray& word) {
    for (const Word& known : words)
        if (word == known.word)
            return known.layout;
    return std::nullopt;
}

QSize FittedSize(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty())
        return {};
    return picture.scaled(box, Qt::KeepAspectRatio).boundedTo(box).expandedTo({1, 1});
}

std::vector<QRect> ArrangeTiles(WallLayout layout, int cams, QSize area, int gap) {
    const QRect whole(QPoint(), area);
    if (cams <= 0 || area.isEmpty())
        return {};
    switch (layout) {
    case WallLayout::Designed:
        return {};
    case WallLayout::Automatic:
        return grid(whole, cams, bestColumns(area, cams, gap), gap);
    case WallLayout::Grid1:
    case WallLayout::Grid2:
    case WallLayout::Grid3:
    case WallLayout::Grid4: {
        const int side = 1 + int(layout) - int(WallLayout::Grid1);
        std::vector<QRect> cells = grid(whole, side * side, side, gap);
        cells.resize(size_t(std::min(cams, side * side)));
        return cells;
    }
    case WallLayout::OneLarge: {
        if (cams == 1)
            return grid(whole, 1, 1, gap);
        // two thirds of the width for the first, the others in the rest as they fit best
        const int split = area.width() * 2 / 3;
        std::vector<QRect> cells = grid(QRect(0, 0, split, area.height()), 1, 1, gap);
        const QRect rest(split - gap, 0, area.width() - split + gap, area.height());
        for (const QRect& cell : grid(rest, cams - 1, bestColumns(rest.size(), cams - 1, gap), gap))
            cells.push_back(cell);
        return cells;
    }
    }
    return {};
}
