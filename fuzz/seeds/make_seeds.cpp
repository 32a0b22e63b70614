// Writes the seed corpus of every fuzz target: small inputs that reach each
// path of its reader. usage: fuzz-seeds CORPUS_DIR (one folder per target).

#include "fuzz/seeds/arcwright_seeds.h"
#include "fuzz/seeds/pixwright_seeds.h"
#include "fuzz/seeds/questwright_seeds.h"
#include "fuzz/seeds/seed_writer.h"
#include "fuzz/seeds/wright_seeds.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

void writeSeed(const fs::path& corpus, const std::string& target, const std::string& name, const std::string& bytes) {
    const fs::path dir = corpus / target;
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

void textSeeds(const fs::path& corpus) {
    const std::vector<std::pair<std::string, std::string>> texts{
        {"letters", "ABCabc[\\]^>`{|}~<@"},
        {"cyrillic", "\xD4\xC8\xD1\xF4\xE8\xF1\xA8\xB8"},
        {"tag", "a<0xFB=12>b<0xFC>\r\nc"},
        {"unclosed_tag", "a<0xFB=12 abc"},
        {"percent_run", "%abc1 d %ABC"},
        {"markers", "_name1 =name1 _AB"},
        {"french", "Ch^ne #@{|}~ \xE9\xEA\xC9"},
    };
    for (const auto& [name, text] : texts) {
        writeSeed(corpus, "fuzz_cyrillic_converter", name, text);
        writeSeed(corpus, "fuzz_french_letters", name, text);
        writeSeed(corpus, "fuzz_catalogue_text", name, text);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz-seeds CORPUS_DIR\n";
        return 2;
    }
    const fs::path corpus(argv[1]);
    textSeeds(corpus);
    writeArcwrightSeeds(corpus);
    writePixwrightSeeds(corpus);
    writeQuestwrightSeeds(corpus);
    writeWrightSeeds(corpus);
    return 0;
}
