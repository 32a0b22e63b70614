// Fills a folder with pictures and a palette for trying Pixwright out.
//   usage: pixwright-demo FOLDER

#include "fileio/binary_file.h"
#include "pixwright/img_fixtures.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    try {
        wright::pixwright::fixtures::writeDemoFolder(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
