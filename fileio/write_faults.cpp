#include "fileio/write_faults.h"

#include <cstdlib>

namespace wright {
namespace {

struct State {
    int failAt = 0;  // 0: disarmed
    bool sticky = false;
    int error = 0;
    int calls = 0;
    int endAfter = -1;  // -1: the process goes on
};

State state;

}  // namespace

void WriteFaults::failAt(int n, int error) {
    state = State{n, false, error, 0};
}

void WriteFaults::failFrom(int n, int error) {
    state = State{n, true, error, 0};
}

void WriteFaults::endProcessAfter(int n) {
    state = State{};
    state.endAfter = n;
}

void WriteFaults::disarm() {
    state = State{};
}

int WriteFaults::calls() {
    return state.calls;
}

int WriteFaults::next() {
    if (state.endAfter >= 0 && state.calls >= state.endAfter) std::abort();
    ++state.calls;
    if (state.failAt == 0) return 0;
    if (state.calls == state.failAt || (state.sticky && state.calls > state.failAt)) return state.error;
    return 0;
}

}  // namespace wright
