#include "fuzz/seeds/wright_seeds.h"

#include "fuzz/scratch_folder.h"
#include "fuzz/seeds/seed_writer.h"
#include "fuzz/wright/import_games.h"
#include "wright/cli.h"
#include "wright/png_image.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What wright writes to `output` when run with args.
std::string exported(const std::vector<std::string>& args, const fs::path& output) {
    std::ostringstream out, err;
    if (wright::cli::run(args, {out, err}) != 0) std::abort();
    std::ifstream in(output, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The template with every one-line source translated by `translate`.
std::string translated(const std::string& po, std::string (*translate)(const std::string&)) {
    std::istringstream lines(po);
    std::string line, source, text;
    while (std::getline(lines, line)) {
        if (line.rfind("msgid \"", 0) == 0) source = line.substr(7, line.size() - 8);
        if (line == "msgstr \"\"" && !source.empty()) line = "msgstr \"" + translate(source) + "\"";
        text += line + "\n";
    }
    return text;
}

// Capitals, tags ("<0xFE>") left as they are.
std::string upper(const std::string& s) {
    std::string t = s;
    bool inTag = false;
    for (char& c : t) {
        inTag = c == '<' || (inTag && c != '>');
        if (!inTag && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return t;
}
std::string longer(const std::string& s) { return s + " " + s + " " + s + " " + s + " " + s; }
std::string typographic(const std::string& s) { return "\xE2\x80\x9C" + s + "\xE2\x80\xA6\xE2\x80\x9D"; }
std::string cyrillic(const std::string&) { return "\xD0\x9A\xD1\x80\xD1\x8B\xD1\x81\xD0\xB0"; }

void importSeeds(const fs::path& corpus) {
    const fs::path scratch = wright::fuzzing::scratchPath("import_seeds");
    fs::create_directories(scratch / "quests");
    wright::fuzzing::writeQuestFolder(scratch / "quests");
    wright::fuzzing::writeMonsterFile(scratch / "MONSTER.BSA");
    const std::string quests = exported(
        {"quests", "export", (scratch / "quests").string(), "-o", (scratch / "q.pot").string()}, scratch / "q.pot");
    const std::string monsters =
        exported({"monsters", "export", (scratch / "MONSTER.BSA").string(), "-o", (scratch / "m.pot").string()},
                 scratch / "m.pot");
    // The flags byte: bit 0 monsters, bits 1-2 the letters view, bit 3 typography.
    const std::vector<std::pair<std::string, std::string>> catalogues{
        {"quests_template", std::string(1, '\0') + quests},
        {"quests_upper", std::string(1, '\0') + translated(quests, upper)},
        {"quests_typography", std::string(1, '\x08') + translated(quests, typographic)},
        {"quests_russian", std::string(1, '\x02') + translated(quests, cyrillic)},
        {"quests_cut", std::string(1, '\0') + translated(quests, upper).substr(0, quests.size() / 2)},
        {"monsters_template", std::string(1, '\x01') + monsters},
        {"monsters_upper", std::string(1, '\x01') + translated(monsters, upper)},
        {"monsters_too_long", std::string(1, '\x01') + translated(monsters, longer)},
        {"monsters_none", std::string(1, '\x05') + translated(monsters, upper)},
        {"monsters_given_quests", std::string(1, '\x01') + translated(quests, upper)},
    };
    for (const auto& [name, bytes] : catalogues) writeSeed(corpus, "fuzz_po_import", name, bytes);

    // The picture's own PNG at scales 1 and 2, edited, with a short and a
    // reordered palette, and cut short.
    fs::create_directories(scratch / "picture");
    wright::fuzzing::writePictureFolder(scratch / "picture");
    const std::string img = (scratch / "picture" / "pic.img").string();
    const std::string png = (scratch / "picture" / "pic.png").string();
    const std::string own = exported({"img", "png", img, "-o", png}, png);
    writeSeed(corpus, "fuzz_png_import", "own", own);
    writeSeed(corpus, "fuzz_png_import", "scale_2", exported({"img", "png", img, "-o", png, "--scale", "2"}, png));
    writeSeed(corpus, "fuzz_png_import", "cut_short", own.substr(0, own.size() - 16));
    wright::png::PngReader reader(own);
    const std::vector<wright::png::Rgb> palette = reader.header().palette;
    std::vector<std::uint8_t> indices(4 * 3);
    for (std::uint32_t y = 0; y < 3; ++y) reader.readRow(indices.data() + 4 * y);
    const auto encode = [&](const std::vector<wright::png::Rgb>& plte, auto index) {
        return wright::png::encodeIndexedPng(4, 3, plte, [&](std::uint32_t y, std::uint8_t* row) {
            for (std::uint32_t x = 0; x < 4; ++x) row[x] = index(indices[4 * y + x]);
        });
    };
    writeSeed(corpus, "fuzz_png_import", "edited",
              encode(palette, [](std::uint8_t i) { return static_cast<std::uint8_t>(i ^ 1); }));
    std::vector<wright::png::Rgb> reversed(palette.rbegin(), palette.rend());
    writeSeed(corpus, "fuzz_png_import", "reordered_palette",
              encode(reversed, [](std::uint8_t i) { return static_cast<std::uint8_t>(255 - i); }));
    std::uint8_t largest = 0;
    for (const std::uint8_t i : indices) largest = std::max(largest, i);
    writeSeed(corpus, "fuzz_png_import", "short_palette",
              encode({palette.begin(), palette.begin() + largest + 1}, [](std::uint8_t i) { return i; }));
}

}  // namespace

void writeWrightSeeds(const std::filesystem::path& corpus) {
    // Catalogue text: UTF-8 of one to four bytes, line breaks, and bytes
    // that are not UTF-8 at all.
    const std::vector<std::pair<std::string, std::string>> utf8{
        {"utf8_accents", "Ch\xC3\xAAne \xC3\xA9t\xC3\xA9"},
        {"utf8_cyrillic", "\xD0\x97\xD0\xB0\xD0\xBC\xD0\xBE\xD0\xBA"},
        {"utf8_wide", "\xE2\x82\xAC \xF0\x9F\x90\x89"},
        {"utf8_breaks", "a\nb\r\nc\r"},
        {"utf8_broken", "\xC0\xAF \xED\xA0\x80 \xE2\x82"},
    };
    for (const auto& [name, text] : utf8) writeSeed(corpus, "fuzz_catalogue_text", name, text);

    // Indexed PNGs as the picture export writes them: a full palette, a short
    // one, a wide row, and one cut off in its pixel data.
    using wright::png::Rgb;
    std::vector<Rgb> full;
    for (int i = 0; i < 256; ++i) full.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7});
    const std::vector<Rgb> shortPalette{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
    const auto make = [](std::uint32_t w, std::uint32_t h, const std::vector<Rgb>& palette) {
        return wright::png::encodeIndexedPng(w, h, palette, [&](std::uint32_t y, std::uint8_t* row) {
            for (std::uint32_t x = 0; x < w; ++x) row[x] = static_cast<std::uint8_t>((x + 3 * y) % palette.size());
        });
    };
    const std::string picture = make(9, 8, full);
    writeSeed(corpus, "fuzz_png_reader", "indexed_9x8", picture);
    writeSeed(corpus, "fuzz_png_reader", "short_palette", make(4, 4, shortPalette));
    writeSeed(corpus, "fuzz_png_reader", "wide_row", make(320, 2, full));
    writeSeed(corpus, "fuzz_png_reader", "cut_short", picture.substr(0, picture.size() - 20));

    importSeeds(corpus);
}
