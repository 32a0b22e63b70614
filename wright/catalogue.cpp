#include "wright/catalogue.h"

#include <algorithm>
#include <ostream>
#include <regex>

namespace wright::cli {
namespace {

// The part of a context before its last match group, when the whole matches.
std::optional<std::string> placeMatching(const std::string& context, const std::regex& form) {
    std::smatch match;
    if (!std::regex_match(context, match, form)) return std::nullopt;
    return match.str(1);
}

std::optional<std::string> mapsPlace(const std::string& context) {
    static const std::regex form(R"((region [0-9]+ \(.*\)), location [0-9]+)");
    return placeMatching(context, form);
}

std::optional<std::string> monstersPlace(const std::string& context) {
    static const std::regex form(R"(monster [0-9]+)");
    if (!std::regex_match(context, form)) return std::nullopt;
    return std::string("MONSTER.BSA");
}

std::optional<std::string> questsPlace(const std::string& context) {
    static const std::regex form(R"((.+) record [0-9]+)");
    return placeMatching(context, form);
}

}  // namespace

const CatalogueKind kMapsCatalogue{"maps", "MAPS.BSA location names", mapsPlace};
const CatalogueKind kMonstersCatalogue{"monsters", "MONSTER.BSA monster names", monstersPlace};
const CatalogueKind kQuestsCatalogue{"quests", "quest records", questsPlace};

EntryIndex::EntryIndex(const std::vector<po::Entry>& entries) {
    for (const po::Entry& entry : entries) {
        if (entry.obsolete) continue;
        if (!byContext_.emplace(entry.context, &entry).second) {
            repeated_.push_back(entry.context);
            continue;
        }
        claimed_[entry.context] = false;
    }
}

const po::Entry* EntryIndex::claim(const std::string& context) {
    const auto it = byContext_.find(context);
    if (it == byContext_.end()) return nullptr;
    claimed_[context] = true;
    return it->second;
}

void EntryIndex::reportLeftovers(const std::string& fileName, const CatalogueKind& kind,
                                 std::vector<Problem>& problems, std::vector<std::string>& warnings) const {
    for (const std::string& context : repeated_)
        problems.push_back({context, "the catalogue holds this context more than once"});
    std::map<std::string, std::size_t> untranslatedByPlace;
    for (const auto& [context, taken] : claimed_) {
        if (taken) continue;
        if (isTranslated(*byContext_.at(context))) {
            problems.push_back({context, "this context matches nothing in " + fileName});
        } else {
            ++untranslatedByPlace[kind.placeOf(context).value_or(context)];
        }
    }
    for (const auto& [place, count] : untranslatedByPlace)
        warnings.push_back(std::to_string(count) + (count == 1 ? " untranslated entry" : " untranslated entries") +
                           " of " + place + (count == 1 ? " matches" : " match") + " nothing in " + fileName +
                           ": left aside.");
}

}  // namespace wright::cli

#include "wright/cli.h"

namespace wright::cli {

namespace {

// A catalogue none of whose live contexts is of `kind` is refused whole,
// rather than entry by entry: it names the kind it is when it is one.
void refuseOtherKind(const ImportRequest& request, const CatalogueKind& kind) {
    std::vector<const po::Entry*> live;
    for (const po::Entry& entry : request.entries)
        if (!entry.obsolete) live.push_back(&entry);
    if (live.empty()) return;
    for (const po::Entry* entry : live)
        if (kind.placeOf(entry->context)) return;
    const std::string first = live.front()->context;
    std::string message = request.catalogueName + ": import refused, nothing was written: not a catalogue of " +
                          kind.contents + ": ";
    for (const CatalogueKind* other : {&kMapsCatalogue, &kMonstersCatalogue, &kQuestsCatalogue}) {
        if (other == &kind || !other->placeOf(first)) continue;
        const bool all = std::all_of(live.begin(), live.end(),
                                     [other](const po::Entry* e) { return other->placeOf(e->context).has_value(); });
        if (!all) continue;
        throw Refused(message + "its contexts (\"" + first + "\"...) are those of " + other->contents +
                      "; import it with 'wright " + other->command + " import'.");
    }
    throw Refused(message + "none of its " + std::to_string(live.size()) +
                  (live.size() == 1 ? " context" : " contexts") + " is of that kind (the first is \"" + first +
                  "\").");
}

}  // namespace

ImportRequest importRequest(const Options& options, const std::string& targetName, const CatalogueKind& kind) {
    expectArguments(options, 2, targetName + " and the translated PO file");
    ImportRequest request;
    request.target = options.arguments[0];
    request.catalogueName = options.arguments[1];
    request.letters = lettersOption(options);
    request.sourceLetters = sourceLettersOption(options);
    request.dryRun = options.has("dry-run");
    request.typography = typographyOption(options);
    refuseFolder(request.catalogueName);
    request.entries = po::readCatalogue(request.catalogueName);
    refuseOtherKind(request, kind);
    for (po::Entry& entry : request.entries) {
        if (!isTranslated(entry)) continue;
        entry.translation = composed(entry.translation);
        if (request.typography) entry.translation = foldTypography(entry.translation, request.folded);
    }
    return request;
}

void printWarnings(std::ostream& err, const std::string& catalogueName, const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) err << catalogueName << ": warning: " << warning << "\n";
}

std::optional<std::string> typographyLine(const ImportRequest& request) {
    if (!request.typography) return std::nullopt;
    return request.catalogueName + ": --typography ascii replaced " + std::to_string(request.folded) +
           (request.folded == 1 ? " character" : " characters") + " by the game's nearest letters.";
}

Encoded storedName(const std::string& translation, Letters letters, std::size_t longest) {
    if (translation.find('\n') != std::string::npos) return {{}, "a name cannot hold a line break"};
    if (std::optional<std::string> outside = outsideAlphabet(translation, letters, TextKind::Name)) return {{}, outside};
    Encoded typed = typedName(translation, letters);
    if (!typed.ok()) return typed;
    if (typed.bytes.size() > longest) {
        typed.problem = "the translation has " + std::to_string(typed.bytes.size()) + " characters; the field holds " +
                        std::to_string(longest);
        return typed;
    }
    // The bytes shown back through the same view must be the translation.
    const std::string back = showName(typed.bytes, letters);
    if (back != translation) typed.problem = "the name would not come back as written: it would read \"" + back + "\"";
    return typed;
}

std::string staleSource(const std::string& shown) {
    return "the source text no longer matches the file, which holds \"" + shown + "\"";
}

void refuseImport(const std::string& catalogueName, const std::vector<Problem>& problems) {
    std::string message = catalogueName + ": import refused, nothing was written (" +
                          std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems") + "):";
    for (const Problem& problem : problems) message += "\n  " + problem.context + ": " + problem.reason;
    throw Refused(message);
}

std::string tallyLine(const std::string& fileName, const ImportTally& tally, bool dryRun, const std::string& one,
                      const std::string& many) {
    return fileName + ": " + (dryRun ? "dry run, nothing written: " : "") + counted(tally.written, one, many) +
           (dryRun ? " would be written" : " written") + ", " + std::to_string(tally.unchanged) +
           " already translated, " + std::to_string(tally.untranslated) + " untranslated left as " +
           (tally.untranslated == 1 ? "it was." : "they were.");
}

}  // namespace wright::cli
