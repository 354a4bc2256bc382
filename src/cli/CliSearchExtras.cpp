#include "cli/CliSearchExtras.h"

#include "cli/Json.h"
#include "search/ListFileQuery.h"
#include "search/ResultPager.h"
#include "search/SearchHistory.h"
#include "viewer/ArchiveMember.h"

namespace vellumar::cli {

std::optional<std::string> queryFromListFile(const std::string& file, vellcore::IndexObject& index,
                                             TParserSet& parsers, UserInterface& ui) {
    const auto text = readListFile(file);
    if (!text) {
        ui.showMessage("The list file \"" + file +
                           "\" cannot be read: it must be a readable text file of at most " +
                           std::to_string(kMaxListFileBytes / 1024) + " KB.",
                       MessageIcon::Error, MessageButtons::Ok);
        return std::nullopt;
    }
    parsers.SetMaxWordLength(static_cast<std::uint8_t>(index.GetMaxWordLength()));
    parsers.SetMinWordLength(static_cast<std::uint8_t>(index.GetMinWordLength()));
    parsers.SetLanguageTable(index.GetLanguageTable());
    const auto query = queryFromListText(parsers.TextParser(), *text);
    if (!query || trimQuery(*query).empty()) {
        ui.showMessage("The list file \"" + file + "\" holds no words to search for.",
                       MessageIcon::Error, MessageButtons::Ok);
        return std::nullopt;
    }
    return query;
}

HitContextReader::HitContextReader(TParserSet& parsers, const vellcore::IndexObject& index,
                                   bool filesAsText, const ProgramTempFolder& temp)
    : parsers_(parsers), filesAsText_(filesAsText), temp_(temp) {
    parsers_.SetMaxWordLength(static_cast<std::uint8_t>(index.GetMaxWordLength()));
    parsers_.SetMinWordLength(static_cast<std::uint8_t>(index.GetMinWordLength()));
    parsers_.SetLanguageTable(index.GetLanguageTable());
}

std::vector<HitContext> HitContextReader::read(const std::string& name,
                                               const std::vector<vellcore::HitRecord>& hits) {
    if (hits.empty()) return {};
    // A member is read from its extracted copy, as the viewer shows it; the copies of one
    // file go before the next one is extracted.
    std::string file = name;
    if (isArchiveMemberName(name)) {
        temp_.Empty();
        const auto extracted = extractArchiveMember(name, temp_);
        if (!extracted) return {};
        file = extracted->string();
    }
    wordmill::WordRecord record;
    wordmill::Parser* parser = parsers_.OpenDocument(file, filesAsText_, record);
    if (!parser) return {};
    const DocumentKind kind = parsers_.LastKind();
    const bool markup = kind == DocumentKind::Html || kind == DocumentKind::Xml;
    auto contexts = hitContexts(*parser, hits, kContextWords, !markup);
    parser->Close();
    return contexts;
}

void printContextLines(std::FILE* out, const std::vector<HitContext>& contexts) {
    for (const HitContext& c : contexts)
        std::fprintf(out, "    %u: %s[%s]%s\n", c.firstWord, c.before.c_str(), c.words.c_str(),
                     c.after.c_str());
}

void printContextJson(std::FILE* out, const std::vector<HitContext>& contexts) {
    std::fputs(", \"contexts\": [", out);
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        const HitContext& c = contexts[i];
        std::fprintf(out,
                     "%s{\"word\": %u, \"words\": %d, \"before\": %s, \"hit\": %s, \"after\": %s}",
                     i ? ", " : "", c.firstWord, c.wordCount, jsonString(c.before).c_str(),
                     jsonString(c.words).c_str(), jsonString(c.after).c_str());
    }
    std::fputs("]", out);
}

}  // namespace vellumar::cli
