#pragma once

#include <string>

// One cam of the list. The fields are the exact bytes of the cam list file: nothing is trimmed
// and nothing is re-encoded, so a name survives list, lookup, edit and delete unchanged.
struct CamRecord {
    std::string name;
    std::string url;
    std::string refresh;
};
