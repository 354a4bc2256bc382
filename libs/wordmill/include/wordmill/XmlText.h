// Plain text out of an XML body (the document.xml of a .docx, the content.xml of an
// .odt, the XHTML chapters of an .epub): the character data of chosen elements, with
// line breaks and tabs where the format's elements call for them. Lenient: markup that
// is not well-formed ends an element or the text, never the program. Entities are never
// expanded beyond the predefined ones (and HTML's names when asked for).
//
// Pure function; thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wordmill {

struct XmlTextRules {
    // Character data counts only inside one of these elements; empty: everywhere.
    std::vector<std::string> textElements;
    // Elements whose whole content is dropped (script, style, field instructions).
    std::vector<std::string> skipElements;
    // The end of one of these ends a line ("\n").
    std::vector<std::string> lineElements;
    // These elements stand for a tab, a blank, or a line break where they appear.
    std::vector<std::string> tabElements;
    std::vector<std::string> spaceElements;
    std::vector<std::string> breakElements;
    // Compare local names without their prefix, ignoring case (XHTML).
    bool localNames = false;
    // Decode HTML's named entities too (XHTML written with &nbsp; and the like).
    bool htmlEntities = false;
};

std::string extractXmlText(std::string_view xml, const XmlTextRules& rules);

}  // namespace wordmill
