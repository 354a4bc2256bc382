// Field numbers for element paths and tag names, and the element-path patterns of
// queries (/a/b, //b). A field's name is what the parser reported: an XML element path
// such as "/orders/order/customer" (perhaps under a label: "/mail/orders/order") or an
// HTML tag name such as "title", which counts as the path "/title".
//
// Threads: owned by one IndexObject.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Words.h"

namespace vellcore {

constexpr int kMaxFields = 65535;
constexpr std::size_t kMaxFieldNameBytes = 1024;

// An element-path pattern: steps of names ('*' and '?' allowed, ASCII case ignored), each
// reached as a child ("/") or at any depth below ("//"). It selects the elements it names
// and everything below them.
struct PathPattern {
    struct Step {
        bool anyDepth = false;
        std::string name;
    };
    std::vector<Step> steps;
};

// False with a message for a malformed pattern (empty, or an empty element name).
bool parsePathPattern(std::string_view text, PathPattern& pattern, std::string& error);

// The element names of a field name: "/a//b/" gives a, b; "title" gives title.
std::vector<std::string_view> pathComponents(std::string_view fieldName);

bool patternSelects(const PathPattern& pattern, const std::vector<std::string_view>& components);

class FieldTable {
  public:
    // 0 when the name is not registered.
    int find(std::string_view name) const;
    // Registers a name and returns its number; 0 when the table is full or the name
    // cannot be a field (empty, too long, holding a line break or NUL).
    int add(std::string_view name);
    int size() const { return static_cast<int>(names_.size()); }
    void markUsed(int field);

    // Element paths of the fields that carried words, each once, in tree order (parents
    // before children, siblings in byte order).
    std::vector<std::string> elementPaths() const;
    // The numbers of the fields (used or not) whose path the pattern selects, ascending.
    std::vector<int> select(const PathPattern& pattern) const;

    bool dirty() const { return dirty_; }
    void clearDirty() { dirty_ = false; }
    std::string serialise() const;
    bool parse(std::string_view text);
    void clear();

  private:
    std::vector<std::string> names_;  // field f is names_[f - 1]
    std::vector<char> used_;
    std::unordered_map<std::string, int, StringHash, std::equal_to<>> numbers_;
    bool dirty_ = false;
};

}  // namespace vellcore
