#include "lang/SampleLanguages.h"

namespace vellumar {

namespace {

// Latin-1 letters 0xC0-0xFF and the base capital each is indexed under (0: not a letter).
constexpr char kBase[64 + 1] =
    "AAAAAA"
    "\xC6"
    "CEEEEIIII"
    "DNOOOOO"
    "\0"
    "OUUUUY"
    "\xDE"
    "\xDF"
    "AAAAAA"
    "\xC6"
    "CEEEEIIII"
    "DNOOOOO"
    "\0"
    "OUUUUY"
    "\xDE"
    "Y";

static_assert(kBase[31] == '\xDF' && kBase[63] == 'Y', "one entry per Latin-1 letter");

textfold::CharTable withBaseLetters() {
    textfold::CharTable t = textfold::englishTable();
    for (int c = 0xC0; c <= 0xFF; ++c) t[c] = static_cast<unsigned char>(kBase[c - 0xC0]);
    t[0xB5] = 0;  // micro sign
    return t;
}

}  // namespace

textfold::CharTable germanTable() {
    textfold::CharTable t = withBaseLetters();
    t[0xC4] = t[0xE4] = 0xC4;  // Ä ä
    t[0xD6] = t[0xF6] = 0xD6;  // Ö ö
    t[0xDC] = t[0xFC] = 0xDC;  // Ü ü
    t[0xDF] = 0xDF;            // ß has no capital in this range
    return t;
}

textfold::CharTable frenchTable() { return withBaseLetters(); }

std::vector<SampleLanguage> sampleLanguages() {
    return {{"German.LNG", "Deutsch", germanTable()}, {"French.LNG", "Francais", frenchTable()}};
}

}  // namespace vellumar
