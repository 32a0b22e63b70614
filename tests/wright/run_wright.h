#pragma once
// Runs the `wright` command line in the test's process, as the program's
// main does, and keeps what it printed.

#include "wright/cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace wright::testing {

struct WrightRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline WrightRun runWright(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    WrightRun run;
    run.status = cli::run(args, {out, err});
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace wright::testing
