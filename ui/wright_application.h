#pragma once
// The application object of each program. It keeps the application title
// (the text the program names itself by, which some operations change) apart
// from the window caption: Qt's applicationDisplayName would be appended to
// every window title on X11, which must not happen to our captions.
//
// An exception that escapes any event handler ends in notify(): its message is
// shown in an error dialog and the event loop goes on with the next event.

#include <QApplication>
#include <QString>

#include <functional>

namespace wright::ui {

class WrightApplication : public QApplication {
    Q_OBJECT

public:
    using ErrorReporter = std::function<void(const QString& message)>;

    WrightApplication(int& argc, char** argv);

    static WrightApplication* instance();

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // Where escaped exceptions are shown. The default is a critical message box
    // captioned with the application title; tests install a recorder.
    void setErrorReporter(ErrorReporter reporter);
    void reportError(const QString& message);

    bool notify(QObject* receiver, QEvent* event) override;

signals:
    void titleChanged(const QString& title);

private:
    QString title_;
    ErrorReporter reporter_;
};

// The message of the exception being handled, for the error dialog: its text,
// or an empty message when it carries none. Call it only inside a catch block.
QString currentExceptionMessage();

// Runs the program's start-up and message loop. An exception that escapes them
// is shown in the error dialog (an empty message when it carries no text), and
// the program still ends with status 0.
int runGuarded(WrightApplication& app, const std::function<int()>& body);

}  // namespace wright::ui
