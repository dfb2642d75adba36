// Numbers as the rankings, the result panel and the menus show them: times of play in
// minutes, seconds and hundredths, numbers padded to a width, and digit counts.
#pragma once
#include <cstdint>
#include <string>

#include "base/Vector.h"

// "mm:ss.hh" of a time in 1/100 s; minutes take more digits when they need them, and
// each part of a negative time shows its own sign.
void FormatTime(std::string& out, std::int32_t nHundredths);
// Digits of the value (its sign not counted), 1 to 10.
int CountDigits(std::int32_t nValue);
// The nWidth lowest digits of |value| (at least all of its digits), leading zeros kept
// or blanked, then "-" for a negative value or, when asked, "+" for the others.
void NumberToText(std::string& out, std::int32_t nValue, int nWidth, int bKeepZeros, int bPlus);
// How many elements equal the value.
int CountValue(const cVector<std::int32_t>& values, std::int32_t nValue);
