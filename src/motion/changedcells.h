#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Keeps, of the cells of a frame that changed, only those that belong to something: each must
// lie in a 2 x 2 square of changed cells (an opening, which takes away lone specks and thin
// streaks of snow, rain and noise), and in a group of at least `leastCells` touching cells.
class ChangedCells {
  public:
    // `changed` holds width x height cells, 1 for changed; returns how many cells remain.
    int keepGroups(const std::vector<uint8_t>& changed, int width, int height, int leastCells);

  private:
    std::vector<uint8_t> m_solid;
    std::vector<int> m_stack;
};
