// Copying a whole folder in the program's path form.
#pragma once
#include <string_view>

namespace plat::fs {

// Copies the folder `from`, with everything below it, as the new folder `to`. The copy
// is made in a temporary folder beside `to` and renamed to `to` only once it is whole,
// so a copy that fails half way leaves no folder that looks finished. False (and nothing
// left behind) when `from` is not a folder, `to` exists already, or any step fails.
bool copyTree(std::string_view from, std::string_view to);

}  // namespace plat::fs
