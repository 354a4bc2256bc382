#include "viewer/PrintLayout.h"

namespace vellumar {

namespace {

constexpr int kMargin = 100;
constexpr int kBottomMargin = 50;

}  // namespace

FileListLayout layOutFileList(std::size_t itemCount, int textHeight, int pageHeight) {
    FileListLayout layout;
    layout.lineHeight = textHeight + 8;
    layout.heading = {0, kMargin, kMargin};
    int page = 0;
    long originLine = -2;  // the first page leaves room for the heading
    for (std::size_t i = 0; i < itemCount; ++i) {
        const long line = static_cast<long>(i) - originLine;
        long y = layout.lineHeight * line + kMargin;
        // A line that would reach into the bottom margin starts the next page, unless it
        // is already the first line of its page (a page too small for any line).
        if (y + textHeight > pageHeight - kBottomMargin && line > 1 && !(page == 0 && line == 2)) {
            ++page;
            originLine = static_cast<long>(i) - 1;
            y = layout.lineHeight + kMargin;
        }
        layout.items.push_back({page, kMargin, static_cast<int>(y)});
    }
    layout.pageCount = page + 1;
    return layout;
}

std::string fileListHeading(const std::string& lastQuery) {
    return "File list found for \"" + lastQuery + "\":";
}

}  // namespace vellumar
