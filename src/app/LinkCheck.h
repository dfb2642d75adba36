// The link tables that start-up installs for the layers below (the records' front-end
// links, the stage's links, the music requests): a link left empty would do nothing
// without a word, so start-up checks that every one is there.
#pragma once
#include <string>
#include <vector>

// The names ("table::member") of the links not installed, in declaration order.
std::vector<std::string> MissingLinks();
// Reports the missing links in one error (report log, debug log, error box); false
// when any is missing.
bool CheckLinksInstalled();
