#include "ui/wright_application.h"

#include <QMessageBox>

#include <exception>

namespace wright::ui {

WrightApplication::WrightApplication(int& argc, char** argv) : QApplication(argc, argv) {
    reporter_ = [this](const QString& message) {
        QMessageBox::critical(activeWindow(), title_, message);
    };
}

WrightApplication* WrightApplication::instance() {
    return qobject_cast<WrightApplication*>(QCoreApplication::instance());
}

void WrightApplication::setTitle(const QString& title) {
    if (title_ == title) return;
    title_ = title;
    emit titleChanged(title_);
}

void WrightApplication::setErrorReporter(ErrorReporter reporter) {
    reporter_ = std::move(reporter);
}

void WrightApplication::reportError(const QString& message) {
    if (reporter_) reporter_(message);
}

bool WrightApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportError(currentExceptionMessage());
    }
    return true;
}

QString currentExceptionMessage() {
    try {
        throw;
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QString();
    }
}

int runGuarded(WrightApplication& app, const std::function<int()>& body) {
    try {
        body();
    } catch (...) {
        app.reportError(currentExceptionMessage());
    }
    return 0;
}

}  // namespace wright::ui
