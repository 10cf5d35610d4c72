#pragma once

#include <string>

namespace cosmophase {

// `text` with every control character (newline, tab, escape...) written as
// \xHH, so that a message quoting what the user typed, such as a path or an
// option, stays one line on a terminal and in a log.
std::string escapeControlCharacters(const std::string& text);

} // namespace cosmophase
