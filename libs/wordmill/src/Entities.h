// Character and entity references of HTML and XML ("&amp;", "&#233;", "&#xE9;").
// XML knows only its five predefined names; nothing here ever expands a declared entity,
// so an entity bomb or an external entity in a DOCTYPE has nothing to act on.
// Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <string_view>

namespace wordmill {

// The code point of an HTML 4 entity name (without "&" and ";"), or 0.
char32_t lookupHtmlEntity(std::string_view name);

// Decodes the reference that starts with the "&" at text[pos]. Returns the number of bytes
// it takes (including "&" and ";"), or 0 when there is no complete reference there; cp
// then is unset. Unknown names, unterminated references and numbers beyond Unicode are
// not references. A numeric reference to 0, a surrogate or beyond U+10FFFF gives U+FFFD;
// in HTML, &#128; to &#159; mean the Windows-1252 characters, as browsers read them.
std::size_t decodeReference(std::string_view text, std::size_t pos, bool html, char32_t& cp);

}  // namespace wordmill
