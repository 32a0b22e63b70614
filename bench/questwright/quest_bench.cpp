// The quest core on a quest of 2000 game-like records: reading the file,
// rendering every record, parsing every text back, and writing the file.

#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/quest_file.h"
#include "questwright/record_text.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace wright::questwright {
namespace {

constexpr std::size_t kRecords = 2000;

const std::string& questImage() {
    static const std::string image = fixtures::questImage(fixtures::gameQuest(1, kRecords));
    return image;
}

struct QuestOnDisk {
    QTemporaryDir dir;
    std::string path = dir.filePath(QStringLiteral("BIG.QRC")).toStdString();
    QuestOnDisk() { fixtures::writeFile(path, questImage()); }
};

void ReadQuest(benchmark::State& state) {
    QuestOnDisk quest;
    for (auto _ : state) benchmark::DoNotOptimize(ReadQuestFile(quest.path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * questImage().size()));
}
BENCHMARK(ReadQuest)->Unit(benchmark::kMillisecond);

void RenderAllRecords(benchmark::State& state) {
    const RecordTable table = parseQuestFile(questImage());
    for (auto _ : state)
        for (const QRCRecord& record : table) benchmark::DoNotOptimize(RenderRecordText(record.data, FrenchLetters::Replace));
}
BENCHMARK(RenderAllRecords)->Unit(benchmark::kMillisecond);

void ParseAllRecords(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const QRCRecord& record : parseQuestFile(questImage()))
        texts.push_back(RenderRecordText(record.data, FrenchLetters::Replace));
    for (auto _ : state)
        for (const std::string& text : texts) benchmark::DoNotOptimize(ParseRecordText(text, FrenchLetters::Replace));
}
BENCHMARK(ParseAllRecords)->Unit(benchmark::kMillisecond);

// The whole save: temporary file, flush, sync to disk, rename.
void SaveQuest(benchmark::State& state) {
    QuestOnDisk quest;
    RecordTable table = ReadQuestFile(quest.path);
    for (auto _ : state) saveQuestFile(quest.path, table);
}
BENCHMARK(SaveQuest)->Unit(benchmark::kMillisecond);

// The writer alone, into memory.
void WriteQuestImage(benchmark::State& state) {
    const RecordTable table = parseQuestFile(questImage());
    for (auto _ : state) benchmark::DoNotOptimize(questFileImage(table));
}
BENCHMARK(WriteQuestImage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wright::questwright

BENCHMARK_MAIN();
