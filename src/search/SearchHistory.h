// The query history of the search box and the small text rules around it: queries are
// trimmed before they run, the history keeps each query once (compared without regard
// to case, the newest spelling wins) and holds at most 40 entries, newest first.
//
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

inline constexpr std::size_t kSearchHistoryLimit = 40;

// Removes leading and trailing blanks and control characters (everything up to U+0020).
std::string trimQuery(std::string_view text);

// Equal when the texts differ at most in the case of their letters: ASCII, Latin-1 and
// the other Unicode letters with a simple upper case. Invalid UTF-8 compares by bytes.
bool sameIgnoringCase(std::string_view a, std::string_view b);

// Puts query at the top of history: the first entry equal to it ignoring case goes,
// and entries beyond the limit drop off the bottom.
void rememberQuery(std::vector<std::string>& history, const std::string& query,
                   std::size_t limit = kSearchHistoryLimit);

}  // namespace vellumar
