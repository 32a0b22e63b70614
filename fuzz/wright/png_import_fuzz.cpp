// A PNG of arbitrary bytes turned back into a picture's pixel bytes, as
// `wright img import` does: the input is the PNG, imported into a generated
// picture of 4 x 3 pixels behind a 12-byte header, with map.pal beside it,
// in a folder of this process under /dev/shm.
//
// Properties: wright never crashes and ends with 0 (done) or 1 (refused); a
// dry run writes nothing; the import accepts and refuses as its dry run did;
// a refused import leaves every file as it was; an accepted one keeps the
// picture's length and header, changes exactly as many pixel bytes as it
// reports, leaves no other file, and importing the same PNG again changes
// nothing.

#include "fuzz/fuzz_check.h"
#include "fuzz/scratch_folder.h"
#include "fuzz/wright/import_games.h"
#include "wright/cli.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using wright::fuzzing::Run;
using wright::fuzzing::runWright;

std::map<std::string, std::string> filesUnder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The count of "N pixel(s) changed." or 0 for "no pixel changed", from the
// last line of the report.
std::size_t reportedChanges(const std::string& out) {
    if (out.find(": no pixel changed, nothing written.\n") != std::string::npos) return 0;
    const std::size_t end = out.rfind(" changed.\n");
    FUZZ_CHECK(end != std::string::npos);
    const std::size_t start = out.rfind(": ", end);
    FUZZ_CHECK(start != std::string::npos);
    return std::stoul(out.substr(start + 2, end - start - 2));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path root = wright::fuzzing::scratchPath("png_import");
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(root);
    const std::string picture = wright::fuzzing::importedPicture();
    wright::fuzzing::writePictureFolder(root);
    wright::fuzzing::writeGameFile(root / "in.png", std::string(reinterpret_cast<const char*>(data), size));
    const std::string img = (root / "pic.img").string();
    const std::string png = (root / "in.png").string();
    const std::map<std::string, std::string> before = filesUnder(root);

    const Run dry = runWright({"img", "import", img, png, "--dry-run"});
    FUZZ_CHECK(dry.status == 0 || dry.status == 1);
    FUZZ_CHECK(filesUnder(root) == before);

    const Run real = runWright({"img", "import", img, png});
    FUZZ_CHECK(real.status == dry.status);
    std::map<std::string, std::string> after = filesUnder(root);
    if (real.status != 0) {
        FUZZ_CHECK(after == before);
        return 0;
    }
    const std::string written = after["pic.img"];
    after["pic.img"] = picture;
    FUZZ_CHECK(after == before);
    FUZZ_CHECK(written.size() == picture.size());
    FUZZ_CHECK(written.compare(0, 12, picture, 0, 12) == 0);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < picture.size(); ++i) changed += written[i] != picture[i];
    FUZZ_CHECK(reportedChanges(real.out) == changed);

    const Run again = runWright({"img", "import", img, png});
    FUZZ_CHECK(again.status == 0);
    FUZZ_CHECK(reportedChanges(again.out) == 0);
    return 0;
}
