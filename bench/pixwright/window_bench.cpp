// Whole-window timings, offscreen: listing a folder of 5000 pictures, and a
// selection until its picture is painted, for each known length; then the
// process's peak resident memory.
//   QT_QPA_PLATFORM=offscreen build/release/bin/pixwright_window_bench

#include "fileio/binary_file.h"
#include "pixwright/img_fixtures.h"
#include "pixwright/img_picture.h"
#include "pixwright/tform1.h"
#include "ui/dialogs.h"
#include "ui/wright_application.h"

#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace wright::pixwright;

namespace {

void writeFile(const QString& path, const std::string& bytes) {
    wright::BinaryFile file(QFile::encodeName(path).toStdString(), "wb");
    file.write(bytes);
    file.close();
}

std::string picture(const KnownIMGSize& row, int seed) {
    std::string bytes = fixtures::patternPixels(row.width, row.height, seed);
    bytes.resize(static_cast<std::size_t>(row.fileLength), '\x22');
    return bytes;
}

// Answers every folder choice with the folder set last.
class FolderChoice final : public wright::ui::DialogBackend {
public:
    void chooseFolder(const QString& folder) { folder_ = folder; }

    std::optional<QString> openFile(QWidget*, const wright::ui::FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(QWidget*, const wright::ui::FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(QWidget*, const wright::ui::FolderDialogRequest&) override { return folder_; }
    wright::ui::MessageButton message(QWidget*, const wright::ui::MessageRequest&) override {
        return wright::ui::MessageButton::Ok;
    }

private:
    QString folder_;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    wright::ui::WrightApplication app(argc, argv);
    app.setTitle(QStringLiteral("Pixwright-En"));

    QTemporaryDir root;
    const QString start = root.path() + QStringLiteral("/start");
    const QString many = root.path() + QStringLiteral("/many");
    const QString known = root.path() + QStringLiteral("/known");
    for (const QString& dir : {start, many, known}) QDir().mkpath(dir);
    writeFile(start + QStringLiteral("/map.pal"), fixtures::paletteBytes(fixtures::rampPalette()));
    const std::string small = picture(KnownIMGSizes[0], 1);
    for (int i = 0; i < 5000; ++i) writeFile(many + QStringLiteral("/p%1.img").arg(i, 4, 10, QLatin1Char('0')), small);
    for (const KnownIMGSize& row : KnownIMGSizes)
        writeFile(known + QStringLiteral("/%1.img").arg(row.fileLength), picture(row, 2));

    QDir::setCurrent(start);
    FolderChoice script;
    wright::ui::Dialogs dialogs(script);
    TForm1 form(dialogs);
    form.show();
    app.processEvents();
    auto* button = form.findChild<QToolButton*>(QStringLiteral("BSelectDir"));
    auto* list = form.findChild<QListWidget*>(QStringLiteral("IMGList"));

    // Listing: the click on the button until the list holds every entry and
    // its first picture is painted. Alternate folders, so every choice lists.
    std::vector<double> listing;
    for (int round = 0; round < 7; ++round) {
        script.chooseFolder(known);
        button->click();
        script.chooseFolder(many);
        QElapsedTimer timer;
        timer.start();
        button->click();
        form.repaint();
        listing.push_back(timer.nsecsElapsed() / 1e6);
        if (list->count() != 5000) {
            std::fprintf(stderr, "listed %d entries, not 5000\n", list->count());
            return 1;
        }
    }
    std::printf("list 5000 entries and show the first: median %.2f ms\n", median(listing));

    // Selection: the change of entry until the picture is painted.
    script.chooseFolder(known);
    button->click();
    std::printf("%-8s %-9s %s\n", "length", "size", "select until painted (median of 21, ms)");
    for (const KnownIMGSize& row : KnownIMGSizes) {
        const QString name = QStringLiteral("%1.img").arg(row.fileLength);
        const int target = list->row(list->findItems(name, Qt::MatchExactly).constFirst());
        const int other = target == 0 ? 1 : 0;
        std::vector<double> times;
        for (int i = 0; i < 21; ++i) {
            list->setCurrentRow(other);
            form.repaint();
            QElapsedTimer timer;
            timer.start();
            list->setCurrentRow(target);
            form.repaint();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        if (form.imgName() != name) {
            std::fprintf(stderr, "%s was not shown\n", qPrintable(name));
            return 1;
        }
        std::printf("%-8lld %3dx%-5d %.2f\n", static_cast<long long>(row.fileLength), row.width, row.height,
                    median(times));
    }

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
