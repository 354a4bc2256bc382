// A parser set over a temporary folder with a program folder for fake converters, and
// helpers that read a document's words the way the indexer does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../archive/ArchiveMaker.h"
#include "../wordmill/TestHelpers.h"
#include "parserset/TParserSet.h"

namespace parserset_test {

using namespace vellumar;
using namespace std::chrono_literals;
using wordmill_test::TempDir;
using wordmill_test::writeFile;

struct Fixture {
    TempDir dir;
    std::shared_ptr<ParserSetShared> shared = std::make_shared<ParserSetShared>();
    std::unique_ptr<TParserSet> set;
    wordmill::WordRecord record;

    Fixture() {
        shared->programFolder = dir / "program";
        std::filesystem::create_directories(shared->programFolder);
        std::filesystem::create_directories(dir / "tmp");
        shared->pdfTextFile = dir / "tmp/pdftotxt.tmp";
        shared->converterTimeLimit = 5s;
        set = std::make_unique<TParserSet>(wordmill_test::latinTable(), shared);
    }

    std::filesystem::path file(const std::string& name, const std::string& bytes) {
        writeFile(dir / name, bytes);
        return dir / name;
    }

    std::vector<std::string> words(const std::filesystem::path& p, bool raw = false) {
        wordmill::Parser* parser = set->OpenDocument(p, raw, record);
        if (!parser) return {"<none>"};
        std::vector<std::string> out;
        while (parser->NextWord(record)) out.emplace_back(record.text);
        parser->Close();
        return out;
    }

    // The text the viewer shows for a document of this kind, once it is open.
    std::string viewerText(const wordmill::Parser& parser) const {
        if (set->LastKind() == DocumentKind::Pdf || !isConvertedKind(set->LastKind()))
            return parser.DocumentText();
        return shared->convertedText;
    }
};

}  // namespace parserset_test
