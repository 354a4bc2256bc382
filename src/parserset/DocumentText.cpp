#include "parserset/DocumentText.h"

#include <fstream>

namespace vellumar {

namespace {

constexpr std::size_t kCutSearch = 64 * 1024;

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

void cutDocumentText(std::string& text, std::uint64_t maxBytes) {
    if (text.size() <= maxBytes) return;
    std::size_t cut = static_cast<std::size_t>(maxBytes);
    const std::size_t floor = cut > kCutSearch ? cut - kCutSearch : 0;
    std::size_t at = cut;
    while (at > floor && text[at - 1] != '\n' && text[at - 1] != ' ' && text[at - 1] != '\t' &&
           text[at - 1] != '\r')
        --at;
    if (at > floor) {
        cut = at;
    } else {
        // One long run without blanks: at least keep every character whole.
        while (cut > 0 && isContinuationByte(text[cut])) --cut;
    }
    text.resize(cut);
    if (text.capacity() - text.size() > (1u << 20)) text.shrink_to_fit();
}

std::optional<std::string> readDocumentHead(const std::filesystem::path& file,
                                            std::uint64_t maxBytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    // One byte more than kept tells the cut where the following character starts.
    std::string head(static_cast<std::size_t>(maxBytes) + 1, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (in.bad()) return std::nullopt;
    head.resize(static_cast<std::size_t>(in.gcount()));
    cutDocumentText(head, maxBytes);
    return head;
}

bool trimCutTextFile(const std::filesystem::path& file) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) return false;
    const std::uintmax_t tailStart = size > kCutSearch ? size - kCutSearch : 0;
    std::ifstream in(file, std::ios::binary);
    if (!in.seekg(static_cast<std::streamoff>(tailStart))) return false;
    std::string tail(static_cast<std::size_t>(size - tailStart), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    if (static_cast<std::size_t>(in.gcount()) != tail.size()) return false;
    in.close();
    // The cut as if the file went on: the last byte is treated as the start of what was
    // lost, so a file ending on a blank keeps everything before it.
    std::string probe = tail + 'x';
    cutDocumentText(probe, tail.size());
    if (probe.size() == tail.size()) return true;
    std::filesystem::resize_file(file, tailStart + probe.size(), ec);
    return !ec;
}

std::string truncationNote(std::uint64_t maxBytes) {
    const std::string amount = maxBytes >= (1u << 20) ? std::to_string(maxBytes >> 20) + " MB"
                               : maxBytes >= 1024     ? std::to_string(maxBytes >> 10) + " KB"
                                                      : std::to_string(maxBytes) + " bytes";
    return "only the first " + amount + " of its text were indexed";
}

}  // namespace vellumar
