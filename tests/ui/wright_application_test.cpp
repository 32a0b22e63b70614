#include "tests/support/reported_errors.h"
#include "ui/handler_guard.h"
#include "ui/wright_application.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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

// A window's handlers, as the guard runs them: methods of the form, some
// returning a result the signal has no use for.
struct FailingHandlers {
    int runs = 0;
    bool RecordClick() {
        ++runs;
        throw std::runtime_error("Record n\u00B0" + std::to_string(runs) + " cannot be shown");
    }
    void SilentClick() {
        ++runs;
        throw 7;
    }
};

TEST_F(ErrorDialogTest, AGuardedHandlerRunFromCodeIsShownAndItsCallerGoesOn) {
    // A selection made by the program emits its signal with no event being
    // delivered: only the guard stands between the handler's error and Qt.
    QListWidget list;
    list.addItems({QStringLiteral("A.QRC"), QStringLiteral("B.QRC")});
    QPushButton button;
    FailingHandlers form;
    QObject::connect(&list, &QListWidget::currentRowChanged, &list, guarded(&form, &FailingHandlers::RecordClick));
    QObject::connect(&button, &QPushButton::clicked, &button, guarded(&form, &FailingHandlers::SilentClick));
    list.setCurrentRow(0);
    button.click();
    list.setCurrentRow(1);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(form.runs, 3);
    EXPECT_EQ(wright::testing::reportedErrors(),
              (QStringList{QStringLiteral("Record n\u00B01 cannot be shown"), QString(),
                           QStringLiteral("Record n\u00B03 cannot be shown")}));
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
