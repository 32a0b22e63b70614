#pragma once
// The messages that reached the application's error dialog in this test program.

#include <QStringList>

namespace wright::testing {

QStringList& reportedErrors();

}  // namespace wright::testing
