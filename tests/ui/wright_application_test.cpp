#include "tests/support/reported_errors.h"
#include "ui/wright_application.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace wright::ui {
namespace {

class ErrorDialogTest : public ::testing::Test {
protected:
    void SetUp() override { wright::testing::reportedErrors().clear(); }
};

TEST_F(ErrorDialogTest, AnExceptionEscapingAHandlerIsShownAndTheProgramGoesOn) {
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        if (clicks == 1) throw std::runtime_error("List index out of bounds (3)");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(wright::testing::reportedErrors(), QStringList{QStringLiteral("List index out of bounds (3)")});
    // The event loop goes on: a second click is handled normally.
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(wright::testing::reportedErrors().size(), 1);
}

TEST_F(ErrorDialogTest, AnExceptionWithoutTextShowsAnEmptyMessage) {
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, [] { throw 42; });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(wright::testing::reportedErrors(), QStringList{QString()});
}

TEST_F(ErrorDialogTest, StartUpFailureIsShownAndEndsWithStatusZero) {
    auto* app = WrightApplication::instance();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(runGuarded(*app, []() -> int { throw std::runtime_error("cannot start"); }), 0);
    EXPECT_EQ(wright::testing::reportedErrors(), QStringList{QStringLiteral("cannot start")});
    EXPECT_EQ(runGuarded(*app, [] { return 3; }), 0);
}

TEST(ApplicationTitle, IsKeptApartFromWindowCaptions) {
    auto* app = WrightApplication::instance();
    ASSERT_NE(app, nullptr);
    QSignalSpy spy(app, &WrightApplication::titleChanged);
    app->setTitle(QStringLiteral("Arcwright-En"));
    EXPECT_EQ(app->title(), QStringLiteral("Arcwright-En"));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(QGuiApplication::applicationDisplayName() != QStringLiteral("Arcwright-En"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("QAR2: Harrowmere BSA Editor"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QAR2: Harrowmere BSA Editor"));
}

}  // namespace
}  // namespace wright::ui
