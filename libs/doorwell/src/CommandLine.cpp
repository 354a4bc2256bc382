#include "doorwell/CommandLine.h"

namespace doorwell {

std::optional<std::vector<std::string>> splitCommandLine(std::string_view line,
                                                         std::string* error) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    const auto fail = [&](const char* why) -> std::optional<std::vector<std::string>> {
        if (error) *error = why;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            if (++i >= line.size()) return fail("the command line ends in a backslash");
            word += line[i];
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos) return fail("a single quote is not closed");
            word.append(line.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i >= line.size()) return fail("a double quote is not closed");
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size() &&
                    std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)
                    ++i;
                word += line[i];
            }
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    if (words.empty()) return fail("the command line is empty");
    return words;
}

std::vector<std::string> argumentsForFile(const std::vector<std::string>& command,
                                          const std::string& file) {
    const std::string name = (!file.empty() && file[0] != '/') ? "./" + file : file;
    std::vector<std::string> argv;
    bool placed = false;
    for (const std::string& arg : command) {
        if (arg == "%f" || arg == "%F" || arg == "%u" || arg == "%U") {
            argv.push_back(arg[1] == 'u' || arg[1] == 'U' ? fileUri(name) : name);
            placed = true;
            continue;
        }
        std::string out;
        bool dropped = false;
        for (std::size_t i = 0; i < arg.size(); ++i) {
            if (arg[i] != '%' || i + 1 >= arg.size()) {
                out += arg[i];
                continue;
            }
            const char code = arg[++i];
            if (code == '%') {
                out += '%';
            } else if (code == 'f' || code == 'F') {
                out += name;
                placed = true;
            } else if (code == 'u' || code == 'U') {
                out += fileUri(name);
                placed = true;
            } else {
                dropped = true;  // %i, %c, %k and the deprecated codes
            }
        }
        if (!out.empty() || !dropped) argv.push_back(std::move(out));
    }
    if (!placed) argv.push_back(name);
    return argv;
}

std::string percentEncodePath(std::string_view path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string fileUri(std::string_view absolutePath) {
    return "file://" + percentEncodePath(absolutePath);
}

std::optional<std::string> percentDecode(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int hi = digit(text[i + 1]), lo = digit(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

}  // namespace doorwell
