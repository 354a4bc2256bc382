// Keeps the chosen folder of a folder tree in view while the tree's file-system model
// reads the folders above and around it in the background: rows that arrive later push
// the folder out of view, so for a short while after showing the tree scrolls back to it,
// until the user scrolls or clicks there.
//
// Used by the folder dialogs; main thread only.
#pragma once

class QTreeView;

namespace vellumar {

// To be called after the tree's current index was set to the chosen folder; the follower
// lives as long as the view.
void followCurrentFolder(QTreeView& view);

}  // namespace vellumar
