#include "fuzz/seeds/wright_seeds.h"

#include "fuzz/seeds/seed_writer.h"
#include "wright/png_image.h"

#include <string>
#include <utility>
#include <vector>

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
}
