// Where "Print file list" puts each line, in printer pixels: the bold heading at (100, 100),
// then the current result page's files one line height apart (line height: the height of
// "W_" in the printer font plus 8), the first file two line heights below the heading's
// top. A file that would reach into the bottom margin of 50 pixels goes to the top of the
// next page, one line height below the top margin of 100, so no line is ever cut off at a
// page's foot.
//
// Pure functions; thread-safe. The window's printing draws what this lays out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vellumar {

inline constexpr char kFileListJobTitle[] = "File list from Vellumar";

struct PrintPlacement {
    int page = 0;  // 0-based
    int x = 0;
    int y = 0;  // the top of the line
};

struct FileListLayout {
    int lineHeight = 0;
    PrintPlacement heading;
    std::vector<PrintPlacement> items;
    int pageCount = 1;
};

// textHeight: the height of "W_" in the printer font; pageHeight: the printable height.
FileListLayout layOutFileList(std::size_t itemCount, int textHeight, int pageHeight);

// "File list found for "QUERY":"
std::string fileListHeading(const std::string& lastQuery);

}  // namespace vellumar
