// The hot-key library. The program installs no global hot key of its own on Linux (the
// desktop's keyboard settings do that job); the one call it makes, at shutdown, is
// UnHook, which is harmless when no hook was installed.
//
// Thread-safe.
#pragma once

namespace snapcatch {

// Removes the hot key hook when there is one; true when one was removed.
bool UnHook();

}  // namespace snapcatch
