// Another program with an index open for writing: a child process that takes the engine's
// write lock by storing a document it never commits, and keeps the lock until release()
// (or the end of the test). The tests' one helper for "someone else writes this index".
#pragma once

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "vellcore/IndexObject.h"

namespace testing_support {

class OtherWriter {
  public:
    explicit OtherWriter(const std::filesystem::path& index) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(done_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            auto writer = vellcore::CreateIndexObject(index.string(), 0);
            char ok = writer->Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, 50) &&
                              writer->BeginDocument("/elsewhere/held.txt", 1, 1) &&
                              writer->AddWord("held", 0, 0)
                          ? 'y'
                          : 'n';
            (void)!::write(ready[1], &ok, 1);
            (void)!::read(done_[0], &ok, 1);
            ::_exit(0);  // never commits
        }
        pollfd p{ready[0], POLLIN, 0};
        char ok = 'n';
        if (pid_ > 0 && ::poll(&p, 1, 30000) == 1) (void)!::read(ready[0], &ok, 1);
        holding_ = ok == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~OtherWriter() { release(); }
    OtherWriter(const OtherWriter&) = delete;
    OtherWriter& operator=(const OtherWriter&) = delete;

    // Whether the child holds the lock now.
    bool holding() const { return holding_; }
    // Lets the child end without committing; the lock is free afterwards.
    void release() {
        if (pid_ <= 0) return;
        (void)!::write(done_[1], "x", 1);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        holding_ = false;
        ::close(done_[0]);
        ::close(done_[1]);
    }

  private:
    pid_t pid_ = -1;
    int done_[2] = {-1, -1};
    bool holding_ = false;
};

}  // namespace testing_support
