#include "source/backoff.h"

#include <algorithm>
#include <cmath>

int32_t NextAttemptSeconds(int failures, int32_t refreshSecs, double jitter,
                           std::optional<int64_t> retryAfter) {
    const int32_t interval = std::max(refreshSecs, 0);
    if (retryAfter)
        return std::max<int32_t>(interval,
                                 int32_t(std::clamp<int64_t>(*retryAfter, 0, maxRetryAfterSecs)));
    if (failures <= 0)
        return interval;
    const int32_t cap = std::max(maxBackoffSecs, interval);
    const double base = std::max(interval, 1);
    const double doubled = base * std::pow(2.0, std::min(failures, 20));
    const double waited = std::min(doubled, double(cap)) * std::clamp(jitter, 0.8, 1.2);
    return std::max<int32_t>(interval, int32_t(std::lround(waited)));
}
