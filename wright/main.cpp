#include "wright/cli.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        const int status = wright::cli::run({argv + 1, argv + argc}, {std::cout, std::cerr});
        std::cout.flush();
        return status;
    } catch (const std::exception& error) {
        std::cerr << "wright: " << error.what() << "\n";
        return 1;
    }
}
