// vellumar-lngmake: writes index language files.
//
//   vellumar-lngmake --samples FOLDER         German.LNG and French.LNG into FOLDER
//   vellumar-lngmake FILE NAME BASE [EXTRA]   a language named NAME from the table BASE
//                                             (english, german, french); EXTRA lists more
//                                             word characters, indexed as themselves
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "lang/SampleLanguages.h"
#include "lang/TLangStorage.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: vellumar-lngmake --samples FOLDER\n"
                 "       vellumar-lngmake FILE NAME english|german|french [EXTRA-CHARACTERS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "--samples") == 0) {
            for (const auto& lang : vellumar::sampleLanguages())
                vellumar::writeLangFile(std::filesystem::path(argv[2]) / lang.fileName, lang.name,
                                        lang.table);
            return 0;
        }
        if (argc < 4 || argc > 5) return usage();
        const std::string base = argv[3];
        textfold::CharTable table;
        if (base == "english")
            table = textfold::englishTable();
        else if (base == "german")
            table = vellumar::germanTable();
        else if (base == "french")
            table = vellumar::frenchTable();
        else
            return usage();
        if (argc == 5) {
            const std::string extra = argv[4];
            std::size_t pos = 0;
            while (pos < extra.size()) {
                const char32_t cp = textfold::nextUtf8(extra, pos);
                if (cp < 256) table[cp] = static_cast<unsigned char>(cp);
            }
        }
        vellumar::writeLangFile(argv[1], argv[2], table);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vellumar-lngmake: %s\n", e.what());
        return 1;
    }
}
