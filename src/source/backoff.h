#pragma once

#include <cstdint>
#include <optional>

// How long a failing cam waits before it tries again, counted from the start of the attempt
// that failed. A healthy cam waits its refresh interval; after `failures` failures in a row
// the wait is 2, 4, 8, ... times the interval, at most five minutes (or the interval, when that
// is longer), scaled by `jitter` (0.8 to 1.2, so cams that fail together do not retry
// together), and never shorter than the interval. A server's Retry-After, when it sent one,
// is waited out instead, up to an hour.
int32_t NextAttemptSeconds(int failures, int32_t refreshSecs, double jitter,
                           std::optional<int64_t> retryAfter = std::nullopt);

inline constexpr int32_t maxBackoffSecs = 300;
inline constexpr int32_t maxRetryAfterSecs = 3600;
