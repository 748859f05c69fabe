#include "panels/camslot.h"

#include "net/camfetcher.h"

bool CamSlot::settled() const {
    return !fetcher->isFetching() && completions.size() == 0 && wholeTicket == 0 &&
           savesPending == 0;
}
