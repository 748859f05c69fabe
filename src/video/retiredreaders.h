#pragma once

#include "video/readerlink.h"

#include <memory>
#include <thread>

// Reading threads whose cam is gone, stopped but perhaps not ended yet (a name lookup cannot be
// interrupted): they end on their own, and are joined once they have. Before the process ends
// (when the application object goes, or else at exit) it waits for those still running, a
// second at most, so that none is inside FFmpeg while the libraries are taken down.
void RetireReader(std::thread thread, std::shared_ptr<ReaderLink> link);
