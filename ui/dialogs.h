#pragma once
// The one seam through which the windows ask the user for a file, a folder or
// an answer. The windows call Dialogs; Dialogs asks a DialogBackend, which is
// Qt's standard dialogs in the program and a scripted double in the tests.
//
// Dialogs, not the backend, moves the working directory: a confirmed file
// choice makes the chosen file's folder the working directory, and a confirmed
// folder choice makes that folder the working directory. The exports write
// there under relative names, and the folder choices read the chosen folder
// back from there, so the rule holds the same under the scripted double.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace wright::ui {

struct FileDialogRequest {
    QString title;
    // As the window design writes it: "description|pattern" pairs joined by
    // "|", e.g. "QAR: Harrowmere BSA files|*.BSA".
    QString filter;
    QString defaultSuffix;  // without the dot, e.g. "BSA"
    QString directory;      // where browsing starts; "." is the working directory
    QString fileName;       // proposed file name or path

    // Qt's form of the filter, e.g. "QAR: Harrowmere BSA files (*.BSA)".
    QStringList qtNameFilters() const;
};

struct FolderDialogRequest {
    QString title;
    QString directory;  // where browsing starts
};

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButton { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::Information;
    QList<MessageButton> buttons{MessageButton::Ok};
};

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    // Each returns the chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> chooseFolder(QWidget* parent, const FolderDialogRequest& request) = 0;
    virtual MessageButton message(QWidget* parent, const MessageRequest& request) = 0;
};

// Qt's QFileDialog and QMessageBox.
class QtDialogBackend final : public DialogBackend {
public:
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* parent, const FolderDialogRequest& request) override;
    MessageButton message(QWidget* parent, const MessageRequest& request) override;
};

class Dialogs {
public:
    explicit Dialogs(DialogBackend& backend) : backend_(backend) {}

    // The chosen file as an absolute path; its folder is now the working directory.
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request);
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request);
    // The working directory after the choice, which is the chosen folder.
    std::optional<QString> chooseFolder(QWidget* parent, const FolderDialogRequest& request);

    MessageButton message(QWidget* parent, const MessageRequest& request);
    // A message with a single OK button.
    void inform(QWidget* parent, const QString& caption, const QString& text,
                MessageIcon icon = MessageIcon::Information);
    // A Yes / No question with the question icon.
    bool askYesNo(QWidget* parent, const QString& caption, const QString& text);

private:
    std::optional<QString> confirmFile(const std::optional<QString>& chosen);

    DialogBackend& backend_;
};

}  // namespace wright::ui
