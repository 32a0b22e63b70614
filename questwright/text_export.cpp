#include "questwright/text_export.h"

namespace wright::questwright {

std::string recordBlock(std::size_t index, const std::vector<std::string>& lines) {
    std::string block = "Record n\xB0" + std::to_string(index) + "----------";
    block += kExportLineEnd;
    for (const std::string& line : lines) {
        block += line;
        block += kExportLineEnd;
    }
    block += kExportLineEnd;
    return block;
}

std::string questSectionHeading(std::string_view questName) {
    const std::string rule(kRuleLength, '_');
    std::string heading = rule;
    heading += kExportLineEnd;
    heading += questName;
    heading += kExportLineEnd;
    heading += rule;
    heading += kExportLineEnd;
    return heading;
}

std::size_t exportedRecordCount(std::size_t recordCount) {
    return recordCount == 0 ? 0 : recordCount - 1;
}

std::string exportFileName(std::string_view questName) {
    // A character starts at every byte that is not a UTF-8 continuation byte.
    std::size_t end = 0;
    for (std::size_t characters = 0; end < questName.size(); ++end) {
        const bool starts = (static_cast<unsigned char>(questName[end]) & 0xC0) != 0x80;
        if (starts && characters++ == kExportNameLength) break;
    }
    return std::string(questName.substr(0, end)) + ".txt";
}

}  // namespace wright::questwright
