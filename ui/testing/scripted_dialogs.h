#pragma once
// A DialogBackend for window tests: each dialog takes the next scripted answer
// and is recorded, so a test states what the user chooses and then checks what
// was asked. A dialog with no scripted answer is recorded as unscripted and
// answered as a cancel (a question as No, a notice as OK).

#include "ui/dialogs.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

namespace wright::ui::testing {

class ScriptedDialogs final : public DialogBackend {
public:
    enum class Kind { OpenFile, SaveFile, ChooseFolder, Message };

    struct Asked {
        Kind kind;
        FileDialogRequest file;
        FolderDialogRequest folder;
        MessageRequest message;
    };

    // Answers, taken in order by dialogs of the same kind.
    void chooseFile(const QString& path) { files_.push_back(path); }
    void cancelFile() { files_.push_back(std::nullopt); }
    void chooseFolder(const QString& path) { folders_.push_back(path); }
    void cancelFolder() { folders_.push_back(std::nullopt); }
    void answer(MessageButton button) { answers_.push_back(button); }

    const QList<Asked>& asked() const { return asked_; }
    QList<MessageRequest> messages() const;
    const QStringList& unscripted() const { return unscripted_; }
    bool allAnswersUsed() const { return files_.empty() && folders_.empty() && answers_.empty(); }
    void clear();

    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* parent, const FolderDialogRequest& request) override;
    MessageButton message(QWidget* parent, const MessageRequest& request) override;

private:
    std::optional<QString> nextFile(const QString& what);

    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QString>> folders_;
    std::deque<MessageButton> answers_;
    QList<Asked> asked_;
    QStringList unscripted_;
};

}  // namespace wright::ui::testing
