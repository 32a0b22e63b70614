#pragma once
// The plain-text export of quests. Lines are 8-bit text (Windows-1252), each
// ended by CR LF whatever the platform.
//
//   record block:   "Record n°<i>----------" CRLF, each line CRLF, then CRLF
//   quest section:  40 "_" CRLF, the file name, CRLF, 40 "_" CRLF, then the
//                   record blocks of the quest
//
// Every record of a quest but its last one is exported.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wright::questwright {

inline constexpr std::string_view kExportLineEnd = "\r\n";
inline constexpr std::size_t kRuleLength = 40;
inline constexpr std::size_t kExportNameLength = 8;
inline constexpr std::string_view kAllQuestsFileName = "AllQRC.txt";

// The heading, the lines and the closing empty line of record `index`.
std::string recordBlock(std::size_t index, const std::vector<std::string>& lines);

// The rules and the title that open a quest's section of the combined export.
std::string questSectionHeading(std::string_view questName);

// How many of a quest's records are exported: all but the last.
std::size_t exportedRecordCount(std::size_t recordCount);

// The export file of one quest: the first 8 characters of its name (UTF-8,
// as the file system names it), then ".txt".
std::string exportFileName(std::string_view questName);

}  // namespace wright::questwright
