#pragma once
// What every import shares: the translated catalogue indexed by context, the
// list of problems found while checking it, and the rule for what counts as
// a translation.

#include "po/po_file.h"
#include "wright/game_text.h"
#include "wright/options.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wright::cli {

// One reason an import was refused, with the context of its entry (or the
// file's name when no entry is to blame).
struct Problem {
    std::string context;
    std::string reason;
};

// An entry is taken only when it has a translation and is not fuzzy; an
// untranslated or fuzzy entry leaves its field as it is.
inline bool isTranslated(const po::Entry& entry) {
    return !entry.fuzzy && !entry.obsolete && !entry.translation.empty();
}

// The live entries of a catalogue by context. Every entry must be claimed by
// a place in the game's files: those left over are problems.
class EntryIndex {
public:
    explicit EntryIndex(const std::vector<po::Entry>& entries);

    // The entry for a context, or null; the entry counts as claimed.
    const po::Entry* claim(const std::string& context);
    // Entries of the same context twice, and entries nothing claimed.
    void reportLeftovers(const std::string& fileName, std::vector<Problem>& problems) const;

private:
    std::map<std::string, const po::Entry*> byContext_;
    std::map<std::string, bool> claimed_;
    std::vector<std::string> repeated_;
};

// What an import did or would do, for the summary line.
struct ImportTally {
    std::size_t written = 0;       // fields (or records) that receive new bytes
    std::size_t unchanged = 0;     // translated, and the file already holds it
    std::size_t untranslated = 0;  // empty or fuzzy: left as they are
};

}  // namespace wright::cli

namespace wright::cli {

// What every import starts from: the game's file (or folder), the translated
// catalogue read whole, and the options. Every translation is composed to NFC
// (a letter and a separate accent are one letter), and with --typography
// ascii its typographic characters are folded. Throws UsageError for other
// than two arguments; po::PoError for a catalogue that cannot be read.
struct ImportRequest {
    std::string target;
    std::string catalogueName;
    Letters letters = Letters::French;        // the translations' view
    Letters sourceLetters = Letters::French;  // the view of the sources, what the files hold now
    bool dryRun = false;
    bool typography = false;
    std::size_t folded = 0;  // typographic characters replaced in the translated entries
    std::vector<po::Entry> entries;
};
ImportRequest importRequest(const Options& options, const std::string& targetName);

// The bytes a translated name is stored as, in a field that holds `longest`
// typed characters; or why it cannot be: a line break, a character outside
// the view's alphabet or code page, too many characters, or bytes that would
// not show back as the translation.
Encoded storedName(const std::string& translation, Letters letters, std::size_t longest);

// "maps.po: --typography ascii replaced 3 characters ..." when the option was
// given; nothing otherwise.
std::optional<std::string> typographyLine(const ImportRequest& request);

// The problem of an entry whose source is not what the file now holds.
std::string staleSource(const std::string& shown);

// Throws Refused listing every problem, each with its context: the import
// wrote nothing.
[[noreturn]] void refuseImport(const std::string& catalogueName, const std::vector<Problem>& problems);

// "MAPS.BSA: 12 names written, 3 already translated, 240 untranslated left
// as they were." (or "would be written" for a dry run).
std::string tallyLine(const std::string& fileName, const ImportTally& tally, bool dryRun, const std::string& unit);

}  // namespace wright::cli
