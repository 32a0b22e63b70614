// The main of every test program: a WrightApplication on the offscreen
// platform (unless the caller chose another), whose error dialog records the
// messages instead of showing them.

#include "tests/support/reported_errors.h"
#include "ui/wright_application.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace wright::testing {

QStringList& reportedErrors() {
    static QStringList errors;
    return errors;
}

}  // namespace wright::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    wright::ui::WrightApplication app(argc, argv);
    app.setErrorReporter([](const QString& message) { wright::testing::reportedErrors() << message; });
    return RUN_ALL_TESTS();
}
