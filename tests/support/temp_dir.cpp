#include "tests/support/temp_dir.h"

#include <fstream>
#include <iterator>
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
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace wright::testing
