#include "po/po_file.h"
#include "fileio/binary_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace wright::po {
namespace {

using wright::testing::readBytes;
using wright::testing::TempDir;
using wright::testing::writeBytes;
namespace fs = std::filesystem;

TEST(PoTemplate, WritesEntriesThatReadBackAndThatMsgfmtAccepts) {
    TempDir dir;
    const std::string path = dir.file("maps.pot");
    const std::vector<Entry> entries{
        {"region 05 = Dwynnen / location 3", "Ch\xC3\xAAne", "", "dungeon; 31 bytes at most", false, false},
        {"region 05 = Dwynnen / location 4", "Ch\xC3\xAAne", "", "", false, false},
        {"quest A.QRC / record 0", "Hello<0xFC>\nW<0xFE>", "", "", false, false},
    };
    writeTemplate(path, "wright maps", entries);
    const std::vector<Entry> back = readCatalogue(path);
    ASSERT_EQ(back.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].context, entries[i].context);
        EXPECT_EQ(back[i].source, entries[i].source);
        EXPECT_EQ(back[i].translation, "");
        EXPECT_EQ(back[i].extractedComment.find(entries[i].extractedComment), 0u);
    }
    if (std::system("command -v msgfmt >/dev/null 2>&1") == 0) {
        const std::string command = "msgfmt --check -o /dev/null '" + path + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << readBytes(path);
    }
}

TEST(PoCatalogue, AWrittenCatalogueKeepsItsTranslationsAndFuzzyMarks) {
    TempDir dir;
    const std::string path = dir.file("fr.po");
    const std::vector<Entry> entries{
        {"monster 0", "Rat", "Rat", "", false, false},
        {"monster 1", "Wolf", "Loup ?", "", true, false},
        {"monster 2", "Bear", "", "", false, false},
    };
    writeCatalogue(path, "wright monsters", entries);
    const std::vector<Entry> back = readCatalogue(path);
    ASSERT_EQ(back.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(back[i].translation, entries[i].translation);
        EXPECT_EQ(back[i].fuzzy, entries[i].fuzzy);
    }
    // Unlike a template's, a catalogue's header is not fuzzy.
    EXPECT_EQ(readBytes(path).find("#, fuzzy\nmsgid \"\""), std::string::npos);
}

TEST(PoCatalogue, ReadsWhatTranslationToolsWrite) {
    TempDir dir;
    const std::string path = dir.file("fr.po");
    // A header, a wrapped string, a fuzzy entry, translator comments, an
    // untranslated entry and an obsolete one, as CAT tools leave them.
    writeBytes(path,
               "# Translators' notes\n"
               "msgid \"\"\n"
               "msgstr \"\"\n"
               "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
               "\"Language: fr\\n\"\n"
               "\n"
               "# reviewed\n"
               "#. dungeon; 31 bytes at most\n"
               "msgctxt \"region 05 / location 3\"\n"
               "msgid \"Oak\"\n"
               "msgstr \"\"\n"
               "\"Ch\xC3\xAA\"\n"
               "\"ne\"\n"
               "\n"
               "#, fuzzy\n"
               "msgctxt \"region 05 / location 4\"\n"
               "msgid \"Elm\"\n"
               "msgstr \"Orme\"\n"
               "\n"
               "msgctxt \"region 05 / location 5\"\n"
               "msgid \"Ash\"\n"
               "msgstr \"\"\n"
               "\n"
               "#~ msgctxt \"region 09 / location 1\"\n"
               "#~ msgid \"Old\"\n"
               "#~ msgstr \"Vieux\"\n");
    const std::vector<Entry> entries = readCatalogue(path);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].translation, "Ch\xC3\xAAne");
    EXPECT_EQ(entries[0].extractedComment, "dungeon; 31 bytes at most\n");
    EXPECT_FALSE(entries[0].fuzzy);
    EXPECT_TRUE(entries[1].fuzzy);
    EXPECT_EQ(entries[1].translation, "Orme");
    EXPECT_EQ(entries[2].translation, "");
    EXPECT_TRUE(entries[3].obsolete);
}

// Flags libgettextpo cannot write are set into its rendering, each on the
// entry it belongs to: beside a fuzzy mark, after a wrapped string, on an
// entry without a context, and not on the header.
TEST(PoCatalogue, WritesEachEntrysFlagsAndReferenceOnThatEntry) {
    Entry fuzzy{"monster 1", "Wolf", "Loup ?", "", true, false};
    fuzzy.flags = {"max-length:24"};
    Entry wrapped{"QUEST001.QRC record 0", std::string(60, 'a') + "<0xFC>\n" + std::string(90, 'b'), "", "", false,
                  false};
    wrapped.flags = {"max-length:10000", R"(placeholders:r"<0xF[CDEF]>|<0xFB=[0-9]+>")"};
    wrapped.reference = Reference{"QUEST001.QRC", 0};
    Entry bare{"", "No context", "", "", false, false};
    bare.flags = {"max-length:3"};
    bare.reference = Reference{"MAPS.BSA/region-5", 12};
    const Entry plain{"monster 2", "Bear", "", "", false, false};
    const std::vector<Entry> entries{fuzzy, wrapped, plain, bare};

    TempDir dir;
    for (const bool isTemplate : {false, true}) {
        SCOPED_TRACE(isTemplate ? "template" : "catalogue");
        const std::string text = isTemplate ? templateText("wright", entries) : catalogueText("wright", entries);
        EXPECT_NE(text.find(isTemplate ? "#, max-length:24\nmsgctxt \"monster 1\""
                                       : "#, fuzzy, max-length:24\nmsgctxt \"monster 1\""),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("#: QUEST001.QRC:0\n#, max-length:10000, placeholders:r\"<0xF[CDEF]>|<0xFB=[0-9]+>\"\n"
                            "msgctxt \"QUEST001.QRC record 0\""),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("\"Bear\"\nmsgstr \"\"\n\n#: MAPS.BSA/region-5:12\n#, max-length:3\nmsgid \"No context\""),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find("msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: wright\\n\"\n\"POT-Creation-Date: 20"),
                  std::string::npos)
            << text;
        EXPECT_LT(text.find("Content-Transfer-Encoding"), text.find("max-length"));
        // What gettext reads of it is what was written.
        const std::string path = dir.file(isTemplate ? "t.pot" : "c.po");
        writeBytes(path, text);
        const std::vector<Entry> back = readCatalogue(path);
        ASSERT_EQ(back.size(), entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(back[i].context, entries[i].context);
            EXPECT_EQ(back[i].source, entries[i].source);
            EXPECT_EQ(back[i].fuzzy, !isTemplate && entries[i].fuzzy);
        }
        if (std::system("command -v msgfmt >/dev/null 2>&1") == 0) {
            EXPECT_EQ(std::system(("msgfmt --check -o /dev/null '" + path + "' 2>/dev/null").c_str()), 0) << text;
        }
    }
}

TEST(PoCatalogue, RefusesAMissingOrBrokenFileNamingTheProblem) {
    TempDir dir;
    try {
        readCatalogue(dir.file("missing.po"));
        FAIL() << "read a missing file";
    } catch (const PoError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.po: cannot open"), std::string::npos) << e.what();
    }
    const std::string broken = dir.file("broken.po");
    writeBytes(broken, "msgid \"x\"\nmsgstr \"y\nbroken\n");
    try {
        readCatalogue(broken);
        FAIL() << "read a broken file";
    } catch (const PoError& e) {
        EXPECT_NE(std::string(e.what()).find("broken.po:3"), std::string::npos) << e.what();
    }
}

TEST(PoTemplate, AFailedWriteLeavesTheOldFile) {
    TempDir dir;
    // The folder does not exist: nothing can be written, and nothing is left behind.
    EXPECT_THROW(writeTemplate(dir.file("sub/maps.pot"), "wright", {}), FileError);
    EXPECT_FALSE(fs::exists(dir.file("sub")));

    // A disk that fills up part way (here a file-size limit, which the system
    // enforces as it would a full disk): the old catalogue stays whole.
    const std::string existing = dir.file("old.pot");
    writeBytes(existing, "old");
    std::vector<Entry> entries;
    for (int i = 0; i < 2000; ++i) entries.push_back({"c" + std::to_string(i), "source " + std::to_string(i), "", "", false, false});
    try {
        const testing::FileSizeLimit limit(4096);
        writeTemplate(existing, "wright", entries);
        ADD_FAILURE() << "a template larger than the disk allows was reported written";
    } catch (const FileError& error) {
        EXPECT_EQ(error.errorNumber(), EFBIG) << error.what();
        EXPECT_NE(std::string(error.what()).find("old.pot"), std::string::npos) << error.what();
    }
    EXPECT_EQ(readBytes(existing), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "a temporary file stayed behind";

    writeTemplate(existing, "wright", entries);
    EXPECT_EQ(readCatalogue(existing).size(), entries.size());
}

}  // namespace
}  // namespace wright::po
