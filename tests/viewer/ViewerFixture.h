// An index built by the real indexing core over documents in a temporary folder, searched,
// and a preview over the viewer's parser set: what the window does between "Search" and a
// file shown with its entries.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "index/CoreFixture.h"
#include "viewer/DocumentPreview.h"

namespace vellumar::testing {

class ViewerFixture : public CoreFixture {
  protected:
    void TearDown() override {
        endSearch();
        preview.reset();
        temp.reset();
        CoreFixture::TearDown();
    }

    // Creates the index "docs" over the docs folder with the patterns given.
    void build(const std::string& patterns, bool archives = false, bool raw = false) {
        IndexRequest r = request("docs", docs() + "/+<" + patterns + ">");
        r.archives = archives;
        r.filesAsText = raw;
        const BuildOutcome outcome = core->builder.Build(BuildKind::Create, -1, r);
        ASSERT_TRUE(outcome.ran);
        position = outcome.position;
        index = core->catalogue.object(position);
        ASSERT_NE(index, nullptr);
        // As when the index is selected on the Indexes page.
        core->viewerParsers.SetMaxWordLength(static_cast<std::uint8_t>(index->GetMaxWordLength()));
        core->viewerParsers.SetMinWordLength(static_cast<std::uint8_t>(index->GetMinWordLength()));
        core->viewerParsers.SetLanguageTable(index->GetLanguageTable());
        temp = std::make_unique<ProgramTempFolder>(root / "home" / "tmp");
        preview = std::make_unique<DocumentPreview>(core->viewerParsers, *temp, ui);
    }

    // Runs the query (the session stays open, as while the result list is shown) and
    // returns the result number of `name`, or -1.
    int search(const std::string& query, const std::string& name) {
        endSearch();
        index->BeginSession();
        inSession = true;
        int files = 0;
        std::int64_t entries = 0;
        if (index->RunQuery(query, files, entries) == 0) return -1;
        for (int i = 0; i < files; ++i) {
            std::string found;
            vellcore::Stamp stamp = 0;
            if (index->GetResult(i, found, stamp) && found == name) {
                resultStamp = stamp;
                return i;
            }
        }
        return -1;
    }

    void endSearch() {
        if (inSession && index) index->EndSession();
        inSession = false;
    }

    // Searches and loads the file into the preview.
    PreviewStatus show(const std::string& query, const std::string& name,
                       const std::string& sizeLimit = "500") {
        const int number = search(query, name);
        EXPECT_GE(number, 0) << name << " not found for " << query;
        PreviewRequest r;
        r.listName = name;
        r.index = index;
        r.resultNumber = number;
        r.stamp = resultStamp;
        r.sizeLimitText = sizeLimit;
        return preview->Load(r);
    }

    std::vector<std::string> entryTexts() {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < preview->HitCount(); ++i)
            texts.push_back(preview->EntryText(i));
        return texts;
    }

    std::string path(const std::string& relative) const { return (root / relative).string(); }

    int position = -1;
    vellcore::IndexObject* index = nullptr;
    bool inSession = false;
    vellcore::Stamp resultStamp = 0;
    std::unique_ptr<ProgramTempFolder> temp;
    std::unique_ptr<DocumentPreview> preview;
};

}  // namespace vellumar::testing
