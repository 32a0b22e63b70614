#pragma once
// What every import shares: the translated catalogue indexed by context, the
// list of problems found while checking it, and the rule for what counts as
// a translation.

#include "po/po_file.h"
#include "wright/game_text.h"
#include "wright/options.h"

#include <iosfwd>
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

// A kind of catalogue the commands write, told apart by the form of its
// contexts. `placeOf` gives the file or region a context of this kind names
// ("QUEST001.QRC", "region 5 (Dwynnen)"), or nothing when the context is of
// another form.
struct CatalogueKind {
    const char* command;   // "maps"
    const char* contents;  // "MAPS.BSA location names"
    std::optional<std::string> (*placeOf)(const std::string& context);
};
extern const CatalogueKind kMapsCatalogue;
extern const CatalogueKind kMonstersCatalogue;
extern const CatalogueKind kQuestsCatalogue;

// The live entries of a catalogue by context. Every entry must be claimed by
// a place in the game's files: those left over are problems.
class EntryIndex {
public:
    explicit EntryIndex(const std::vector<po::Entry>& entries);

    // The entry for a context, or null; the entry counts as claimed.
    const po::Entry* claim(const std::string& context);
    // Entries of the same context twice, and translated entries nothing
    // claimed, as problems. Untranslated ones that nothing claimed write
    // nothing, so they are only warned about, one line for each file or
    // region they name (a working copy that lacks a quest of the originals).
    void reportLeftovers(const std::string& fileName, const CatalogueKind& kind, std::vector<Problem>& problems,
                         std::vector<std::string>& warnings) const;

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
// Refused, in one line, when not one live entry's context is of `kind`: the
// catalogue of another kind of file, which is named when it is one of ours.
ImportRequest importRequest(const Options& options, const std::string& targetName, const CatalogueKind& kind);

// Prints each warning of an import on `err`, after the catalogue's name.
void printWarnings(std::ostream& err, const std::string& catalogueName, const std::vector<std::string>& warnings);

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
// as they were." (or "would be written" for a dry run), with the counted
// noun (`one` or `many`) and the end in the number each count takes.
std::string tallyLine(const std::string& fileName, const ImportTally& tally, bool dryRun, const std::string& one,
                      const std::string& many);

}  // namespace wright::cli
