#include "ui/captions.h"
#include "ui/fonts.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace wright::ui {
namespace {

// A window in the form font with one control of a given width.
struct Window {
    QWidget form;
    QWidget* control = nullptr;
};

template <typename Control>
void build(Window& window, const QString& caption, int width) {
    window.form.setFont(formFont(11));
    window.control = new Control(caption, &window.form);
    window.control->setGeometry(0, 0, width, 25);
}

QString captionOf(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    return qobject_cast<const QLabel*>(control)->text();
}

int advance(const QWidget* control, const QString& caption) {
    return QFontMetrics(control->font()).horizontalAdvance(caption);
}

TEST(FitCaptions, CaptionThatFitsKeepsTheWindowsFont) {
    Window window;
    build<QCheckBox>(window, QStringLiteral("Quests"), 200);
    fitCaptions(&window.form);
    EXPECT_FALSE(window.control->testAttribute(Qt::WA_SetFont));
    EXPECT_EQ(window.control->font(), window.form.font());
}

TEST(FitCaptions, LongCaptionIsNarrowedNotShortened) {
    struct Case {
        const char* kind;
        void (*make)(Window&, const QString&, int);
    };
    const QString caption = QStringLiteral("Replace French Letters");
    for (const Case& c : {Case{"check box", build<QCheckBox>}, Case{"push button", build<QPushButton>},
                          Case{"label", build<QLabel>}}) {
        SCOPED_TRACE(c.kind);
        Window window;
        c.make(window, caption, 10);
        const int room = window.control->sizeHint().width() * 9 / 10;  // a tenth too narrow
        window.control->resize(room, 25);
        fitCaptions(&window.form);
        EXPECT_EQ(captionOf(window.control), caption);
        EXPECT_LT(advance(window.control, caption), advance(&window.form, caption));
        EXPECT_LE(window.control->sizeHint().width(), room);
        EXPECT_GE(window.control->font().pixelSize(), 8);
    }
}

TEST(FitCaptions, CaptionTooLongForAnySizeStopsAtTheSmallestSize) {
    Window window;
    build<QPushButton>(window, QStringLiteral("Export RegionX's Mapnames in RegionX.map"), 30);
    fitCaptions(&window.form);
    EXPECT_EQ(captionOf(window.control), QStringLiteral("Export RegionX's Mapnames in RegionX.map"));
    EXPECT_EQ(window.control->font().pixelSize(), 8);
}

}  // namespace
}  // namespace wright::ui
