#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// How often a cam's picture really changes, learned from the fetches of its panel: the moments
// its picture changed (the Last-Modified time when the server sends one, otherwise when a
// different picture was seen), averaged over the most recent changes.
class ChangeRate {
  public:
    // One fetch that brought a picture, or word that it was unchanged. `seenAt` and
    // `lastModified` are seconds since the epoch; `isNew`: the picture differs from the one
    // before.
    void observe(int64_t seenAt, std::optional<int64_t> lastModified, bool isNew);
    void reset();

    // The seconds between changes, once enough changes were seen to tell.
    std::optional<int> intervalSeconds() const;
    // Every recent fetch brought a new picture: the cam may change faster than it is asked.
    bool newAtEveryFetch() const;
    // "changes about every 30 s", or empty while too little was seen.
    std::string text() const;

    static constexpr size_t changesNeeded = 4; // three intervals
    static constexpr size_t changesKept = 16;

  private:
    std::deque<int64_t> m_changes; // change moments, oldest first
    std::deque<bool> m_fetches;    // whether each recent fetch brought a new picture
    bool m_haveLastModified = false;
    bool m_watching = false; // a picture without a server time was seen
};
