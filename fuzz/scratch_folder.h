#pragma once
// The folder of files a fuzz target writes for one input: one per process,
// under /dev/shm, made at the first use and removed when the process exits.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace wright::fuzzing {

inline const std::string& scratchFolder();

inline void removeScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
}

inline const std::string& scratchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/dev/shm/wright-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (made == nullptr) std::abort();
        return std::string(made);
    }();
    // Registered once the folder's name is complete, so it runs before the
    // name is destroyed.
    static const bool removedAtExit = std::atexit(removeScratchFolder) == 0;
    (void)removedAtExit;
    return folder;
}

inline std::string scratchPath(const char* name) { return scratchFolder() + "/" + name; }

}  // namespace wright::fuzzing
