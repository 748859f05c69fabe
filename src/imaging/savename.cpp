#include "imaging/savename.h"

#include <algorithm>

namespace {

void removeFirst(std::string& text, char c, int times) {
    for (int i = 0; i < times; ++i) {
        const size_t at = text.find(c);
        if (at == std::string::npos)
            return;
        text.erase(at, 1);
    }
}

} // namespace

std::string SaveFileName(std::string_view camName, std::string_view dateText,
                         std::string_view timeText) {
    std::string name;
    name.append(camName).append(dateText).append(timeText).append(".jpg");
    std::erase(name, ' ');
    removeFirst(name, '/', 2);
    removeFirst(name, ':', 3);
    std::erase_if(name, [](char c) { return c == '/' || uint8_t(c) < 32 || uint8_t(c) == 127; });
    return name;
}
