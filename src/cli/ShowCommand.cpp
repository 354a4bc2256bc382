#include "cli/ShowCommand.h"

#include <filesystem>
#include <string>

#include "cli/Json.h"
#include "index/IndexDefinition.h"
#include "viewer/ArchiveMember.h"
#include "viewer/DocumentPreview.h"

namespace fs = std::filesystem;

namespace vellumar::cli {

namespace {

// The name as the index lists it: an absolute, normalised path (members keep their part
// after the first "//" as given).
std::string listedName(const std::string& file) {
    const auto member = file.find("//");
    std::string onDisk = file.substr(0, member);
    std::error_code ec;
    onDisk = fs::absolute(onDisk, ec).lexically_normal().string();
    return member == std::string::npos ? onDisk : onDisk + file.substr(member);
}

// One line per entry: line ends and tabs in the text written as \r, \n and \t.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out;
}

class SessionScope {
  public:
    explicit SessionScope(vellcore::IndexObject& index) : index_(index) { index_.BeginSession(); }
    ~SessionScope() { index_.EndSession(); }
    SessionScope(const SessionScope&) = delete;
    SessionScope& operator=(const SessionScope&) = delete;

  private:
    vellcore::IndexObject& index_;
};

}  // namespace

int showFile(IndexingCore& core, int position, UserInterface& ui, const Arguments& a,
             std::FILE* out) {
    if (position < 0) return 1;
    vellcore::IndexObject& index = *core.catalogue.object(position);
    const bool rawText = IndexDefinition::load(core.catalogue.definitionFile(position))
                             .value_or(IndexDefinition{})
                             .filesAsText;
    // As when the index is selected in the window: the viewer reads with its word limits.
    core.viewerParsers.SetMaxWordLength(static_cast<std::uint8_t>(index.GetMaxWordLength()));
    core.viewerParsers.SetMinWordLength(static_cast<std::uint8_t>(index.GetMinWordLength()));
    core.viewerParsers.SetLanguageTable(index.GetLanguageTable());

    SessionScope session(index);
    int files = 0;
    std::int64_t entries = 0;
    if (index.RunQuery(a.query, files, entries) == 0) {
        const int code = index.GetErrorCode();
        ui.showMessage(code == vellcore::kStopWordsOnly
                           ? "The query consists of stop-words only."
                           : "The query failed: " + index.GetErrorMessage(),
                       MessageIcon::Error, MessageButtons::Ok);
        index.ClearError();
        return 1;
    }
    const std::string name = listedName(a.file);
    int result = -1;
    vellcore::Stamp stamp = 0;
    for (int i = 0; i < files && result < 0; ++i) {
        std::string found;
        if (index.GetResult(i, found, stamp) && found == name) result = i;
    }
    if (result < 0) {
        ui.showMessage(name + " is not among the files found for \"" + a.query + "\"",
                       MessageIcon::Error, MessageButtons::Ok);
        return 1;
    }

    const ProgramTempFolder temp(core.settings.programTempFolder);
    PreviewOptions options;
    options.runFromCd = core.settings.runFromCd;
    DocumentPreview preview(core.viewerParsers, temp, ui, options);
    PreviewRequest request;
    request.listName = name;
    request.index = &index;
    request.resultNumber = result;
    request.stamp = stamp;
    request.rawText = rawText;
    if (preview.Load(request) != PreviewStatus::Shown) return 1;
    if (preview.Modified())
        ui.showMessage(name + " has changed since it was indexed; entries may be misplaced.",
                       MessageIcon::Warning, MessageButtons::Ok);

    if (a.json) std::fprintf(out, "{\"file\": %s, \"entries\": [", jsonString(name).c_str());
    for (std::size_t i = 0; i < preview.HitCount(); ++i) {
        const EntryRange& entry = preview.LocateEntry(i);
        // An entry without a place in the text: start -1, nothing covered.
        const long start = entry.located() ? entry.start : -1;
        const long length = entry.located() ? entry.length : 0;
        const std::string text = preview.EntryText(i);
        if (a.json)
            std::fprintf(out,
                         "%s\n  {\"number\": %zu, \"start\": %ld, \"length\": %ld, \"text\": %s}",
                         i ? "," : "", i + 1, start, length, jsonString(text).c_str());
        else
            std::fprintf(out, "%zu\t%ld\t%ld\t%s\n", i + 1, start, length, escaped(text).c_str());
    }
    if (a.json) std::fputs(preview.HitCount() ? "\n]}\n" : "]}\n", out);
    temp.Empty();  // the extracted member is not needed any more
    return 0;
}

}  // namespace vellumar::cli
