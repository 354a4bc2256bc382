#include "index/IndexFolder.h"

#include "index/IndexDefinition.h"
#include "scope/ScopeStrings.h"

#include <algorithm>
#include <system_error>

namespace vellumar {

bool isUsableIndexFolder(const std::string& folder) {
    if (folder.empty() || folder.front() != '/') return false;
    return folder.find_first_not_of('/') != std::string::npos;
}

std::vector<std::filesystem::path> listDefinitionFiles(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    if (!isUsableIndexFolder(folder)) return files;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (name.size() <= kDefinitionExtension.size()) continue;
        if (asciiLower(name.substr(name.size() - kDefinitionExtension.size())) !=
            kDefinitionExtension)
            continue;
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        const std::string la = asciiLower(a.filename().string()),
                          lb = asciiLower(b.filename().string());
        return la != lb ? la < lb : a.filename().string() < b.filename().string();
    });
    return files;
}

}  // namespace vellumar
