// Path operations on program-form file names ('\' separators, Shift-JIS bytes), and
// the search for the newest numbered variant of a file, which completes stage names.
// Functions answer 1 on success and 0 on failure.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Project names pass through 260-byte buffers in the format's file routines.
inline constexpr std::size_t MAX_PROJECT_PATH_BYTES = 259;
// True when a name is longer than MAX_PROJECT_PATH_BYTES as the project would hold it:
// a relative name as it stands, a full path inside the game folder without the folder's
// own part. The folder the game sits in never counts, nor does a full path outside it.
bool ProjectPathTooLong(std::string_view path);

// A relative path becomes absolute against the current directory; an absolute one
// stays. 0 only when the current directory cannot be read.
int MakeAbsolutePath(std::string& path);
// An absolute path becomes relative to the current directory (".\x" or "..\x"); a
// relative one stays. 0 when the current directory cannot be read or the roots differ.
int MakeRelativePath(std::string& path);
// Keeps the part after the last '\' (a 0x5C that ends a double-byte character is not
// a separator); a path without one stays.
void StripDirectory(std::string& path);
// out = path with the text after the last '.' of its file name replaced by extension
// (or, with no extension, the dot and that text cut). 0 when the name has no dot
// (out is then the unchanged copy).
int ChangeExtension(std::string& out, std::string_view path, const char* extension);
// out = the text after the last '.' of the file name; 0 when there is none.
int GetExtension(std::string& out, std::string_view path);
// x.ext becomes x_ab.ext (a and b single digits). 0 when there is no extension or it
// is longer than 31 characters.
int AddNumberSuffix(std::string& out, std::string_view path, int a, int b);
// Tries "<path with extension>_999" down to "_000" and gives the first that exists.
// 0 when none does (out unchanged).
int FindNewestNumberedFile(std::string& out, std::string_view path, const char* extension);
