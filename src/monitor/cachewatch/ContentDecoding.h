// Undoing the content codings of an HTTP body as a browser's disk cache keeps it: the
// bytes arrive as the server sent them, still compressed with the codings named in the
// response's Content-Encoding header (gzip, deflate or br, possibly several, applied in
// the order listed).
//
// The decoded text is capped: a small compressed body can expand without bound, and one
// page of a cache must not take the program's memory.
//
// Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vellumar::cachewatch {

// The body with every coding of contentEncoding undone (last listed first). Empty codings
// and "identity" change nothing. nullopt when a coding is unknown, the data is damaged or
// truncated, or the decoded text would exceed limit bytes.
std::optional<std::string> decodeContent(std::string body, std::string_view contentEncoding,
                                         std::size_t limit);

}  // namespace vellumar::cachewatch
