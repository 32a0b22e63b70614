#include "wright/catalogue.h"

namespace wright::cli {

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

void EntryIndex::reportLeftovers(const std::string& fileName, std::vector<Problem>& problems) const {
    for (const std::string& context : repeated_)
        problems.push_back({context, "the catalogue holds this context more than once"});
    for (const auto& [context, taken] : claimed_)
        if (!taken) problems.push_back({context, "this context matches nothing in " + fileName});
}

}  // namespace wright::cli

#include "wright/cli.h"

namespace wright::cli {

ImportRequest importRequest(const Options& options, const std::string& targetName) {
    expectArguments(options, 2, targetName + " and the translated PO file");
    ImportRequest request;
    request.target = options.arguments[0];
    request.catalogueName = options.arguments[1];
    request.letters = lettersOption(options);
    request.sourceLetters = sourceLettersOption(options);
    request.dryRun = options.has("dry-run");
    request.typography = typographyOption(options);
    request.entries = po::readCatalogue(request.catalogueName);
    for (po::Entry& entry : request.entries) {
        if (!isTranslated(entry)) continue;
        entry.translation = composed(entry.translation);
        if (request.typography) entry.translation = foldTypography(entry.translation, request.folded);
    }
    return request;
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

std::string tallyLine(const std::string& fileName, const ImportTally& tally, bool dryRun, const std::string& unit) {
    return fileName + ": " + (dryRun ? "dry run, nothing written: " : "") + std::to_string(tally.written) + " " +
           unit + (dryRun ? " would be written" : " written") + ", " + std::to_string(tally.unchanged) +
           " already translated, " + std::to_string(tally.untranslated) + " untranslated left as they were.";
}

}  // namespace wright::cli
