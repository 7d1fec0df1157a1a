#pragma once
// Text from a plot file or a command line, made safe to show on a terminal
// and on a figure: every byte sequence that is not valid UTF-8 (a Latin-1
// letter, a character cut at the end of a fixed-width field) becomes one
// U+FFFD replacement character, and every control character (C0, DEL, C1)
// becomes U+FFFD too, so that nothing from a file can move the cursor or
// change the terminal.  Valid text passes through byte for byte.

#include <string>
#include <string_view>

namespace formats {

std::string displayable(std::string_view text);

}  // namespace formats
