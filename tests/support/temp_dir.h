#pragma once
// Files for a test: a fresh directory removed at the end, and whole-file
// reads and writes of bytes.

#include <QTemporaryDir>

#include <string>

namespace wright::testing {

class TempDir {
public:
    TempDir();
    std::string path() const;
    std::string file(const std::string& name) const;

private:
    QTemporaryDir dir_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

}  // namespace wright::testing
