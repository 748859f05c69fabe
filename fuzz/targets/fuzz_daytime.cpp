// A daytime server's answer.
#include "net/daytime.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto answer =
        ParseDaytimeAnswer(std::string_view(reinterpret_cast<const char*>(data), size));
    if (answer && (answer->month < 1 || answer->month > 12 || answer->day < 1 || answer->day > 31 ||
                   answer->hour > 23 || answer->minute > 59 || answer->second > 59 ||
                   answer->year < 1930 || answer->year > 2029))
        abort();
    return 0;
}
