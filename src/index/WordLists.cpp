#include "index/WordLists.h"

#include <algorithm>
#include <cctype>

#include "platform/AtomicFile.h"
#include "platform/UserFileReader.h"
#include "textfold/TextFold.h"

namespace vellumar {

namespace {

// Opens a word list with the text parser, from memory: the file is read by the one reader
// of user files, which refuses FIFOs, devices and files over the limit.
bool openWordList(wordmill::Parser& textParser, const std::filesystem::path& file,
                  wordmill::WordRecord& record, std::string* problem) {
    const UserFileRead read = readUserFile(file, kWordListFileLimit);
    if (!read.ok()) {
        if (problem && read.damaged())
            *problem = problemText(file, read) + ".\rThe word list is not used.";
        return false;
    }
    return textParser.OpenMemory(read.data, record);
}

}  // namespace

int loadStopWords(vellcore::IndexObject& index, wordmill::Parser& textParser,
                  const std::filesystem::path& file, std::string* problem) {
    wordmill::WordRecord record;
    if (!openWordList(textParser, file, record, problem)) return 0;
    int added = 0;
    while (textParser.NextWord(record))
        if (index.AddWord(record.text, record.position, 0)) ++added;
    textParser.Close();
    index.ClearError();
    return added;
}

DictionaryLoad loadDictionary(vellcore::IndexObject& index, wordmill::Parser& textParser,
                              const std::filesystem::path& file, std::string* problem) {
    const std::int64_t before = index.GetUniqueWordCount();
    wordmill::WordRecord record;
    const std::string name = file.string();
    if (openWordList(textParser, file, record, problem)) {
        if (index.BeginDocument(name, 0, 0)) {
            while (textParser.NextWord(record))
                if (!index.AddWord(record.text, record.position, 0)) break;
            index.RemoveDocument(name);
        }
        textParser.Close();
    }
    index.ClearError();
    if (index.GetUniqueWordCount() == before) return DictionaryLoad::Empty;
    index.AddWord({}, 0, -1);
    return DictionaryLoad::Loaded;
}

std::vector<std::string> indexWords(vellcore::IndexObject& index) {
    std::vector<std::string> words;
    words.reserve(static_cast<std::size_t>(std::max<std::int64_t>(0, index.GetUniqueWordCount())));
    std::string word;
    const std::string all = "**";
    if (index.EnumWords(&all, word)) {
        words.push_back(word);
        while (index.EnumWords(nullptr, word)) words.push_back(word);
    }
    index.ClearError();
    auto folded = [](const std::string& w) {
        std::string out;
        std::size_t pos = 0;
        while (pos < w.size()) {
            const char32_t cp = textfold::nextUtf8(w, pos);
            textfold::appendUtf8(
                out, cp < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(cp)))
                              : textfold::unicodeUpper(cp));
        }
        return out;
    };
    std::stable_sort(words.begin(), words.end(), [&](const std::string& a, const std::string& b) {
        const std::string fa = folded(a), fb = folded(b);
        return fa != fb ? fa < fb : a < b;
    });
    return words;
}

bool writeDictionaryFile(const std::filesystem::path& file, const std::vector<std::string>& words) {
    return writeLinesAtomically(file, words, "\r\n");
}

}  // namespace vellumar
