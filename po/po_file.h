#pragma once
// Translation catalogues as gettext PO files. A template (POT) is written
// in UTF-8 with one entry per translatable string; a translated PO is read
// back entry by entry, its text converted to UTF-8 from the charset its
// header declares, as gettext's own tools do. Reading and writing go through
// libgettextpo, so what Poedit, OmegaT or Weblate write is read as they meant it.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace wright::po {

// A "#:" reference: the game file, and the record or location in it.
struct Reference {
    std::string file;
    std::size_t line = 0;
};

struct Entry {
    std::string context;           // msgctxt: where the string lives in the game's files
    std::string source;            // msgid
    std::string translation;       // msgstr; empty when untranslated
    std::string extractedComment;  // "#." lines: what the translator should know
    bool fuzzy = false;
    bool obsolete = false;
    // Written only, for translation tools: "#," flags beside fuzzy (such as
    // Weblate's "max-length:31"; none may hold a comma or a line break), and
    // the "#:" reference.
    std::vector<std::string> flags = {};
    std::optional<Reference> reference = {};
};

// A catalogue that could not be read or written; the message lists every
// problem with its file and line.
class PoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every entry but the header, in file order, in UTF-8. A header that
// declares another charset has the entries converted from it through iconv;
// a charset the system does not know, or text not valid in it, is a PoError.
std::vector<Entry> readCatalogue(const std::string& path);

// A template's bytes: a header naming the project and the time it was made,
// then the entries with empty translations. Throws PoError.
std::string templateText(const std::string& projectId, const std::vector<Entry>& entries);
// A translated catalogue's bytes: the entries with their translations and
// fuzzy marks (for tools that fill in a template).
std::string catalogueText(const std::string& projectId, const std::vector<Entry>& entries);

// Either, written whole through the file writer (wright::FileError when the
// file cannot be written; the file then keeps what it held).
void writeTemplate(const std::string& path, const std::string& projectId, const std::vector<Entry>& entries);
void writeCatalogue(const std::string& path, const std::string& projectId, const std::vector<Entry>& entries);

}  // namespace wright::po
