#pragma once
// The log panel every window writes its progress lines to. Operations append
// whole lines and some empty it first; the user may scroll and read, the
// program never reads it back except in tests.

#include <QString>
#include <QStringList>

class QPlainTextEdit;

namespace wright::ui {

class LogPanel {
public:
    explicit LogPanel(QPlainTextEdit* edit);

    void appendLine(const QString& line);
    void clear();
    QStringList lines() const;

    QPlainTextEdit* widget() const { return edit_; }

private:
    QPlainTextEdit* edit_;
    bool hasLines_ = false;
};

}  // namespace wright::ui
