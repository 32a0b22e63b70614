// Times the real window offscreen: selecting a quest of 2000 records until its
// first record shows, the peak memory with it loaded, and the combined export
// of a folder of 500 quests of 60 records, wrapping included.
//   usage: questwright-window-bench [WORK_FOLDER]

#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/tform1.h"
#include "ui/dialogs.h"
#include "ui/text_codec.h"
#include "questwright/memo_wrap.h"
#include "questwright/record_text.h"
#include "ui/wright_application.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

// Answers each folder choice with the next folder; nothing else is asked.
class FolderAnswers final : public wright::ui::DialogBackend {
public:
    QString next;
    std::optional<QString> openFile(QWidget*, const wright::ui::FileDialogRequest&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const wright::ui::FileDialogRequest&) override { return {}; }
    std::optional<QString> chooseFolder(QWidget*, const wright::ui::FolderDialogRequest&) override { return next; }
    wright::ui::MessageButton message(QWidget*, const wright::ui::MessageRequest&) override {
        return wright::ui::MessageButton::No;
    }
};

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    wright::ui::WrightApplication app(argc, argv);
    QTemporaryDir temp;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    const QString bigFolder = work + QStringLiteral("/big");
    const QString manyFolder = work + QStringLiteral("/many");
    QDir().mkpath(bigFolder);
    QDir().mkpath(manyFolder);
    namespace fixtures = wright::questwright::fixtures;
    fixtures::writeFile((bigFolder + QStringLiteral("/BIG.QRC")).toStdString(),
                        fixtures::questImage(fixtures::gameQuest(1, 2000)));
    fixtures::writeFile((bigFolder + QStringLiteral("/SMALL.QRC")).toStdString(), fixtures::questImage({{1, "small"}}));
    fixtures::writeQuestFolder(manyFolder.toStdString(), 500, 60);

    FolderAnswers script;
    wright::ui::Dialogs dialogs(script);
    wright::questwright::TForm1 form(dialogs);
    form.show();
    app.processEvents();
    const long emptyWindowKiB = peakResidentKiB();

    auto* quests = form.findChild<QListWidget*>(QStringLiteral("QRCList"));
    auto* selectDir = form.findChild<QAbstractButton*>(QStringLiteral("BSelectDir"));
    script.next = bigFolder;
    selectDir->click();
    const auto big = quests->findItems(QStringLiteral("BIG.QRC"), Qt::MatchExactly).constFirst();
    const auto small = quests->findItems(QStringLiteral("SMALL.QRC"), Qt::MatchExactly).constFirst();
    quests->setCurrentItem(small);

    QElapsedTimer timer;
    timer.start();
    quests->setCurrentItem(big);  // loads the quest and shows its first record
    app.processEvents();          // and paints it
    const double selectMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const long loadedKiB = peakResidentKiB();
    std::printf("select a quest of %zu records until its first record shows: %.2f ms\n",
                form.recordTable().size(), selectMs);
    std::printf("peak resident memory: empty window %.1f MB, with the 2000-record quest loaded %.1f MB\n",
                static_cast<double>(emptyWindowKiB) / 1024, static_cast<double>(loadedKiB) / 1024);

    {
        // The wrapping alone, over the 2000 records of the loaded quest.
        wright::questwright::MemoWrap wrap(form.findChild<QPlainTextEdit*>(QStringLiteral("Memo")));
        QStringList texts;
        for (const auto& record : form.recordTable())
            texts << wright::ui::toQt(
                wright::questwright::RenderRecordText(record.data, wright::FrenchLetters::Replace));
        timer.restart();
        qsizetype lines = 0;
        for (const QString& text : texts) lines += wrap.lines(text).size();
        std::printf("wrap the 2000 records into %lld memo lines: %.2f ms\n", static_cast<long long>(lines),
                    static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    script.next = manyFolder;
    selectDir->click();
    QDir::setCurrent(manyFolder);
    timer.restart();
    form.findChild<QAbstractButton*>(QStringLiteral("BExportAllTXT"))->click();
    const double exportMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const qint64 exported = QFileInfo(manyFolder + QStringLiteral("/AllQRC.txt")).size();
    std::printf("export all %d quests of 60 records: %.1f ms (%lld bytes)\n", quests->count(), exportMs,
                static_cast<long long>(exported));
    return exported > 0 ? 0 : 1;
}
