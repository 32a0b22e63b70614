#include "fileio/write_faults.h"

namespace wright {
namespace {

struct State {
    int failAt = 0;  // 0: disarmed
    bool sticky = false;
    int error = 0;
    int calls = 0;
};

State state;

}  // namespace

void WriteFaults::failAt(int n, int error) {
    state = State{n, false, error, 0};
}

void WriteFaults::failFrom(int n, int error) {
    state = State{n, true, error, 0};
}

void WriteFaults::disarm() {
    state = State{};
}

int WriteFaults::calls() {
    return state.calls;
}

int WriteFaults::next() {
    ++state.calls;
    if (state.failAt == 0) return 0;
    if (state.calls == state.failAt || (state.sticky && state.calls > state.failAt)) return state.error;
    return 0;
}

}  // namespace wright
