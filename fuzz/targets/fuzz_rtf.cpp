// The help file, whatever it holds.
#include "ui/rtfreader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const RtfDocument doc = ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t characters = 0;
    for (const RtfParagraph& paragraph : doc.paragraphs)
        for (const RtfRun& run : paragraph.runs)
            characters += run.text.size();
    if (characters > size + 1)
        abort(); // never more text than input
    return 0;
}
