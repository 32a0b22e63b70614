// The main of every test program: a WrightApplication on the offscreen
// platform (unless the caller chose another), whose error dialog records the
// messages instead of showing them.

#include "tests/support/reported_errors.h"
#include "ui/wright_application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace wright::testing {

QStringList& reportedErrors() {
    static QStringList errors;
    return errors;
}

}  // namespace wright::testing

namespace {

// Tests run as root in CI, where the file permission bits would not stop a
// write. Dropping the override capabilities from the effective set lets a
// test make a file or folder read-only and see the refusal a user would see.
void obeyFilePermissions() {
    if (geteuid() != 0) return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0) return;
    data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    syscall(SYS_capset, &header, data);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    obeyFilePermissions();
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    wright::ui::WrightApplication app(argc, argv);
    app.setErrorReporter([](const QString& message) { wright::testing::reportedErrors() << message; });
    return RUN_ALL_TESTS();
}
