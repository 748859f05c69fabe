#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers typed by people or sent by servers, read the way the program has always read them:
// blanks around the number are ignored, a sign and a decimal fraction are allowed, and a whole
// number is reached by rounding to the nearest, halves to even ("2.5" gives 2, "3.5" gives 4).

// The text as a number, or nothing when it is not one ("12abc", "", "1e999").
std::optional<double> parseNumber(std::string_view text);

// The text as a 32-bit whole number, or nothing when it is not a number or out of range.
std::optional<int32_t> parseLong(std::string_view text);

// A number in its shortest general form with up to `digits` significant digits: "25", "1.5",
// "-1", "33.33333".
std::string formatGeneral(double value, int digits);

// The value of one hexadecimal digit ('0'-'9', 'a'-'f', 'A'-'F'), or -1 for any other character.
int hexDigitValue(char c);
