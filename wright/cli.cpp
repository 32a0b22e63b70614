#include "wright/cli.h"

#include "fileio/file_writer.h"

#include <cerrno>
#include <filesystem>
#include <ostream>

namespace wright::cli {
namespace {

const std::vector<Command>& commands() {
    static const std::vector<Command> list{
        {"maps", "location names of MAPS.BSA", mapsCommand},
        {"monsters", "monster names of MONSTER.BSA", monstersCommand},
        {"quests", "records of the *.QRC quest files of a folder", questsCommand},
        {"img", "pictures (*.img) as indexed PNG, and back", imgCommand},
    };
    return list;
}

void overview(std::ostream& out) {
    out << "Usage: wright COMMAND ACTION [OPTION]... FILE...\n"
           "Dumps the game's text to gettext PO templates and writes translated PO files\n"
           "back into the game's files; shows pictures as PNG and takes them back.\n\n"
           "Commands:\n";
    for (const Command& command : commands()) {
        std::string name = command.name;
        name.resize(10, ' ');
        out << "  " << name << command.summary << "\n";
    }
    out << "\nWorkflow: keep the game's original files as they came, and export the\n"
           "templates from them; copy them to a working copy, and import the translated\n"
           "catalogues there, as often as you like. When the originals change, export\n"
           "again, bring the catalogues up to date with 'msgmerge --previous', and import\n"
           "into a fresh copy of the new originals.\n"
           "\nRun 'wright COMMAND --help' for a command's actions and options,\n"
           "'wright --version' for the version.\n"
           "Exit status: 0 done, 1 input refused (nothing was written), 2 usage error.\n";
}

}  // namespace

namespace {

Letters viewOption(const Options& options, const std::string& option) {
    const std::optional<std::string> name = options.value(option);
    if (!name) return Letters::French;
    const std::optional<Letters> letters = parseLetters(*name);
    if (!letters) throw UsageError("--" + option + " takes french, russian or none, not '" + *name + "'");
    return *letters;
}

}  // namespace

Letters lettersOption(const Options& options) {
    return viewOption(options, "letters");
}

Letters sourceLettersOption(const Options& options) {
    return viewOption(options, "source-letters");
}

bool typographyOption(const Options& options) {
    const std::optional<std::string> name = options.value("typography");
    if (!name) return false;
    if (*name != "ascii") throw UsageError("--typography takes ascii, not '" + *name + "'");
    return true;
}

std::string outputOption(const Options& options) {
    const std::optional<std::string> path = options.value("output");
    if (!path || path->empty()) throw UsageError("missing -o FILE: where to write");
    return *path;
}

void refuseFolder(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw Refused(path + ": is a folder, not a file");
}

void writeOutput(Streams io, const std::string& path, std::string_view bytes) {
    if (path != "-") {
        refuseFolder(path);
        writeWholeFile(path, bytes);
        return;
    }
    errno = 0;
    io.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    io.out.flush();
    if (!io.out) throw FileError("standard output", "write", errno ? errno : EIO);
}

std::ostream& reportStream(Streams io, const std::string& output) {
    return output == "-" ? io.err : io.out;
}

std::string counted(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void runTextCommand(const std::vector<std::string>& args, Streams io, const TextCommand& command) {
    Options options = parseOptions(args, {{"output", 'o', true},
                                          {"letters", 0, true},
                                          {"source-letters", 0, true},
                                          {"typography", 0, true},
                                          {"dry-run", 0, false}});
    if (options.has("help")) {
        io.out << command.help
               << "Options:\n"
                  "  -o, --output FILE   the template to write (export)\n"
                  "  --source-letters L  the view of the text the game's files hold now, the\n"
                  "                      templates' source text: french (default): accented\n"
                  "                      letters for the game's codes; russian: Cyrillic for\n"
                  "                      the codes of Russian letters; none: the bytes as\n"
                  "                      Windows-1252\n"
                  "  --letters L         the view of the translations (import), french (default),\n"
                  "                      russian or none; each view takes only the letters the\n"
                  "                      game's font holds, none takes every byte\n"
                  "  --typography ascii  write the quotes, dashes, ellipses and no-break spaces\n"
                  "                      that editors put in as the game's ' \" - ... and space\n"
                  "                      (import); without it they are refused\n"
                  "  --dry-run           check and report, write nothing (import)\n"
                  "  -h, --help          this text\n\n"
                  "Workflow: export the template from the game's original files, kept as they\n"
                  "came; make a catalogue of it (msginit, or a translation tool); import it into\n"
                  "a working copy of the files, as often as you like. An entry is taken when its\n"
                  "field holds the source or already the translation; untranslated and fuzzy\n"
                  "entries leave their fields as they are. An untranslated entry that matches\n"
                  "nothing in the files (a quest the copy lacks) is a warning; a translated one\n"
                  "refuses the import. When the originals change, export again, run\n"
                  "'msgmerge --previous -U CATALOGUE.po NEW.pot', and import into a fresh copy.\n"
                  "Each template entry has a \"#:\" reference (file, and region or record), so\n"
                  "'msggrep -N' splits a catalogue; names carry Weblate's max-length flag, quest\n"
                  "records a placeholders flag for the tags. msginit and msgmerge drop such\n"
                  "flags; translate-toolkit's pot2po keeps them. A catalogue in another charset\n"
                  "than UTF-8 is converted from the one its header declares.\n";
        return;
    }
    if (options.arguments.empty()) throw UsageError("missing action: export or import");
    // Both views are checked whatever the action uses, so a misspelt one is never passed over.
    lettersOption(options);
    sourceLettersOption(options);
    const std::string action = options.arguments.front();
    options.arguments.erase(options.arguments.begin());
    if (action == "export") {
        if (options.has("dry-run")) throw UsageError("--dry-run is an option of import");
        if (options.value("typography")) throw UsageError("--typography is an option of import");
        command.exportAction(options, io);
    } else if (action == "import") {
        if (options.value("output")) throw UsageError("-o is an option of export");
        command.importAction(options, io);
    } else {
        throw UsageError("unknown action '" + action + "': export or import");
    }
}

int run(const std::vector<std::string>& args, Streams io) {
    if (args.empty()) {
        overview(io.err);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        overview(io.out);
        return kExitSuccess;
    }
    if (args[0] == "--version") {
        io.out << "wright " << WRIGHT_VERSION << "\n";
        return kExitSuccess;
    }
    for (const Command& command : commands()) {
        if (args[0] != command.name) continue;
        try {
            command.run({args.begin() + 1, args.end()}, io);
            return kExitSuccess;
        } catch (const UsageError& error) {
            io.err << "wright " << command.name << ": " << error.what() << "\n"
                   << "Try 'wright " << command.name << " --help'.\n";
            return kExitUsage;
        } catch (const Refused& error) {
            io.err << "wright " << command.name << ": " << error.what() << "\n";
            return kExitRefused;
        } catch (const std::exception& error) {
            // A catalogue that cannot be read or written, a file error a
            // command did not word itself: the message names the file.
            io.err << "wright " << command.name << ": " << error.what() << "\n";
            return kExitRefused;
        }
    }
    io.err << "wright: unknown command '" << args[0] << "'\nTry 'wright --help'.\n";
    return kExitUsage;
}

}  // namespace wright::cli
