// The main window's side of the index-management core: the catalogue's insertions and
// removals go into both index boxes, and a build's busy state, statistics and changed
// request values go into the Indexes page. A thin adapter; the window does the work.
//
// Owned by the main window next to the core it listens to; main thread only.
#pragma once

#include "index/Catalogue.h"
#include "index/IndexBuilder.h"

#include <QString>

namespace vellumar {

class TFormMain;

class IndexingBridge : public CatalogueListener, public BuildListener {
  public:
    explicit IndexingBridge(TFormMain& window) : window_(window) {}

    void indexInserted(int position, const std::string& name) override;
    void indexRemoved(int position) override;
    void buildStarted() override;
    void buildFinished() override;
    void requestChanged(const IndexRequest& request) override;

  private:
    TFormMain& window_;
};

}  // namespace vellumar
