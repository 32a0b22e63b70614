#pragma once
// The whole of a file in one read: the full-size archives are 22 MB, mostly
// holes, and are compared whole after every refused or undone save.

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace wright::arcwright::testing {

inline std::string fileBytes(const std::string& path) {
    std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(path)), '\0');
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot read " + path);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (got != bytes.size()) throw std::runtime_error("short read of " + path);
    return bytes;
}

}  // namespace wright::arcwright::testing
