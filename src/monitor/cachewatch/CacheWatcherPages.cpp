#include "monitor/cachewatch/CacheWatcherPages.h"

#include <cctype>

#include "platform/ProfileFile.h"

namespace vellumar::cachewatch {

const char* const kCreateIndexPage =
    "<html><center><font size=\"+1\"><hr><b>No Cache Watcher Index exists. To enable searches "
    "press \"Create Index\" button below.</b></font><hr><br><form "
    "action=\"Create_Cache_Watcher_Index\"><input type=\"submit\" value=\"Create "
    "Index\"></form><br></center></html>";
const char* const kSearchErrorPage =
    "<html><center><font size=\"+1\"><font color=#ff0000><hr><b>Searching "
    "Error!!!</b></font></font></center><hr><br></html>";
const char* const kNothingFoundPage =
    "<html><center><font size=\"+1\"><hr><b>There is nothing found for "
    "you.</b></font></center><hr><br></html>";
const char* const kCannotCreateResultFilePage =
    "<html><center><font size=\"+1\"><font color=#ff0000><hr><b>Error! Can not create file with "
    "search results.</b></font></font></center><hr><br></html>";
const char* const kCannotWriteResultFilePage =
    "<html><center><font size=\"+1\"><font color=#ff0000><hr><b>Error! Can not write search "
    "results to file.</b></font></font></center><hr><br></html>";

std::string noBrowserPage(const std::vector<std::string>& browsersLookedFor) {
    std::string names;
    for (const std::string& browser : browsersLookedFor) {
        if (!names.empty()) names += " nor ";
        names += escapeHtml(browser);
    }
    return "<html><center><font size=\"+1\"><hr><b>You have not neither " + names +
           " installed on your computer.</b></font></center><hr><br></html>";
}

StartPageKind chooseStartPage(bool indexExists, bool anyCacheFound) {
    if (indexExists) return StartPageKind::SearchForm;
    return anyCacheFound ? StartPageKind::CreateIndex : StartPageKind::NoBrowser;
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string urlDecode(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 &&
                   hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

FormFields parseFormFields(std::string_view encoded) {
    FormFields fields;
    std::size_t start = 0;
    while (start <= encoded.size()) {
        std::size_t end = encoded.find('&', start);
        if (end == std::string_view::npos) end = encoded.size();
        const std::string_view pair = encoded.substr(start, end - start);
        if (!pair.empty()) {
            const std::size_t eq = pair.find('=');
            if (eq == std::string_view::npos)
                fields.emplace_back(urlDecode(pair), std::string());
            else
                fields.emplace_back(urlDecode(pair.substr(0, eq)), urlDecode(pair.substr(eq + 1)));
        }
        start = end + 1;
    }
    return fields;
}

FormDecision decideFormSubmission(std::string_view action, const FormFields& fields,
                                  bool indexExists) {
    FormDecision decision;
    if (action == kCreateIndexAction) {
        decision.step = indexExists ? FormStep::ShowStartPage : FormStep::CreateIndex;
    } else if (action == kSearchAction) {
        if (!indexExists) {
            decision.step = FormStep::ShowCreatePage;
        } else {
            decision.step = FormStep::Search;
            for (const auto& [name, value] : fields) {
                if (name == kSearchField) {
                    decision.query = value;
                    break;
                }
            }
        }
    }
    return decision;
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string linkableAddress(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) return {};
    const std::string_view scheme = address.substr(0, colon);
    const bool web = equalsIgnoringCase(scheme, "http") || equalsIgnoringCase(scheme, "https") ||
                     equalsIgnoringCase(scheme, "ftp");
    if (!web || address.substr(colon).rfind("://", 0) != 0) return {};
    return std::string(address);
}

ResultPage::ResultPage(std::string_view query, std::int64_t entries, int files,
                       std::string_view errorLogNote) {
    std::string slot = "files";
    if (!errorLogNote.empty()) slot += " (" + escapeHtml(errorLogNote) + ")";
    text_ = "<HTML><TITLE>Searching results.</TITLE><font size =+1>For query:&quot;<b>" +
            escapeHtml(query) + "</b>&quot;<br> has been found <b>" + std::to_string(entries) +
            "</b>  entries in  <b>" + std::to_string(files) + "</b> " + slot +
            ".</font><hr><body bgcolor=\"#88CCFF\"><DL>";
}

void ResultPage::addUnreadableFile(std::string_view name) {
    text_ += "<DT><FONT SIZE=+1>\"" + escapeHtml(name) + "\"</FONT><DD>Can't open the file ";
}

void ResultPage::addFile(std::string_view name, std::string_view address, std::string_view linkText,
                         const std::vector<std::string>& passages) {
    const std::string text = escapeHtml(linkText.empty() ? name : linkText);
    const std::string link = linkableAddress(address);
    if (!link.empty())
        text_ += "<DT><FONT SIZE=+1><b><a href=\"" + escapeHtml(link) + "\">" + text +
                 "</a></b></FONT><DD><OL>";
    else
        text_ += "<DT><FONT SIZE=+1><b>" + text + "</b></FONT><DD><OL>";
    for (const std::string& passage : passages) text_ += "<LI>..." + passage + "...";
    const std::string shownName = escapeHtml(name);
    // Found files are absolute paths; anything else is shown without a link.
    if (!name.empty() && name.front() == '/')
        text_ += "</OL><DT><FONT SIZE =-1><i><A HREF = \"" + shownName + "\">" + shownName +
                 "</A></i></FONT><br><br>";
    else
        text_ += "</OL><DT><FONT SIZE =-1><i>" + shownName + "</i></FONT><br><br>";
}

}  // namespace vellumar::cachewatch
