#pragma once
// A save run in a child process that is ended, as by a crash, right after its
// n-th write or sync (of the journal, the folder or the archive): the child
// aborts as the next write-side call begins. What the child leaves on the disk
// is what a killed program leaves.

#include "fileio/write_faults.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wright::arcwright::testing {

enum class ChildEnd { Completed, Crashed, Failed };

// `save` returns whether it succeeded; it runs with the crash armed from the
// start, so it must not write anything before the save itself.
inline ChildEnd runCrashingAfter(int n, const std::function<bool()>& save) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        wright::WriteFaults::endProcessAfter(n);
        bool saved = false;
        try {
            saved = save();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "the save threw: %s\n", error.what());
        }
        std::fflush(nullptr);
        std::_Exit(saved ? 0 : 3);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        ADD_FAILURE() << "no child process";
        return ChildEnd::Failed;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ChildEnd::Completed;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT) return ChildEnd::Crashed;
    ADD_FAILURE() << "the save in the child failed (status " << status << ")";
    return ChildEnd::Failed;
}

}  // namespace wright::arcwright::testing
