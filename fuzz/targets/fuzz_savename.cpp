// The file name a picture is saved under, from a cam name and locale texts.
#include "imaging/savename.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t a = size ? data[0] % (size + 1) : 0;
    const size_t b = size > 1 ? data[1] % (size + 1) : 0;
    const size_t first = std::min(a, b), second = std::max(a, b);
    const std::string name = SaveFileName(
        input.substr(0, first), input.substr(first, second - first), input.substr(second));
    for (unsigned char c : name)
        if (c == '/' || c < 32 || c == 127)
            abort(); // the name must stay inside the cam folder
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".jpg") != 0)
        abort();
    return 0;
}
