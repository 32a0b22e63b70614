// wright quests export|import: the records of the *.QRC quest files of a
// folder, one catalogue entry per non-empty record, in the notation the
// Questwright window shows (control bytes as tags, CR LF as line breaks).
// An import checks every entry of every quest first, then that each quest to
// change can be rewritten, and only then rewrites those quests whole.

#include "wright/catalogue.h"
#include "wright/cli.h"
#include "wright/record_check.h"

#include "fileio/file_writer.h"
#include "questwright/quest_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using questwright::RecordTable;

const char* const kQuestsHelp =
    "Usage: wright quests export DIR -o FILE.pot [--source-letters L]\n"
    "       wright quests import DIR FILE.po [--letters L] [--source-letters L]\n"
    "                            [--typography ascii] [--dry-run]\n"
    "The records of every quest file (*.QRC, any case) directly in the folder DIR,\n"
    "taken in the byte order of their names.\n\n"
    "export writes a PO template with one entry per non-empty record; its context\n"
    "is the file's name and the record's index (\"QUEST001.QRC record 3\"), its text\n"
    "the record as the quest editor shows it: the control bytes as the tags\n"
    "<0xFB=n>, <0xFC>, <0xFD>, <0xFE> and <0xFF>. A record holding a zero byte\n"
    "cannot be carried by a PO file and is left out. A quest file that cannot be\n"
    "read or is damaged refuses the export.\n"
    "import parses every translated entry back into record bytes (at most 10000)\n"
    "and shows the bytes again: an entry that would not come back exactly as\n"
    "written (a tag in lower case, text after <0xFE>, a line break that is not\n"
    "after <0xFC>, <0xFD> or <0xFF>) is refused.\n"
    "Every entry is checked first, then that every quest file to change can be\n"
    "rewritten; when anything does not fit, all problems are listed and nothing is\n"
    "written. Each changed quest file is rewritten whole; the others are left as\n"
    "they are.\n\n";

// The tags of the notation as a Weblate placeholders flag: a translation
// that loses one is flagged. (No comma: translation tools split flags there.)
const char* const kTagPlaceholders = R"(placeholders:r"<0xF[CDEF]>|<0xFB=[0-9]+>")";

struct QuestFile {
    std::string name;  // as listed in the folder
    std::string path;
    RecordTable records;
};

std::string recordContext(const std::string& fileName, std::size_t index) {
    return fileName + " record " + std::to_string(index);
}

// The names of the quest files directly in the folder, in byte order.
std::vector<std::string> questNames(const std::string& dir) {
    std::error_code error;
    fs::directory_iterator it(dir, error);
    if (error) throw Refused(dir + ": cannot read the folder: " + error.message());
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 4) continue;
        std::string suffix = name.substr(name.size() - 4);
        std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
        if (suffix != ".QRC") continue;
        std::error_code statusError;
        if (!it->is_regular_file(statusError)) continue;
        names.push_back(name);
    }
    if (error) throw Refused(dir + ": cannot read the folder: " + error.message());
    std::sort(names.begin(), names.end());  // char_traits<char> compares as unsigned bytes
    return names;
}

// Every quest file of the folder, read and validated; refused, naming each
// file and its reason, when one cannot be read or is damaged.
std::vector<QuestFile> readQuests(const std::string& dir, const std::string& refusal) {
    const std::vector<std::string> names = questNames(dir);
    if (names.empty()) throw Refused("no *.QRC files in " + dir);
    std::vector<QuestFile> quests;
    std::vector<std::string> damaged;
    for (const std::string& name : names) {
        QuestFile q{name, (fs::path(dir) / name).string(), {}};
        try {
            q.records = questwright::ReadQuestFile(q.path);
            quests.push_back(std::move(q));
        } catch (const questwright::QuestFileError& error) {
            damaged.push_back(name + ": " + error.what());
        }
    }
    if (!damaged.empty()) {
        std::string message = dir + ": " + std::to_string(damaged.size()) +
                              (damaged.size() == 1 ? " quest file" : " quest files") +
                              " cannot be read or are damaged, " + refusal + ":";
        for (const std::string& line : damaged) message += "\n  " + line;
        throw Refused(message);
    }
    return quests;
}

void exportQuests(const Options& options, Streams io) {
    expectArguments(options, 1, "DIR (the folder of the quest files)");
    const std::string& dir = options.arguments[0];
    const std::string output = outputOption(options);
    const Letters letters = sourceLettersOption(options);

    const std::vector<QuestFile> quests = readQuests(dir, "no template written");
    std::vector<po::Entry> entries;
    std::vector<std::string> leftOut;
    for (const QuestFile& q : quests) {
        for (std::size_t k = 0; k < q.records.size(); ++k) {
            const questwright::QRCRecord& record = q.records[k];
            if (record.data.empty()) continue;
            po::Entry entry;
            entry.context = recordContext(q.name, k);
            entry.source = showRecord(record.data, letters);
            if (entry.source.find('\0') != std::string::npos) {
                leftOut.push_back(entry.context);
                continue;
            }
            entry.extractedComment = "Record id " + std::to_string(record.id) + "; at most " +
                                     std::to_string(questwright::kMaxRecordSize) + " bytes.";
            entry.flags = {kTagPlaceholders};
            entry.reference = po::Reference{q.name, k};
            entries.push_back(std::move(entry));
        }
    }
    writeOutput(io, output, po::templateText("*.QRC quest records", entries));
    reportStream(io, output) << output << ": " << counted(entries.size(), "record", "records") << " of "
                             << counted(quests.size(), "quest file", "quest files") << " in " << dir << ".\n";
    for (const std::string& context : leftOut)
        io.err << "wright quests: " << context << " left out: it holds a zero byte, which a PO file cannot carry.\n";
}

// Why a quest file cannot be rewritten, or nothing: the file writer's own
// checks, made for every quest before the first is written.
std::optional<std::string> whyNotRewritable(const QuestFile& q) {
    struct stat st {};
    if (::stat(q.path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return std::string("it is not a regular file");
    try {
        checkReplaceable(q.path);
        questwright::checkWritable(q.records);
    } catch (const ReadOnlyFileError& refusal) {
        return refusal.reason();
    } catch (const FileError& error) {
        return error.what();
    } catch (const questwright::QuestFileError& refusal) {
        return std::string(refusal.what());
    }
    return std::nullopt;
}

std::string nameList(const std::vector<std::string>& names) {
    if (names.empty()) return "none";
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}

void importQuests(const Options& options, Streams io) {
    const ImportRequest request = importRequest(options, "DIR (the folder of the quest files)", kQuestsCatalogue);
    const std::string& dir = request.target;
    const Letters letters = request.letters;
    const bool dryRun = request.dryRun;
    std::vector<QuestFile> quests = readQuests(dir, "nothing written");
    EntryIndex index(request.entries);
    std::vector<Problem> problems;
    ImportTally tally;
    std::vector<bool> changed(quests.size(), false);

    for (std::size_t f = 0; f < quests.size(); ++f) {
        QuestFile& q = quests[f];
        for (std::size_t k = 0; k < q.records.size(); ++k) {
            questwright::QRCRecord& record = q.records[k];
            if (record.data.empty()) continue;  // not in the template
            const std::string context = recordContext(q.name, k);
            const po::Entry* entry = index.claim(context);
            if (!entry) continue;
            if (!isTranslated(*entry)) {
                ++tally.untranslated;
                continue;
            }
            const std::string shown = showRecord(record.data, letters);
            const std::string original = showRecord(record.data, request.sourceLetters);
            if (entry->translation == shown) {
                // Taken as it is: the record keeps its bytes, those the
                // notation cannot show included.
                ++tally.unchanged;
                continue;
            }
            if (shown.find('\0') != std::string::npos) {
                problems.push_back({context, "the record holds a zero byte, which a PO file cannot carry"});
                continue;
            }
            const Encoded typed = storedRecord(entry->translation, letters);
            if (!typed.ok()) {
                problems.push_back({context, *typed.problem});
                continue;
            }
            if (typed.bytes == record.data) {
                ++tally.unchanged;
                continue;
            }
            if (entry->source != original) {
                problems.push_back({context, "the source text no longer matches the record as the file now holds it"});
                continue;
            }
            record.data = typed.bytes;
            changed[f] = true;
            ++tally.written;
        }
    }
    std::vector<std::string> warnings;
    index.reportLeftovers(dir, kQuestsCatalogue, problems, warnings);
    printWarnings(io.err, request.catalogueName, warnings);
    if (!problems.empty()) refuseImport(request.catalogueName, problems);

    // Every quest to change is checked before the first is rewritten, in a
    // dry run too.
    for (std::size_t f = 0; f < quests.size(); ++f) {
        if (!changed[f]) continue;
        if (const std::optional<std::string> why = whyNotRewritable(quests[f]))
            problems.push_back({quests[f].name, *why});
    }
    if (!problems.empty()) refuseImport(request.catalogueName, problems);

    if (!dryRun) {
        // Every changed quest is written and on disk before the first is
        // renamed over its file: a failure up to then leaves them all as they were.
        std::vector<FileContents> files;
        std::vector<std::string> names;
        for (std::size_t f = 0; f < quests.size(); ++f) {
            if (!changed[f]) continue;
            files.push_back({quests[f].path, questwright::questFileImage(quests[f].records)});
            names.push_back(quests[f].name);
        }
        try {
            writeWholeFiles(files);
        } catch (const PartialWriteError& error) {
            const std::vector<std::string>& written = error.replaced();
            std::vector<std::string> notWritten(names.begin() + static_cast<std::ptrdiff_t>(written.size()), names.end());
            std::vector<std::string> writtenNames(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(written.size()));
            throw Refused(dir + ": the import stopped: " + error.what() + "\n  written: " + nameList(writtenNames) +
                          "\n  not written (as they were): " + nameList(notWritten));
        } catch (const FileError& error) {
            throw Refused(dir + ": nothing was written: " + error.what());
        }
    }
    if (const auto line = typographyLine(request)) io.out << *line << "\n";
    io.out << tallyLine(dir, tally, dryRun, "record", "records") << "\n";
}

}  // namespace

void questsCommand(const std::vector<std::string>& args, Streams io) {
    runTextCommand(args, io, {kQuestsHelp, exportQuests, importQuests});
}

}  // namespace wright::cli
