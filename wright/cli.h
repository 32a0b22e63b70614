#pragma once
// The `wright` command line: `wright COMMAND ACTION ...`, each command with
// its own --help. Output goes to `out`, messages to `err`; the result is the
// exit status (0 done, 1 input refused, 2 a usage error).

#include "wright/game_text.h"
#include "wright/options.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace wright::cli {

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

int run(const std::vector<std::string>& args, Streams io);

// The options every text command takes.
Letters lettersOption(const Options& options);  // --letters, french when absent
// --source-letters, french when absent: the view of the text the game's files
// hold now, the templates' source text (a Russian translation is made from
// an English or French original).
Letters sourceLettersOption(const Options& options);
// --typography: true for "ascii", false when absent.
bool typographyOption(const Options& options);
std::string outputOption(const Options& options);  // -o/--output, required

// Refuses (Refused) a path that names a folder where a file is expected:
// "PATH: is a folder, not a file".
void refuseFolder(const std::string& path);

// Writes an output whole: "-" is standard output (io.out), anything else goes
// through the file writer. Throws wright::FileError when it cannot be written.
void writeOutput(Streams io, const std::string& path, std::string_view bytes);
// Where the line that reports a written output goes: io.out, or io.err when
// the output itself is standard output.
std::ostream& reportStream(Streams io, const std::string& output);

// A count and its noun in the number the count takes: "1 name", "3 names".
std::string counted(std::size_t count, const std::string& one, const std::string& many);

// A command with an export and an import action, and the options they take:
// -o/--output, --letters and --source-letters; --dry-run and --typography
// for import.
struct TextCommand {
    const char* help;
    void (*exportAction)(const Options& options, Streams io);
    void (*importAction)(const Options& options, Streams io);
};
void runTextCommand(const std::vector<std::string>& args, Streams io, const TextCommand& command);

// One command: its name, a line for the overview, and its runner (which gets
// the arguments after its name and throws UsageError or Refused).
struct Command {
    const char* name;
    const char* summary;
    void (*run)(const std::vector<std::string>& args, Streams io);
};

void mapsCommand(const std::vector<std::string>& args, Streams io);
void monstersCommand(const std::vector<std::string>& args, Streams io);
void questsCommand(const std::vector<std::string>& args, Streams io);
void imgCommand(const std::vector<std::string>& args, Streams io);

}  // namespace wright::cli
