#pragma once
// A seam for fault-injection tests of every write path. Inert until a test
// arms it: then the n-th write-side call of BinaryFile from that moment
// (write, flush or close, counted together; an archive edited in place counts
// its positioned writes and syncs too) fails with the given errno, as a disk
// error would. failAt models a passing error (later calls succeed, so a
// rollback can put old bytes back); failFrom models a disk that stays full.
// endProcessAfter models a crash: the process aborts as the call after the
// n-th begins, so the n-th write or sync is the last to have happened.

namespace wright {

class WriteFaults {
public:
    static void failAt(int n, int error);
    static void failFrom(int n, int error);
    static void endProcessAfter(int n);
    static void disarm();
    // Write-side calls seen since the seam was last armed or disarmed.
    static int calls();

    // Called by BinaryFile before each write-side call: the errno to fail
    // with, or 0.
    static int next();
};

}  // namespace wright
