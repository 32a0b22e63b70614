#include "wright/cli.h"

#include <exception>
#include <iostream>

#if defined(__SANITIZE_ADDRESS__)
// In an AddressSanitizer build: libgettextpo keeps the lexer buffers of every
// catalogue it reads, which nothing outside it can free. The rest of what it
// hands out (joined comments, context strings) is freed by po/po_file.cpp.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libgettextpo_lex_start\nleak:libgettextpo_po_gram_parse\n";
}
#endif

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
