#include "parserset/CompressedDocument.h"

#include "archive/ArchiveReader.h"

namespace vellumar {

bool isCompressedDocument(const std::filesystem::path& file) {
    return arcread::isCompressedFileName(file);
}

std::filesystem::path innerDocumentName(const std::filesystem::path& file) {
    return arcread::decompressedName(file);
}

std::optional<DecompressedDocument> decompressDocument(const std::filesystem::path& file,
                                                       const std::filesystem::path& folder,
                                                       std::uint64_t maxBytes, std::string& problem,
                                                       const std::function<bool()>& keepGoing) {
    problem.clear();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    DecompressedDocument out;
    out.file = folder / innerDocumentName(file);
    const arcread::Status status =
        arcread::decompressFile(file, out.file, maxBytes, out.truncated, keepGoing);
    switch (status) {
        case arcread::Status::Ok:
            return out;
        case arcread::Status::Damaged:
            problem = "the compressed file is damaged";
            break;
        case arcread::Status::WriteFailed:
            problem = "the compressed file cannot be unpacked into " + folder.string();
            break;
        default:
            break;  // unreadable like any file that cannot be opened, or cancelled
    }
    return std::nullopt;
}

}  // namespace vellumar
