#include "search/ElementTree.h"

#include <algorithm>
#include <memory>
#include <new>

#include "scope/HashList.h"

namespace vellumar {

namespace {

constexpr std::int32_t kPrefixSlots = 1024;

// A path prefix seen while the tree is built.
class TagItem : public THashListItem {
  public:
    explicit TagItem(std::string key) : key_(std::move(key)) {}
    const std::string& GetKey() const override { return key_; }

  private:
    std::string key_;
};

class TreeBuilder {
  public:
    TreeBuilder() : prefixes_(kPrefixSlots), nodeOfSlot_(kPrefixSlots, 0) {}

    // False when the path breaks the order the build relies on.
    bool add(const std::string& path) {
        const bool first = previous_.empty();
        const std::size_t common = commonPrefix(path, previous_);
        const std::string previous = std::move(previous_);
        previous_ = path;
        if (!first && common == 0) return false;
        if (!first && path.size() == common) return true;  // nothing new in it

        // Element boundaries: the end of every element name ("/a/b" ends at 2 and 4).
        std::vector<std::size_t> ends;
        for (std::size_t i = 1; i < path.size(); ++i)
            if (path[i] == '/') ends.push_back(i);
        ends.push_back(path.size());
        for (std::size_t k = 0; k < ends.size(); ++k) {
            const std::size_t from = k == 0 ? 1 : ends[k - 1] + 1;
            if (ends[k] <= from) return true;  // an empty element name: not a usable path
        }

        // The deepest element both paths share, if any; the walk goes on below it.
        std::size_t k = 0;
        int parent = -1;
        if (!first) {
            std::size_t shared = 0;
            while (shared < ends.size() && ends[shared] <= common &&
                   (ends[shared] == previous.size() || previous[ends[shared]] == '/'))
                ++shared;
            if (shared > 0) {
                const int node = nodeOf(path.substr(0, ends[shared - 1]));
                if (node < 0 || !descendsFrom(lastAdded_, node)) return false;
                parent = node;
                k = shared;
            }
        }
        for (; k < ends.size(); ++k) {
            std::string prefix = path.substr(0, ends[k]);
            if (const int known = nodeOf(prefix); known >= 0) {
                parent = known;
                continue;
            }
            const std::size_t from = k == 0 ? 1 : ends[k - 1] + 1;
            tree_.push_back(ElementNode{path.substr(from, ends[k] - from), parent});
            parent = static_cast<int>(tree_.size()) - 1;
            items_.push_back(std::make_unique<TagItem>(std::move(prefix)));
            const std::int32_t slot = prefixes_.AddWithCompanion(items_.back().get(), &nodeOfSlot_);
            nodeOfSlot_[static_cast<std::size_t>(slot)] = parent + 1;
            lastAdded_ = parent;
        }
        return true;
    }

    ElementTree take() { return std::move(tree_); }

  private:
    static std::size_t commonPrefix(const std::string& a, const std::string& b) {
        const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
        return static_cast<std::size_t>(ia - a.begin());
    }

    int nodeOf(const std::string& prefix) const {
        const std::int32_t slot = prefixes_.SlotOf(prefix);
        return slot < 0 ? -1 : nodeOfSlot_[static_cast<std::size_t>(slot)] - 1;
    }

    bool descendsFrom(int node, int ancestor) const {
        for (; node >= 0; node = tree_[static_cast<std::size_t>(node)].parent)
            if (node == ancestor) return true;
        return false;
    }

    THashList prefixes_;
    std::vector<std::int32_t> nodeOfSlot_;  // node + 1 by slot, 0 for none
    std::vector<std::unique_ptr<TagItem>> items_;
    ElementTree tree_;
    std::string previous_;
    int lastAdded_ = -1;
};

}  // namespace

std::optional<ElementTree> buildElementTree(const ElementPathSource& next, int count) {
    try {
        TreeBuilder builder;
        std::string path;
        for (int i = 0; i < count; ++i) {
            if (!next(i == 0, path) || path.size() < 2) break;
            if (!builder.add(path)) return std::nullopt;
        }
        return builder.take();
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const EHashListError&) {
        return std::nullopt;
    }
}

std::optional<ElementTree> buildElementTree(vellcore::IndexObject& index) {
    const int count = index.GetTagCount();
    if (count <= 0) return std::nullopt;
    auto tree = buildElementTree(
        [&](bool first, std::string& path) { return index.EnumElementPaths(first, path); }, count);
    index.ClearError();
    if (tree && tree->empty()) return std::nullopt;
    return tree;
}

std::string elementPathOf(const ElementTree& tree, int node, bool fullPath) {
    if (node < 0 || static_cast<std::size_t>(node) >= tree.size()) return {};
    if (!fullPath) return "//" + tree[static_cast<std::size_t>(node)].name;
    std::vector<const std::string*> names;
    for (int n = node; n >= 0; n = tree[static_cast<std::size_t>(n)].parent)
        names.push_back(&tree[static_cast<std::size_t>(n)].name);
    std::string path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) path += "/" + **it;
    return path;
}

}  // namespace vellumar
