// Fills a folder with generated quest files for trying Questwright out.
//   usage: questwright-demo FOLDER

#include "questwright/fixtures/quest_fixtures.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: questwright-demo FOLDER\n");
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        wright::questwright::fixtures::writeDemoFolder(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "questwright-demo: %s\n", error.what());
        return 1;
    }
    return 0;
}
