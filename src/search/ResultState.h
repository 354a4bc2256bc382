// The result state of the Search page: the page of found files (ResultPager) and the
// viewed item, the page-relative number of the file the preview shows. The search fills
// the pager; the result list shows its page, pages through it and moves the viewed item;
// the search reads the viewed file back for "Stay on previously viewed".
//
// Owned by the main window and lent to the Search page and the result list, which meet
// here instead of calling each other. Main thread only.
#pragma once

#include <string>

#include "search/ResultPager.h"

namespace vellumar {

struct ResultState {
    ResultPager pager;
    int viewedItem = -1;  // page-relative; -1 = none

    // The engine's name of the viewed file; empty when none is viewed.
    std::string viewedName() const {
        const auto& names = pager.page().names;
        if (viewedItem < 0 || viewedItem >= static_cast<int>(names.size())) return {};
        return names[static_cast<std::size_t>(viewedItem)];
    }
};

}  // namespace vellumar
