// Helpers shared by the wordmill tests: temporary folders, files, reading all words.
#pragma once

#include "support/TempDir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "textfold/TextFold.h"
#include "wordmill/Parser.h"

namespace wordmill_test {

using TempDir = testing_support::TempDir;

inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

inline void writeScript(const std::filesystem::path& p, const std::string& body) {
    writeFile(p, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(p, std::filesystem::perms::owner_all);
}

struct Word {
    std::string text;
    int position;
    int offset;
    int span;
    int tag;
    int length;
};

inline std::vector<Word> allWords(wordmill::Parser& parser, wordmill::WordRecord& record) {
    std::vector<Word> words;
    while (parser.NextWord(record))
        words.push_back({std::string(record.text), record.position, record.offset, record.span,
                         record.tag, record.length});
    return words;
}

inline std::vector<std::string> texts(const std::vector<Word>& words) {
    std::vector<std::string> out;
    for (const Word& w : words) out.push_back(w.text);
    return out;
}

// The characters [offset, offset + count) of UTF-8 text, counted in code points: what the
// viewer selects for a word.
inline std::string charSlice(const std::string& text, std::size_t offset, std::size_t count) {
    std::size_t pos = 0;
    std::size_t index = 0;
    std::size_t begin = std::string::npos;
    while (pos < text.size() && index < offset + count) {
        if (index == offset) begin = pos;
        textfold::nextUtf8(text, pos);
        ++index;
    }
    if (begin == std::string::npos) return index == offset ? std::string() : "<out of range>";
    return text.substr(begin, pos - begin);
}

// A table with the Latin-1 letters, as a French or German language file would have.
inline textfold::CharTable latinTable() {
    textfold::CharTable t = textfold::englishTable();
    for (int c = 0xC0; c <= 0xFF; ++c) {
        if (c == 0xD7 || c == 0xF7) continue;
        t[c] = static_cast<unsigned char>(c >= 0xE0 && c != 0xFF ? c - 0x20 : c);
    }
    return t;
}

// A one-page PDF showing `text`, with a correct cross-reference table.
inline std::string tinyPdf(const std::string& text) {
    const std::string content = "BT /F1 18 Tf 20 70 Td (" + text + ") Tj ET";
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 400 144] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < std::size(objects); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 6\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace wordmill_test
