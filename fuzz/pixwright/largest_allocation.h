#pragma once
// The largest single heap allocation made between start() and stop(), for a
// fuzz target that checks a refused input allocates nothing for it. Under the
// address sanitizer its allocation hook sees every allocation; elsewhere the
// global operator new is replaced.

#include <cstddef>

namespace wright::fuzzing {

void startWatchingAllocations();
// The largest allocation since the start, in bytes.
std::size_t stopWatchingAllocations();

}  // namespace wright::fuzzing
