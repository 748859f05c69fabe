#pragma once

#include <stdexcept>
#include <string>

// An error raised to the caller with a number, a source and a description.
class ImagingError : public std::runtime_error {
  public:
    ImagingError(long number, std::string source, const std::string& description)
        : std::runtime_error(description), number(number), source(std::move(source)) {}

    const long number;
    const std::string source;

    static constexpr long overflow = 6;
    static constexpr long subscriptOutOfRange = 9;
    static constexpr long fileAccess = 75;
};
