// Process priority: "idle" while the window is not active and while indexes are loaded,
// unloaded or built, "normal" otherwise. Best effort, never an error to the caller.
//
// Linux lets an ordinary user lower the CPU priority (raise the nice value) but not raise
// it again unless RLIMIT_NICE or CAP_SYS_NICE allows it. So the CPU priority is lowered
// only when it can be restored; otherwise only the I/O priority changes (the idle I/O
// class and back to best-effort, which any user may switch both ways).
//
// Thread: the calls change the whole process (every thread's nice value and I/O class);
// they may come from the main thread and the notifier thread.
#pragma once

namespace vellumar {

enum class PriorityClass { Normal = 32, Idle = 64 };

class ProcessPriority {
  public:
    static void set(PriorityClass priority);
    static PriorityClass current();
    // Whether the CPU part can be switched back and forth here (for tests and the notes).
    static bool cpuSwitchIsReversible();
};

// Idle for the lifetime of the scope, then normal again, also when an exception leaves it.
class IdlePriorityScope {
  public:
    IdlePriorityScope() { ProcessPriority::set(PriorityClass::Idle); }
    ~IdlePriorityScope() { ProcessPriority::set(PriorityClass::Normal); }
    IdlePriorityScope(const IdlePriorityScope&) = delete;
    IdlePriorityScope& operator=(const IdlePriorityScope&) = delete;
};

}  // namespace vellumar
