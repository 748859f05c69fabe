// A received body judged for completeness before any decoder sees it.
#include "imaging/picturecheck.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const PictureCheck check = CheckPicture(body, size ? data[0] : 0);
    if (check.readable && (check.width > maxPictureSide || check.height > maxPictureSide))
        abort();
    return 0;
}
