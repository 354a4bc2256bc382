// What `vellumar-cli search` shows beyond names and hits: the query made from a list file
// (--from-list FILE, as "Search from List\File" makes it) and each hit's words with a few
// words on either side (--context), found again by the parser that indexed the file.
//
// Thread: the main thread of the tool.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "parserset/TParserSet.h"
#include "platform/UserInterface.h"
#include "search/HitContext.h"
#include "vellcore/IndexObject.h"
#include "viewer/PreviewFiles.h"

namespace vellumar::cli {

// Words of context on either side of a hit.
inline constexpr int kContextWords = 5;

// The query of a list file, made with the index's language and word lengths; nothing
// (after a message) when the file cannot be read or holds no words.
std::optional<std::string> queryFromListFile(const std::string& file, vellcore::IndexObject& index,
                                             TParserSet& parsers, UserInterface& ui);

// Reads found files again to place their hits. The parser set is set to the index's
// language and word lengths, as it was when the files were indexed.
class HitContextReader {
  public:
    // Archive members are extracted into temp (the program temp folder) to be read.
    HitContextReader(TParserSet& parsers, const vellcore::IndexObject& index, bool filesAsText,
                     const ProgramTempFolder& temp);
    // Empty when the file (or the archive of a member) cannot be read any more.
    std::vector<HitContext> read(const std::string& name,
                                 const std::vector<vellcore::HitRecord>& hits);

  private:
    TParserSet& parsers_;
    bool filesAsText_;
    const ProgramTempFolder& temp_;
};

// "    12: before [hit words] after" lines under a file.
void printContextLines(std::FILE* out, const std::vector<HitContext>& contexts);
// ", \"contexts\": [{\"word\": 12, \"words\": 2, \"before\": ..., \"hit\": ..., \"after\": ...}]"
void printContextJson(std::FILE* out, const std::vector<HitContext>& contexts);

}  // namespace vellumar::cli
