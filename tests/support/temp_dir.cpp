#include "tests/support/temp_dir.h"

#include <fstream>
#include <stdexcept>

namespace wright::testing {

TempDir::TempDir() {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary directory");
}

std::string TempDir::path() const {
    return dir_.path().toStdString();
}

std::string TempDir::file(const std::string& name) const {
    return path() + "/" + name;
}

std::string readBytes(const std::string& path) {
    // One read of the whole file: the map archives are 22 MB.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in || in.peek() != std::ifstream::traits_type::eof()) throw std::runtime_error("cannot read " + path + " whole");
    return bytes;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace wright::testing
