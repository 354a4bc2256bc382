// Change notifications on folders, in the shape the notifier polls them.
//
// A handle watches one folder (not its subfolders) for changes of file names and of file
// contents. It becomes signalled when such a change happens and stays signalled until it
// is re-armed with FindNextChangeNotification; changes made meanwhile are not counted
// twice. WaitForMultipleObjects with a time-out of 0 is a poll: it reports the first
// signalled handle of the run it is given, or kWaitTimeout.
//
// ChangeSource is the seam: InotifyChangeSource is the real one, tests use their own.
// Implementations are thread-safe (the notifier calls them from both of its threads, under
// its own lock as well).
#pragma once

#include <cstdint>
#include <string>

namespace vellumar {

using ChangeHandle = std::int32_t;
inline constexpr ChangeHandle kInvalidChangeHandle = -1;

inline constexpr std::uint32_t kWaitTimeout = 0x102;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
inline constexpr std::uint32_t kMaxWaitHandles = 64;

class ChangeSource {
  public:
    virtual ~ChangeSource() = default;

    // A new handle on folder, or kInvalidChangeHandle with error set to the errno value of
    // the refusal (ENOSPC: the system's watch limit; EACCES; ENOENT; ENOTDIR).
    virtual ChangeHandle FindFirstChangeNotification(const std::string& folder, int& error) = 0;

    // Re-arms a signalled handle. False for a handle that is not open.
    virtual bool FindNextChangeNotification(ChangeHandle handle) = 0;

    // Closes a handle. False for a handle that is not open.
    virtual bool FindCloseChangeNotification(ChangeHandle handle) = 0;

    // The index (0 .. count - 1) of the first signalled handle among handles[0 .. count-1],
    // kWaitTimeout when none is, kWaitFailed for count 0 or above kMaxWaitHandles. Only a
    // time-out of 0 (a poll) is supported.
    virtual std::uint32_t WaitForMultipleObjects(std::uint32_t count, const ChangeHandle* handles,
                                                 std::uint32_t timeoutMs = 0) = 0;

    // False when certainly no handle is signalled, so that a polling pass over many
    // thousands of idle folders costs one call instead of one per batch of handles.
    virtual bool AnySignalled() { return true; }
};

}  // namespace vellumar
