#include "questwright/text_export.h"

namespace wright::quest {

std::string RecordBlock(std::size_t index, const std::vector<std::string>& lines) {
    std::string block = "Record n\xB0" + std::to_string(index) + "----------";
    block += kExportLineEnd;
    for (const std::string& line : lines) {
        block += line;
        block += kExportLineEnd;
    }
    block += kExportLineEnd;
    return block;
}

std::string QuestSectionHeading(std::string_view questName) {
    const std::string rule(kRuleLength, '_');
    std::string heading = rule;
    heading += kExportLineEnd;
    heading += questName;
    heading += kExportLineEnd;
    heading += rule;
    heading += kExportLineEnd;
    return heading;
}

std::size_t ExportedRecordCount(std::size_t recordCount) {
    return recordCount == 0 ? 0 : recordCount - 1;
}

QString ExportFileName(const QString& questName) {
    return questName.left(kExportNameLength) + QStringLiteral(".txt");
}

}  // namespace wright::quest
