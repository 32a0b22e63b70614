// The window on a full-size MAPS.BSA: switching regions (the three loads and
// the three lists filled) as the user does with the Regions list, and the
// program's peak resident memory with both archives open.

#include "bench/arcwright/demo_archive.h"

#include "arcwright/tform1.h"
#include "ui/dialogs.h"
#include "ui/wright_application.h"

#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace wright::arcwright::bench {
namespace {

}  // namespace

double peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// The file dialog answers with the next path of a list.
class ChosenFiles final : public wright::ui::DialogBackend {
public:
    QStringList paths;
    std::optional<QString> openFile(QWidget*, const wright::ui::FileDialogRequest&) override {
        if (paths.isEmpty()) return std::nullopt;
        return paths.takeFirst();
    }
    std::optional<QString> saveFile(QWidget*, const wright::ui::FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> chooseFolder(QWidget*, const wright::ui::FolderDialogRequest&) override {
        return std::nullopt;
    }
    wright::ui::MessageButton message(QWidget*, const wright::ui::MessageRequest&) override {
        return wright::ui::MessageButton::Ok;
    }
};

namespace {

struct Window {
    Window() : dialogs(backend), form(dialogs) {
        form.show();
        backend.paths = {QString::fromStdString(demo.maps()), QString::fromStdString(demo.monster())};
        form.findChild<QPushButton*>(QStringLiteral("BOpenMAPSFile"))->click();
        form.findChild<QPushButton*>(QStringLiteral("BOpenMonsterFile"))->click();
        QCoreApplication::processEvents();
    }
    DemoArchives demo;
    ChosenFiles backend;
    wright::ui::Dialogs dialogs;
    TForm1 form;
};

Window& window() {
    static Window w;
    return w;
}

void SwitchRegion(benchmark::State& state) {
    Window& w = window();
    QComboBox* regions = w.form.findChild<QComboBox*>(QStringLiteral("Regions"));
    const int largest = w.demo.largest;
    const int other = largest == 0 ? 1 : 0;
    bool toLargest = true;
    for (auto _ : state) {
        // Every other switch lands on the largest region.
        regions->setCurrentIndex(toLargest ? largest : other);
        w.form.RegionsChange();
        QCoreApplication::processEvents();
        toLargest = !toLargest;
    }
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
}
BENCHMARK(SwitchRegion)->Unit(benchmark::kMillisecond);

// A click that opens MAPS.BSA (directory, region load, lists) and one that closes it.
void OpenAndCloseMaps(benchmark::State& state) {
    Window& w = window();
    QPushButton* open = w.form.findChild<QPushButton*>(QStringLiteral("BOpenMAPSFile"));
    open->click();  // closed first, so each round opens afresh
    for (auto _ : state) {
        w.backend.paths = {QString::fromStdString(w.demo.maps())};
        open->click();
        QCoreApplication::processEvents();
        open->click();
    }
    w.backend.paths = {QString::fromStdString(w.demo.maps())};
    open->click();
}
BENCHMARK(OpenAndCloseMaps)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wright::arcwright::bench

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    wright::ui::WrightApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("peak resident memory with both archives open: %.1f MB\n",
                wright::arcwright::bench::peakResidentMegabytes());
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
}
