#include "motion/changedcells.h"

int ChangedCells::keepGroups(const std::vector<uint8_t>& changed, int width, int height,
                             int leastCells) {
    const int count = width * height;
    m_solid.assign(std::size_t(count), 0);
    // every 2 x 2 square wholly changed marks its four cells solid
    for (int y = 0; y + 1 < height; ++y) {
        const uint8_t* row = &changed[std::size_t(y * width)];
        const uint8_t* next = row + width;
        uint8_t* solid = &m_solid[std::size_t(y * width)];
        for (int x = 0; x + 1 < width; ++x)
            if (row[x] & row[x + 1] & next[x] & next[x + 1])
                solid[x] = solid[x + 1] = solid[x + width] = solid[x + width + 1] = 1;
    }
    // groups of touching solid cells (the eight around each), visited once: 1 solid, 2 counted
    int kept = 0;
    for (int start = 0; start < count; ++start) {
        if (m_solid[std::size_t(start)] != 1)
            continue;
        m_stack.assign(1, start);
        m_solid[std::size_t(start)] = 2;
        int size = 0;
        while (!m_stack.empty()) {
            const int cell = m_stack.back();
            m_stack.pop_back();
            ++size;
            const int cx = cell % width, cy = cell / width;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = cx + dx, y = cy + dy;
                    if (x < 0 || y < 0 || x >= width || y >= height)
                        continue;
                    uint8_t& mark = m_solid[std::size_t(y * width + x)];
                    if (mark == 1) {
                        mark = 2;
                        m_stack.push_back(y * width + x);
                    }
                }
        }
        if (size >= leastCells)
            kept += size;
    }
    return kept;
}
