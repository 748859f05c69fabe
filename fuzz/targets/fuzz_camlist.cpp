// A cam list file as a crash, an editor or a stranger may have left it: listing, lookup,
// deleting and appending.
#include "camlist/camlisttext.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const auto names = camlisttext::listNames(file);
    for (const std::string& name : names) {
        const auto found = camlisttext::findRecord(file, name);
        const std::string after = camlisttext::withoutRecord(file, name);
        const auto namesAfter = camlisttext::listNames(after);
        // deleting a found record removes the names its own three lines held, and no other
        const size_t inRecord =
            found ? camlisttext::listNames(camlisttext::recordText(*found)).size() : 0;
        if (found && namesAfter.size() + inRecord != names.size())
            abort();
        if (!found && namesAfter.size() != names.size())
            abort(); // and deleting nothing must remove none
        const std::string appended = after + camlisttext::recordText({name, "u", "1"});
        const auto again = camlisttext::findRecord(appended, name);
        if (!again && camlisttext::findRecord(after, name))
            abort();
        if (names.size() > 8)
            break; // enough work for one input
    }
    return 0;
}
