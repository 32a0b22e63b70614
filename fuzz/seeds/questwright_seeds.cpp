#include "fuzz/seeds/questwright_seeds.h"

#include "fuzz/seeds/seed_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

void appendU16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void appendU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A quest file whose records follow its index back to back.
std::string questImage(const std::vector<std::pair<std::uint16_t, std::string>>& records, std::uint16_t header) {
    std::string out;
    appendU16(out, header);
    std::uint32_t offset = 2 + 6 * static_cast<std::uint32_t>(records.size());
    for (const auto& [id, data] : records) {
        appendU16(out, id);
        appendU32(out, offset);
        offset += static_cast<std::uint32_t>(data.size());
    }
    for (const auto& record : records) out += record.second;
    return out;
}

}  // namespace

void writeQuestwrightSeeds(const std::filesystem::path& corpus) {
    const std::string hello("Hello\xFCW\xFE", 8);
    const std::string tagged("Ch^ne \xFB\x0C" "arg\xFD" "end\xFF", 17);
    // The container's parser and the reader the window uses take the same files.
    for (const char* target : {"fuzz_quest_container", "fuzz_quest_read"}) {
        writeSeed(corpus, target, "two_records", questImage({{1000, hello}, {1001, tagged}}, 12));
        writeSeed(corpus, target, "header_13", questImage({{7, "ab"}, {7, ""}}, 13));
        writeSeed(corpus, target, "no_records", questImage({}, 0));
        writeSeed(corpus, target, "one_record", questImage({{5, std::string(300, 'x')}}, 6));
    }
    std::string cut = questImage({{1, "abc"}, {2, "de"}}, 12);
    writeSeed(corpus, "fuzz_quest_read", "index_past_the_end", cut.substr(0, 9));
    // Four bytes between the index and the first record: a save moves the
    // records up and gives them new offsets.
    std::string apart;
    appendU16(apart, 12);
    appendU16(apart, 1);
    appendU32(apart, 18);
    appendU16(apart, 2);
    appendU32(apart, 21);
    apart += "....abcde";
    writeSeed(corpus, "fuzz_quest_read", "records_apart", apart);

    writeSeed(corpus, "fuzz_record_notation", "hello", hello);
    writeSeed(corpus, "fuzz_record_notation", "tagged", tagged);
    writeSeed(corpus, "fuzz_record_notation", "last_fb", std::string("ab\xFB", 3));
    writeSeed(corpus, "fuzz_record_notation", "text_tags", "Hello<0xFC>\r\nW<0xFB=  -5><0xFB=$1F><0xFB=0x1f><0xFE>x");
    writeSeed(corpus, "fuzz_record_notation", "text_unclosed", "a<0xFB=12");
    writeSeed(corpus, "fuzz_record_notation", "text_breaks", "a\r\n\r\nb\xE9\xFB");
}
