#include "questwright/text_export.h"

#include <gtest/gtest.h>

namespace wright::questwright {
namespace {

TEST(TextExport, RecordBlockHasItsHeadingLinesAndAnEmptyLineWithCrLf) {
    EXPECT_EQ(recordBlock(12, {"Hello<0xFC>", "W<0xFE>"}),
              "Record n\xB0" "12----------\r\nHello<0xFC>\r\nW<0xFE>\r\n\r\n");
    EXPECT_EQ(recordBlock(0, {}), "Record n\xB0" "0----------\r\n\r\n");
}

TEST(TextExport, QuestSectionHeadingHasTwoRulesAroundTheName) {
    const std::string rule(40, '_');
    EXPECT_EQ(questSectionHeading("QUEST1.QRC"), rule + "\r\nQUEST1.QRC\r\n" + rule + "\r\n");
}

TEST(TextExport, EveryRecordButTheLastIsExported) {
    EXPECT_EQ(exportedRecordCount(0), 0u);
    EXPECT_EQ(exportedRecordCount(1), 0u);
    EXPECT_EQ(exportedRecordCount(60), 59u);
}

TEST(TextExport, ExportNameIsTheFirstEightCharactersAndTxt) {
    EXPECT_EQ(exportFileName("QUEST123.QRC"), "QUEST123.txt");
    EXPECT_EQ(exportFileName("A.QRC"), "A.QRC.txt");
    EXPECT_EQ(exportFileName("ABCDEFG.Q"), "ABCDEFG..txt");
    EXPECT_EQ(exportFileName("LONGERNAME.QRC"), "LONGERNA.txt");
    // Characters, not bytes, of a name the file system holds in UTF-8.
    EXPECT_EQ(exportFileName("\xC3\x89T\xC3\x89_QU\xC3\x8ATE.QRC"), "\xC3\x89T\xC3\x89_QU\xC3\x8AT.txt");
}

}  // namespace
}  // namespace wright::questwright
