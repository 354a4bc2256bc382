// The character tables of the sample languages that ship in the home folder
// (German.LNG "Deutsch", French.LNG "Francais"), made by vellumar-lngmake. Shared with
// the tests, which check that the shipped files are what the tool makes.
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <vector>

#include "textfold/TextFold.h"

namespace vellumar {

struct SampleLanguage {
    std::string fileName;  // "German.LNG"
    std::string name;      // "Deutsch"
    textfold::CharTable table;
};

// German keeps its umlauts apart (Ä, Ö, Ü, ß); other accented letters are indexed under
// their base letter. French indexes every accented letter under its base letter, so
// "élève" and "eleve" find each other. Digits are not word characters in either, as in
// the built-in table.
textfold::CharTable germanTable();
textfold::CharTable frenchTable();
std::vector<SampleLanguage> sampleLanguages();

}  // namespace vellumar
