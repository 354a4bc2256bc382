// The advanced search's element tree: the element paths an index recorded (/html/body/p,
// /orders/order/customer, ...) turned into a tree of element names, built once per index
// through a THashList of path prefixes. The engine lists the paths parents first, each
// sharing at least its leading "/" with the one before; the build relies on that order
// and gives up (no tree) when the paths break it.
//
// Pure functions over the given path source; thread-safe.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vellcore/IndexObject.h"

namespace vellumar {

struct ElementNode {
    std::string name;  // the element's name, the node's caption
    int parent = -1;   // index of the parent node, -1 for a top-level node
};

// Nodes in the order they were made: every parent before its children.
using ElementTree = std::vector<ElementNode>;

// One path per call: first is true on the first call only. False when there are no more.
using ElementPathSource = std::function<bool(bool first, std::string& path)>;

// Reads up to count paths; stops early at the end of the source or at a path shorter than
// 2 characters. Nothing when the paths break the engine's order (a path sharing nothing
// with the previous one, or sharing elements the last added node does not descend from).
std::optional<ElementTree> buildElementTree(const ElementPathSource& next, int count);

// The tree of an index opened for searching; nothing when it has no tags or the build
// gave up (the advanced search is then disabled).
std::optional<ElementTree> buildElementTree(vellcore::IndexObject& index);

// The selected element: with fullPath "/" + the names from the top down joined by "/"
// (/html/body/p), else "//" + the node's name (the element at any depth).
std::string elementPathOf(const ElementTree& tree, int node, bool fullPath);

}  // namespace vellumar
