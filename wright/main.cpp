#include "wright/cli.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        const int status = wright::cli::run({argv + 1, argv + argc}, {std::cout, std::cerr});
        std::cout.flush();
        // Help or a summary that could not be written is not a success.
        if (!std::cout) {
            std::cerr << "wright: cannot write to standard output\n";
            return status == 0 ? 1 : status;
        }
        return status;
    } catch (const std::exception& error) {
        std::cerr << "wright: " << error.what() << "\n";
        return 1;
    }
}
