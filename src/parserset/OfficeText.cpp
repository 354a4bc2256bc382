#include "parserset/OfficeText.h"

#include <cctype>
#include <vector>

#include "archive/ArchiveReader.h"
#include "wordmill/XmlText.h"

namespace vellumar {

namespace {

// One XML part.
constexpr std::size_t kLargestPart = 64u << 20;

// Reads one part of the container; on failure problem says why.
bool readPart(arcread::ArchiveReader& zip, const std::string& name, std::string& out,
              std::string& problem) {
    switch (zip.ReadMember(name, kLargestPart, out)) {
        case arcread::Status::Ok:
            return true;
        case arcread::Status::TooLarge:
            problem = "its text part " + name + " is larger than " +
                      std::to_string(kLargestPart >> 20) + " MB";
            break;
        case arcread::Status::NotFound:
            problem = "it has no " + name;
            break;
        case arcread::Status::Encrypted:
            problem = "it is encrypted";
            break;
        default:
            problem = "it is damaged";
            break;
    }
    return false;
}

wordmill::XmlTextRules docxRules() {
    wordmill::XmlTextRules r;
    r.textElements = {"w:t"};
    r.skipElements = {"w:instrText", "w:delText"};
    r.lineElements = {"w:p"};
    r.tabElements = {"w:tab"};
    r.breakElements = {"w:br", "w:cr"};
    return r;
}

wordmill::XmlTextRules odtRules() {
    wordmill::XmlTextRules r;
    r.textElements = {"office:body"};
    r.lineElements = {"text:p", "text:h"};
    r.spaceElements = {"text:s"};
    r.tabElements = {"text:tab"};
    r.breakElements = {"text:line-break"};
    return r;
}

wordmill::XmlTextRules xhtmlRules() {
    wordmill::XmlTextRules r;
    r.textElements = {"body"};
    r.skipElements = {"script", "style"};
    r.lineElements = {"p",  "div", "h1", "h2",         "h3",  "h4", "h5",
                      "h6", "li",  "tr", "blockquote", "pre", "dt", "dd"};
    r.tabElements = {"td", "th"};
    r.breakElements = {"br", "hr"};
    r.localNames = true;
    r.htmlEntities = true;
    return r;
}

// The value of attribute `name` inside one tag's text, or empty.
std::string attributeOf(std::string_view tag, std::string_view name) {
    std::size_t p = 0;
    while ((p = tag.find(name, p)) != std::string_view::npos) {
        const bool boundary = p > 0 && (tag[p - 1] == ' ' || tag[p - 1] == '\t' ||
                                        tag[p - 1] == '\n' || tag[p - 1] == '\r');
        std::size_t q = p + name.size();
        while (q < tag.size() && tag[q] == ' ') ++q;
        if (boundary && q < tag.size() && tag[q] == '=') {
            ++q;
            while (q < tag.size() && tag[q] == ' ') ++q;
            if (q < tag.size() && (tag[q] == '"' || tag[q] == '\'')) {
                const std::size_t close = tag.find(tag[q], q + 1);
                if (close == std::string_view::npos) return {};
                return std::string(tag.substr(q + 1, close - q - 1));
            }
        }
        p += name.size();
    }
    return {};
}

// The tags named `element` (local name, any prefix) in document order, as raw tag text.
std::vector<std::string_view> tagsNamed(std::string_view xml, std::string_view element) {
    std::vector<std::string_view> out;
    std::size_t p = 0;
    while ((p = xml.find('<', p)) != std::string_view::npos) {
        const std::size_t end = xml.find('>', p);
        if (end == std::string_view::npos) break;
        std::string_view tag = xml.substr(p + 1, end - p - 1);
        std::size_t nameEnd = 0;
        while (nameEnd < tag.size() && tag[nameEnd] != ' ' && tag[nameEnd] != '/' &&
               tag[nameEnd] != '\t' && tag[nameEnd] != '\n' && tag[nameEnd] != '\r')
            ++nameEnd;
        std::string_view name = tag.substr(0, nameEnd);
        const std::size_t colon = name.rfind(':');
        if (colon != std::string_view::npos) name.remove_prefix(colon + 1);
        if (name == element) out.push_back(tag);
        p = end + 1;
    }
    return out;
}

std::string percentDecoded(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "OEBPS/content.opf" + "text/ch1.xhtml" -> "OEBPS/text/ch1.xhtml"; ".." parts resolved.
std::string resolveHref(const std::string& base, std::string href) {
    const std::size_t hash = href.find('#');
    if (hash != std::string::npos) href.resize(hash);
    href = percentDecoded(href);
    const std::size_t slash = base.rfind('/');
    std::string joined = slash == std::string::npos ? href : base.substr(0, slash + 1) + href;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t next = joined.find('/', start);
        if (next == std::string::npos) next = joined.size();
        const std::string part = joined.substr(start, next - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = next + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

std::optional<std::string> epubText(arcread::ArchiveReader& zip, std::string& problem,
                                    std::uint64_t textLimit) {
    std::string container;
    if (!readPart(zip, "META-INF/container.xml", container, problem)) return std::nullopt;
    const auto rootfiles = tagsNamed(container, "rootfile");
    if (rootfiles.empty()) {
        problem = "its container.xml names no package";
        return std::nullopt;
    }
    const std::string opfPath = percentDecoded(attributeOf(rootfiles.front(), "full-path"));
    std::string opf;
    if (!readPart(zip, opfPath, opf, problem)) return std::nullopt;

    std::vector<std::pair<std::string, std::string>> manifest;  // id, href
    for (std::string_view item : tagsNamed(opf, "item"))
        manifest.emplace_back(attributeOf(item, "id"), attributeOf(item, "href"));
    const wordmill::XmlTextRules rules = xhtmlRules();
    std::string text;
    for (std::string_view ref : tagsNamed(opf, "itemref")) {
        const std::string id = attributeOf(ref, "idref");
        for (const auto& [itemId, href] : manifest) {
            if (itemId != id) continue;
            std::string chapter;
            if (zip.ReadMember(resolveHref(opfPath, href), kLargestPart, chapter) ==
                arcread::Status::Ok) {
                text += wordmill::extractXmlText(chapter, rules);
                text += '\n';
                if (text.size() > textLimit) return text;
            }
            break;
        }
    }
    return text;
}

}  // namespace

std::optional<std::string> convertOfficeDocument(const std::filesystem::path& file,
                                                 DocumentKind kind, std::string& problem,
                                                 std::uint64_t textLimit) {
    problem.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;  // not there: silent
    auto zip = arcread::ArchiveReader::Open(file);
    if (!zip) {
        problem = "it is damaged (not a readable zip container)";
        return std::nullopt;
    }
    std::string part;
    switch (kind) {
        case DocumentKind::Docx:
            if (!readPart(*zip, "word/document.xml", part, problem)) return std::nullopt;
            return wordmill::extractXmlText(part, docxRules());
        case DocumentKind::Odt:
            if (!readPart(*zip, "content.xml", part, problem)) return std::nullopt;
            return wordmill::extractXmlText(part, odtRules());
        case DocumentKind::Epub:
            return epubText(*zip, problem, textLimit);
        default:
            return std::nullopt;
    }
}

}  // namespace vellumar
