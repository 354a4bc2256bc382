// Comma text: a list of strings in one line, as settings store lists (the folders excluded
// from monitoring, the file types of the add-folders dialog).
//
// Writing separates items by commas; an item holding a blank or control character, a
// double quote or a comma is written in double quotes with inner quotes doubled; a list of
// one empty item is written as "". Reading skips blanks and control characters between
// items, takes a quoted item up to its closing quote (a doubled quote is one quote), and
// ends an unquoted item at a blank, a control character or a comma.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

std::string toCommaText(const std::vector<std::string>& items);
std::vector<std::string> fromCommaText(std::string_view text);

}  // namespace vellumar
