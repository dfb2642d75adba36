// Shift-JIS (code page 932) text: a lead byte and a trail byte make one double-byte
// character; every other byte is one character.
#pragma once
#include <string>
#include <string_view>

// p[0] is a lead byte and p[1] a trail byte (p[1] may be the terminator).
bool IsDbcsPair(const char* p);
// Characters of a text: a double-byte character counts once, a line feed not at all.
int CountChars(std::string_view text);
// Cuts the string at its first NUL after its bytes were changed in place; the length.
int SyncStringLength(std::string& str);
// The part from byte start with count bytes: a negative start shortens count by as
// much and starts at 0; a start past the end or a count of 0 gives ""; a negative
// count, or one past the end, runs to the end. A double-byte character is never
// split: a half one at either edge is left out.
std::string SubString(const std::string& str, int start, int count);
