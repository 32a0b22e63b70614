#include "ui/fonts.h"
#include "ui/log_panel.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace wright::ui {
namespace {

TEST(LogPanel, AppendsWholeLinesAndEmpties) {
    QPlainTextEdit edit;
    LogPanel log(&edit);
    log.appendLine(QStringLiteral("Loading File MAPS.BSA..."));
    log.appendLine(QStringLiteral("File Loaded."));
    EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Loading File MAPS.BSA..."), QStringLiteral("File Loaded.")}));
    log.clear();
    EXPECT_TRUE(log.lines().isEmpty());
    log.appendLine(QString());
    log.appendLine(QStringLiteral("x"));
    EXPECT_EQ(log.lines(), (QStringList{QString(), QStringLiteral("x")}));
}

TEST(Fonts, NameListFontIsFixedPitchAtItsPixelSize) {
    const QFont font = fixedPitchFont(13, true);
    EXPECT_TRUE(QFontInfo(font).fixedPitch()) << QFontInfo(font).family().toStdString();
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_TRUE(font.bold());
    const QFontMetrics metrics(font);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("iiiiiiii")), metrics.horizontalAdvance(QStringLiteral("WWWWWWWW")));
}

}  // namespace
}  // namespace wright::ui
