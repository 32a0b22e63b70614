// The three windows as a user first sees them: every caption shows whole in
// the fonts this machine has, and each window carries its program's icon.

#include "arcwright/tform1.h"
#include "pixwright/tform1.h"
#include "questwright/tform1.h"
#include "ui/dialogs.h"
#include "ui/program_icon.h"
#include "ui/testing/scripted_dialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace {

struct WindowCase {
    const char* name;
    const char* program;
    std::function<std::unique_ptr<QWidget>(wright::ui::Dialogs&)> make;
};

const WindowCase kWindows[] = {
    {"Arcwright", "arcwright", [](wright::ui::Dialogs& d) { return std::make_unique<wright::arcwright::TForm1>(d); }},
    {"Pixwright", "pixwright", [](wright::ui::Dialogs& d) { return std::make_unique<wright::pixwright::TForm1>(d); }},
    {"Questwright", "questwright",
     [](wright::ui::Dialogs& d) { return std::make_unique<wright::questwright::TForm1>(d); }},
};

void PrintTo(const WindowCase& window, std::ostream* out) {
    *out << window.name;
}

class WindowCaptions : public ::testing::TestWithParam<WindowCase> {
protected:
    wright::ui::testing::ScriptedDialogs backend_;
    wright::ui::Dialogs dialogs_{backend_};
};

QString captionOf(const QWidget* control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    return {};
}

// The width in which the style draws a control's caption: beside the mark of
// a check box, inside the frame of a button, inside a label's margins.
int captionRoom(const QWidget* control) {
    QStyleOptionButton option;
    option.initFrom(control);
    option.text = captionOf(control);
    if (qobject_cast<const QCheckBox*>(control))
        return control->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, control).width();
    if (qobject_cast<const QAbstractButton*>(control))
        return control->style()->subElementRect(QStyle::SE_PushButtonContents, &option, control).width();
    return control->contentsRect().width();
}

TEST_P(WindowCaptions, EveryCaptionShowsWhole) {
    const std::unique_ptr<QWidget> form = GetParam().make(dialogs_);
    form->show();
    int captions = 0;
    for (const QWidget* control : form->findChildren<QWidget*>()) {
        const QString caption = captionOf(control);
        if (caption.isEmpty()) continue;
        ++captions;
        const int width = QFontMetrics(control->font()).horizontalAdvance(caption);
        EXPECT_LE(width, captionRoom(control))
            << control->objectName().toStdString() << " cuts \"" << caption.toStdString() << "\" in "
            << QFontInfo(control->font()).family().toStdString() << " " << control->font().pixelSize() << " px";
    }
    EXPECT_GT(captions, 0);
}

TEST_P(WindowCaptions, WindowShowsItsProgramsIcon) {
    const std::unique_ptr<QWidget> form = GetParam().make(dialogs_);
    const QImage icon = form->windowIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(icon.isNull());
    int drawn = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) drawn += qAlpha(icon.pixel(x, y)) > 0 ? 1 : 0;
    EXPECT_GT(drawn, icon.width() * icon.height() / 4) << "the icon is mostly empty";
    EXPECT_EQ(icon, wright::ui::programIcon(QString::fromLatin1(GetParam().program)).pixmap(32, 32).toImage())
        << "not the icon of " << GetParam().program;
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowCaptions, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });

}  // namespace
