#include "tests/questwright/window_fixture.h"

#include "questwright/text_export.h"
#include "ui/text_codec.h"

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <map>
#include <random>

namespace wright::questwright {
namespace {

using fixtures::questImage;
using ui::MessageButton;

// The lines the memo's own document layout has made of its text.
QStringList laidOutLines(QPlainTextEdit* memo) {
    QStringList lines;
    auto* layout = qobject_cast<QPlainTextDocumentLayout*>(memo->document()->documentLayout());
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        const QString text = block.text();
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            lines << text.mid(line.textStart(), line.textLength());
        }
    }
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

std::string block(std::size_t i, std::vector<std::string> lines) {
    return recordBlock(i, lines);
}

const std::string kRule(40, '_');

TEST_F(QuestWindow, ExportWritesEveryRecordButTheLastInCrLfLines) {
    put("QUEST123.QRC", questImage({{1, "Hello\xFCW\xFE"}, {2, "Ch^ne\xFB\x0C"}, {3, "last, not exported"}}));
    listFolder();
    put("QUEST123.txt", "an older export, longer than the new one ..........................");
    click("BExportTXT");
    EXPECT_EQ(log().mid(log().size() - 2),
              (QStringList{"Export QRC file inQUEST123.txt...", "File QUEST123.txt generated"}));
    EXPECT_EQ(bytesOf("QUEST123.txt"), "Record n\xB0" "0----------\r\nHello<0xFC>\r\nW<0xFE>\r\n\r\n"
                                       "Record n\xB0" "1----------\r\nCh\xEAne<0xFB=12>\r\n\r\n");
    // The record before the last is selected and shown afterwards.
    EXPECT_EQ(records()->currentRow(), 1);
    EXPECT_EQ(memoText(), "Ch\u00EAne<0xFB=12>");
}

TEST_F(QuestWindow, AShortNameKeepsItsExtensionAndOneRecordGivesAnEmptyFile) {
    put("A.QRC", questImage({{1, "only record"}}));
    listFolder();
    click("BExportTXT");
    EXPECT_EQ(bytesOf("A.QRC.txt"), "");
    EXPECT_EQ(log().constLast(), "File A.QRC.txt generated");
}

TEST_F(QuestWindow, ALongLineIsExportedAsTheLinesMemoWrapsItInto) {
    std::string longLine;
    while (longLine.size() < 900) longLine += "Le chevalier traverse la for^t sans jamais s'arr^ter. ";
    longLine += std::string(200, 'x');  // a word longer than the memo is wide
    put("L.QRC", questImage({{1, longLine + "\xFD" "next line"}, {2, "end"}}));
    listFolder();
    const QStringList shown = laidOutLines(memo());
    ASSERT_GT(shown.size(), 6);

    click("BExportTXT");
    std::vector<std::string> expected;
    for (const QString& line : shown) expected.push_back(ui::fromQt(line).bytes);
    EXPECT_EQ(bytesOf("L.QRC.txt"), block(0, expected));

    // A narrower window wraps, and exports, into more lines.
    form_->resize(500, 700);
    QCoreApplication::processEvents();
    selectRecord(0);
    const QStringList narrower = laidOutLines(memo());
    EXPECT_GT(narrower.size(), shown.size());
    EXPECT_EQ(MemoWrap(memo()).lines(memoText()), narrower);
}

struct WrapCase {
    const char* name;
    QString text;
};

class MemoWrapAgrees : public QuestWindow, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(MemoWrapAgrees, WithTheMemosOwnLayout) {
    form_->show();
    edit(GetParam().text);
    EXPECT_EQ(MemoWrap(memo()).lines(memoText()), laidOutLines(memo()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoWrapAgrees,
    ::testing::Values(WrapCase{"Empty", ""}, WrapCase{"FinalBreak", "one<0xFC>\n"},
                      WrapCase{"EmptyLines", "a\n\n\nb"},
                      WrapCase{"Spaces", QString("word ").repeated(60) + QString(" ").repeated(90) + "end"},
                      WrapCase{"NoSpaces", QString("x").repeated(400)},
                      WrapCase{"Accents", QString::fromUtf8("forêt où l'été brûle ").repeated(12)},
                      WrapCase{"TabsAndNoBreakSpaces", QString::fromUtf8("a\tb\u00A0c ").repeated(40)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuestWindow, FastLineBreakingAgreesWithTheTextLayoutOnRandomText) {
    // Words, runs of spaces, punctuation with its own break rules, no-break
    // spaces, accented letters, tags and a few characters that take the
    // layout's own path (tab, soft hyphen, the euro sign).
    const QString alphabet = QString::fromUtf8("aaaaeeeiioouu    tnrsl,.;:!?-/()[]{}\"'%<>=_0123456789\u00A0éèàçôû«»\t\u00AD€");
    std::mt19937 rng(7);
    form_->show();
    for (int width : {814, 520, 330}) {
        form_->resize(width, 700);
        QCoreApplication::processEvents();
        MemoWrap wrap(memo());
        for (int n = 0; n < 1500; ++n) {
            QString text;
            const int length = static_cast<int>(rng() % 400);
            for (int i = 0; i < length; ++i) {
                if (rng() % 50 == 0) text += QString(static_cast<int>(rng() % 90), u'x');  // an overlong word
                text += alphabet.at(static_cast<qsizetype>(rng() % alphabet.size()));
            }
            ASSERT_EQ(wrap.lines(text), wrap.layoutLines(text)) << "width " << width << ": " << text.toStdString();
        }
    }
}

TEST_F(QuestWindow, PermanentRussianLettersAreExportedAsShown) {
    put("R.QRC", questImage({{1, "Ghbdtn vbh %pcn <0xFB=1>"}, {2, "Lheu"}, {3, "z"}}));
    listFolder();
    find<QCheckBox>("FixBox")->click();
    std::string expected;
    for (int i = 0; i < 2; ++i) {
        selectRecord(i);
        std::vector<std::string> lines;
        for (const QString& line : laidOutLines(memo())) lines.push_back(ui::fromQt(line).bytes);
        expected += block(static_cast<std::size_t>(i), lines);
    }
    click("BExportTXT");
    EXPECT_EQ(bytesOf("R.QRC.txt"), expected);
    EXPECT_NE(expected.find("\xCF\xF0\xE8\xE2\xE5\xF2"), std::string::npos);  // converted
}

TEST_F(QuestWindow, ExportAllWritesEveryQuestInListOrderAndAsksOnce) {
    put("A.QRC", questImage({{1, "a0"}, {2, "a1"}, {3, "a2"}}));
    put("B.QRC", questImage({{1, "only"}}));
    put("C.QRC", questImage({{1, "c0"}, {2, "c1"}}));
    listFolder();
    // The first quest of the list is exported from memory, its stored edit included.
    const QString first = quests()->item(0)->text();
    edit("stored, not saved");
    click("BStoreDialogs");
    script_.answer(MessageButton::No);
    click("BExportAllTXT");
    EXPECT_EQ(script_.messages().size(), 1);

    std::map<QString, std::vector<std::string>> texts{
        {"A.QRC", {"a0", "a1", "a2"}}, {"B.QRC", {"only"}}, {"C.QRC", {"c0", "c1"}}};
    texts[first][0] = "stored, not saved";
    std::string expected;
    QStringList exportLines;
    for (int i = 0; i < quests()->count(); ++i) {
        const QString name = quests()->item(i)->text();
        expected += kRule + "\r\n" + name.toStdString() + "\r\n" + kRule + "\r\n";
        const auto& records = texts[name];
        for (std::size_t r = 0; r + 1 < records.size(); ++r) expected += block(r, {records[r]});
        exportLines << "Export file " + name + "...";
    }
    EXPECT_EQ(bytesOf("AllQRC.txt"), expected);
    EXPECT_EQ(log().constFirst(), "Export all QRC files in AllQRC.txt...");
    EXPECT_EQ(log().constLast(), "File AllQRC.txt generated");
    QStringList seen;
    for (const QString& line : log())
        if (line.startsWith("Export file ")) seen << line;
    EXPECT_EQ(seen, exportLines);
    // The last quest of the list is loaded, its record before the last shown.
    EXPECT_EQ(form_->questName(), quests()->item(quests()->count() - 1)->text());
}

}  // namespace
}  // namespace wright::questwright
