#include "pixwright/img_fixtures.h"
#include "pixwright/img_picture.h"
#include "pixwright/tform1.h"
#include "tests/support/accented_folder.h"
#include "tests/support/reported_errors.h"
#include "tests/support/temp_dir.h"
#include "ui/dialogs.h"
#include "ui/testing/scripted_dialogs.h"
#include "ui/wright_application.h"

#include <QDir>
#include <QFrame>
#include <QImage>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

// Names in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace wright::pixwright {
namespace {

using fixtures::headeredPicture;
using fixtures::paletteBytes;
using fixtures::patternPixels;
using fixtures::rampPalette;
using testing::TempDir;
using testing::writeBytes;

const QString kCaption = QStringLiteral("QAR2: Harrowmere IMG Files Editor {%1}");

QStringList loadLines(const QString& name, int size) {
    return {QStringLiteral("Loading File %1 ...").arg(name), QStringLiteral("Image size: %1 bytes").arg(size),
            QStringLiteral("Load Image Characteristics..."), QStringLiteral("Read image data..."),
            QStringLiteral("IMG File load completed.")};
}

// A raw picture of a listed length: the pattern's pixels, as many as the
// length's row asks for.
std::string rawPicture(std::int64_t length, int seed) {
    const std::optional<KnownIMGSize> row = IdentifyIMG(length);
    std::string bytes = patternPixels(row->width, row->height, seed);
    bytes.resize(static_cast<std::size_t>(length), '\0');
    return bytes;
}

class PixwrightWindow : public ::testing::Test {
protected:
    void SetUp() override {
        wright::testing::reportedErrors().clear();
        startDir_ = QDir::currentPath();
        ui::WrightApplication::instance()->setTitle(QStringLiteral("Pixwright-En"));
        // The program starts in a folder holding map.pal.
        QDir(root()).mkdir(QStringLiteral("start"));
        writeBytes(path("start/map.pal"), startPalette);
        QDir::setCurrent(root() + QStringLiteral("/start"));
        form_ = std::make_unique<TForm1>(dialogs_);
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }
    void TearDown() override {
        form_.reset();
        QDir::setCurrent(startDir_);
        EXPECT_TRUE(wright::testing::reportedErrors().isEmpty()) << wright::testing::reportedErrors().join("\n").toStdString();
    }

    QString root() const { return QString::fromStdString(dir_.path()); }
    std::string path(const std::string& relative) const { return dir_.file(relative); }
    QString folder(const char* name) {
        QDir(root()).mkpath(QLatin1String(name));
        return root() + QLatin1Char('/') + QLatin1String(name);
    }

    template <class T>
    T* control(const char* name) {
        T* found = form_->findChild<T*>(QLatin1String(name));
        if (!found) ADD_FAILURE() << "no control " << name;
        return found;
    }
    QListWidget* list() { return control<QListWidget>("IMGList"); }
    QWidget* image() { return control<QWidget>("Image"); }
    QStringList log() { return control<QPlainTextEdit>("Log")->toPlainText().split(u'\n'); }
    QString title() { return ui::WrightApplication::instance()->title(); }

    void choose(const QString& chosen) {
        script_.chooseFolder(chosen);
        QTest::mouseClick(control<QToolButton>("BSelectDir"), Qt::LeftButton);
    }
    void clickEntry(int row) {
        QListWidget* l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    }
    QStringList entries() {
        QStringList names;
        for (int i = 0; i < list()->count(); ++i) names << list()->item(i)->text();
        return names;
    }

    const std::string startPalette = paletteBytes(rampPalette(40));
    TempDir dir_;
    QString startDir_;
    ui::testing::ScriptedDialogs script_;
    ui::Dialogs dialogs_{script_};
    std::unique_ptr<TForm1> form_;
};

TEST_F(PixwrightWindow, OpensEmptyWithItsControls) {
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(title(), QStringLiteral("Pixwright-En"));
    EXPECT_EQ(form_->size(), QSize(872, 760));
    EXPECT_EQ(form_->palDir(), root() + QStringLiteral("/start"));

    auto* button = control<QToolButton>("BSelectDir");
    EXPECT_EQ(button->text(), QStringLiteral("Select IMG Directory"));
    EXPECT_EQ(button->geometry(), QRect(11, 15, 118, 25));
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(button->parentWidget(), control<QFrame>("Panel2"));
    EXPECT_EQ(control<QFrame>("Panel2")->height(), 59);
    EXPECT_EQ(control<QFrame>("Bevel1")->height(), 3);
    EXPECT_EQ(list()->width(), 128);
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(list()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(list()->isSortingEnabled());
    EXPECT_EQ(image()->size(), QSize(649, 489));
    EXPECT_EQ(image()->parentWidget(), control<QScrollArea>("ScrollBox1")->viewport());
    EXPECT_EQ(control<QFrame>("Panel3")->height(), 41);
    EXPECT_EQ(control<QFrame>("Panel3")->parentWidget(), control<QFrame>("Panel1"));
    auto* logBox = control<QPlainTextEdit>("Log");
    EXPECT_EQ(logBox->height(), 89);
    EXPECT_FALSE(logBox->isReadOnly());
    EXPECT_EQ(logBox->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_TRUE(logBox->toPlainText().isEmpty());
    // Top to bottom: the strip, the bevel, the list beside the picture area, the log.
    EXPECT_LT(control<QFrame>("Bevel1")->y(), list()->y());
    EXPECT_EQ(list()->x(), 0);
    EXPECT_EQ(control<QFrame>("Panel1")->x(), 128);
    EXPECT_EQ(logBox->geometry().bottom(), form_->height() - 1);
}

TEST_F(PixwrightWindow, FirstChoiceListsEvenTheStartFolderAndShowsItsFirstPicture) {
    writeBytes(path("start/ABC.IMG"), rawPicture(720, 1));
    choose(root() + QStringLiteral("/start"));
    EXPECT_EQ(script_.asked().at(0).folder.title, QStringLiteral("Select directory..."));
    EXPECT_EQ(script_.asked().at(0).folder.directory, QStringLiteral("."));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("ABC.IMG")});
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_EQ(log(), loadLines(QStringLiteral("ABC.IMG"), 720));
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("QAR2: Harrowmere IMG Files Editor {ABC.IMG}"));
    EXPECT_EQ(title(), QStringLiteral("{ABC.IMG}"));
    EXPECT_EQ(image()->size(), QSize(18, 160));
}

TEST_F(PixwrightWindow, ListsEveryKindOfEntryMatchingInAnyCase) {
    const QString pics = folder("pics");
    for (const char* name : {"a.img", "UP.IMG", "Mixed.Img", ".hidden.img", "notes.txt", "img", "a.img.bak"})
        writeBytes(path(std::string("pics/") + name), rawPicture(720, 2));
    QDir(pics).mkdir(QStringLiteral("sub.img"));
    choose(pics);
    // Unsorted: in the order the system's own enumeration gives.
    QStringList systemOrder;
    DIR* d = ::opendir(pics.toLocal8Bit().constData());
    ASSERT_NE(d, nullptr);
    while (const dirent* e = ::readdir(d))
        if (::fnmatch("*.img", e->d_name, FNM_CASEFOLD) == 0) systemOrder << QString::fromLocal8Bit(e->d_name);
    ::closedir(d);
    EXPECT_EQ(QSet<QString>(systemOrder.begin(), systemOrder.end()),
              (QSet<QString>{"a.img", "UP.IMG", "Mixed.Img", ".hidden.img", "sub.img"}));
    EXPECT_EQ(entries(), systemOrder);
}

TEST_F(PixwrightWindow, TheListedFolderIsNotListedAgainAndCancelChangesNothing) {
    const QString pics = folder("pics");
    writeBytes(path("pics/one.img"), rawPicture(720, 3));
    choose(pics);
    control<QPlainTextEdit>("Log")->appendPlainText(QStringLiteral("marker"));
    writeBytes(path("pics/two.img"), rawPicture(990, 4));
    choose(pics);
    script_.cancelFolder();
    QTest::mouseClick(control<QToolButton>("BSelectDir"), Qt::LeftButton);
    EXPECT_EQ(script_.asked().size(), 3);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("one.img")});
    EXPECT_EQ(log().constLast(), QStringLiteral("marker"));
    EXPECT_EQ(form_->imgDir(), pics);
}

TEST_F(PixwrightWindow, AnEmptyFolderKeepsTheLastPictureAndItsTitles) {
    writeBytes(path("start/one.img"), rawPicture(990, 5));
    choose(root() + QStringLiteral("/start"));
    const QImage shown = image()->grab().toImage();
    choose(folder("empty"));
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(form_->imgDir(), root() + QStringLiteral("/empty"));
    EXPECT_EQ(log(), loadLines(QStringLiteral("one.img"), 990));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(QStringLiteral("one.img")));
    EXPECT_EQ(title(), QStringLiteral("{one.img}"));
    EXPECT_EQ(image()->grab().toImage(), shown);
}

TEST_F(PixwrightWindow, ClickingTheShownEntryReadsNothingAgain) {
    writeBytes(path("start/one.img"), rawPicture(720, 6));
    writeBytes(path("start/two.img"), rawPicture(990, 7));
    choose(root() + QStringLiteral("/start"));
    const int shown = list()->currentRow();
    control<QPlainTextEdit>("Log")->appendPlainText(QStringLiteral("marker"));
    ::unlink(path("start/" + list()->item(shown)->text().toStdString()).c_str());
    clickEntry(shown);
    EXPECT_EQ(log().constLast(), QStringLiteral("marker"));
    EXPECT_EQ(form_->imgName(), list()->item(shown)->text());
}

TEST_F(PixwrightWindow, ANewFolderShowsItsFirstEntryEvenUnderTheShownName) {
    const QString a = folder("a"), b = folder("b");
    writeBytes(path("a/pic.img"), rawPicture(720, 8));
    writeBytes(path("b/pic.img"), rawPicture(990, 9));
    choose(a);
    EXPECT_EQ(image()->size(), QSize(18, 160));
    choose(b);
    EXPECT_EQ(log(), loadLines(QStringLiteral("pic.img"), 990));
    EXPECT_EQ(image()->size(), QSize(90, 44));
    EXPECT_EQ(form_->picture().IMGWidth, 45);
}

TEST_F(PixwrightWindow, ArrowKeysShowEachPictureInTurnAtExactlyItsSize) {
    const QString pics = folder("pics");
    writeBytes(path("pics/wide.img"), rawPicture(112128, 10));
    writeBytes(path("pics/small.img"), rawPicture(720, 11));
    writeBytes(path("pics/mid.img"), headeredPicture(30, 20, patternPixels(30, 20, 12)));
    choose(pics);
    const QStringList names = entries();
    ASSERT_EQ(names.size(), 3);
    const QHash<QString, QSize> sizes{{"wide.img", {1024, 438}}, {"small.img", {18, 160}}, {"mid.img", {60, 40}}};
    auto* scroll = control<QScrollArea>("ScrollBox1");
    const auto expectShown = [&](int row) {
        EXPECT_EQ(form_->imgName(), names[row]);
        EXPECT_EQ(log().constFirst(), QStringLiteral("Loading File %1 ...").arg(names[row]));
        EXPECT_EQ(form_->windowTitle(), kCaption.arg(names[row]));
        EXPECT_EQ(image()->size(), sizes[names[row]]);
        // The scroll box can reach a picture larger than what it shows, and
        // has nothing to scroll for one that fits.
        const bool wide = names[row] == QStringLiteral("wide.img");
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum() > 0, wide);
        EXPECT_EQ(scroll->verticalScrollBar()->maximum() > 0, scroll->viewport()->height() < sizes[names[row]].height());
    };
    expectShown(0);
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    expectShown(1);
    QTest::keyClick(list(), Qt::Key_Down);
    expectShown(2);
    QTest::keyClick(list(), Qt::Key_Up);
    expectShown(1);
    QTest::keyClick(list(), Qt::Key_Home);
    expectShown(0);
}

TEST_F(PixwrightWindow, TheImageHoldsThePictureBlockForBlock) {
    // The palette comes from the start folder, not from the pictures' folder.
    const QString pics = folder("pics");
    writeBytes(path("pics/map.pal"), paletteBytes(rampPalette(99)));
    const std::string big = rawPicture(4508, 13), small = rawPicture(990, 14);
    writeBytes(path("pics/a.img"), big);
    writeBytes(path("pics/b.img"), small);
    choose(pics);
    const Palette palette = rampPalette(40);
    for (int pass = 0; pass < 2; ++pass) {
        const QString name = list()->currentItem()->text();
        const std::string& bytes = name == QStringLiteral("a.img") ? big : small;
        const std::uint16_t w = name == QStringLiteral("a.img") ? 322 : 45;
        const std::uint16_t h = name == QStringLiteral("a.img") ? 14 : 22;
        const QImage grabbed = image()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(grabbed.size(), QSize(2 * w, 2 * h)) << name.toStdString();
        int wrong = 0;
        for (int y = 0; y < grabbed.height(); ++y)
            for (int x = 0; x < grabbed.width(); ++x) {
                const auto index = static_cast<std::uint8_t>(bytes[std::size_t(y / 2) * w + x / 2]);
                if (grabbed.pixel(x, y) != packPixel(PalToColor(palette, index)) && ++wrong <= 3)
                    ADD_FAILURE() << name.toStdString() << " pixel (" << x << ", " << y << ")";
            }
        EXPECT_EQ(wrong, 0);
        QTest::keyClick(list(), pass == 0 ? Qt::Key_Down : Qt::Key_Up);
    }
}

TEST_F(PixwrightWindow, AFailedLoadKeepsThePictureAndSelectingAgainRetries) {
    const QString pics = folder("pics");
    writeBytes(path("pics/a.img"), rawPicture(720, 15));
    writeBytes(path("pics/b.img"), rawPicture(990, 16));
    choose(pics);
    const QString first = list()->item(0)->text(), second = list()->item(1)->text();
    const std::string secondPath = path("pics/" + second.toStdString());
    const std::string secondBytes = testing::readBytes(secondPath);
    ::unlink(secondPath.c_str());
    const QSize shownSize = image()->size();

    clickEntry(1);
    EXPECT_EQ(log(), (QStringList{QStringLiteral("Loading File %1 ...").arg(second),
                                  QStringLiteral("Cannot open %1/%2: No such file or directory.").arg(pics, second)}));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(first));
    EXPECT_EQ(title(), QStringLiteral("{%1}").arg(first));
    EXPECT_EQ(image()->size(), shownSize);

    writeBytes(secondPath, secondBytes);
    clickEntry(1);
    EXPECT_EQ(log(), loadLines(second, int(secondBytes.size())));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(second));
    EXPECT_EQ(image()->size(), second == QStringLiteral("a.img") ? QSize(18, 160) : QSize(90, 44));
}

TEST_F(PixwrightWindow, AMissingPaletteOrAnOversizedPictureKeepsThePicture) {
    const QString pics = folder("pics");
    writeBytes(path("pics/a.img"), rawPicture(720, 17));
    choose(pics);
    const QImage shown = image()->grab().toImage();

    writeBytes(path("pics/huge.img"), headeredPicture(9000, 2, patternPixels(9000, 2)));
    list()->addItem(QStringLiteral("huge.img"));
    list()->setCurrentRow(list()->count() - 1);
    EXPECT_EQ(log().constLast(),
              QStringLiteral("The picture is 9000 x 2 pixels: at twice its size it exceeds 16384 pixels on a side "
                             "and is not drawn."));
    EXPECT_EQ(image()->grab().toImage(), shown);

    ::unlink(path("start/map.pal").c_str());
    list()->setCurrentRow(0);
    EXPECT_EQ(log().constLast(), QStringLiteral("Cannot open %1/start/map.pal: No such file or directory.").arg(root()));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(QStringLiteral("a.img")));
    EXPECT_EQ(image()->grab().toImage(), shown);
}

TEST_F(PixwrightWindow, PathsThroughAFolderOfAccentedAndCyrillicLettersShowAsTheyAre) {
    // The program starts in that folder, so map.pal is looked for there too.
    const std::string accented = testing::makeAccentedFolder(dir_.path());
    const QString folderText = QString::fromStdString(accented);
    writeBytes(accented + "/Été.img", rawPicture(720, 20));
    QDir(folderText).mkdir(QStringLiteral("X.img"));
    QDir::setCurrent(folderText);
    form_ = std::make_unique<TForm1>(dialogs_);
    form_->show();
    choose(folderText);
    const QString ete = QString::fromUtf8("Été.img");
    const QStringList listed = entries();
    ASSERT_EQ(QSet<QString>(listed.begin(), listed.end()), (QSet<QString>{ete, QStringLiteral("X.img")}));
    const auto show = [&](const QString& name) {
        list()->setCurrentRow(-1);
        list()->setCurrentRow(static_cast<int>(listed.indexOf(name)));
    };

    show(ete);
    EXPECT_EQ(log(), (QStringList{QStringLiteral("Loading File %1 ...").arg(ete), QStringLiteral("Image size: 720 bytes"),
                                  QStringLiteral("Load Image Characteristics..."), QStringLiteral("Read image data..."),
                                  QStringLiteral("Cannot open %1/map.pal: No such file or directory.").arg(folderText)}));
    show(QStringLiteral("X.img"));
    EXPECT_EQ(log(), (QStringList{QStringLiteral("Loading File X.img ..."),
                                  QStringLiteral("Cannot open %1/X.img: it is a folder.").arg(folderText)}));
    writeBytes(accented + "/map.pal", startPalette);
    show(ete);
    EXPECT_EQ(log(), loadLines(ete, 720));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(ete));
    EXPECT_EQ(title(), QStringLiteral("{%1}").arg(ete));
}

// A picture or map.pal that is there but cannot be read, beside the missing
// ones above: a folder of that name, or a file without read permission.
struct UnreadableCase {
    const char* name;
    bool palette;  // map.pal, not the picture
    bool folder;   // a folder of that name, else a file without read permission
    const char* reason;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

class UnreadableInWindow : public PixwrightWindow, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableInWindow, IsLoggedKeepsThePictureAndLoadsOnceReadable) {
    const UnreadableCase& c = GetParam();
    const QString pics = folder("pics");
    writeBytes(path("pics/a.img"), rawPicture(720, 18));
    choose(pics);
    const QImage shown = image()->grab().toImage();

    const std::string bytes = c.palette ? startPalette : rawPicture(990, 19);
    const std::string unreadable = path(c.palette ? "start/map.pal" : "pics/b.img");
    if (c.palette) writeBytes(path("pics/b.img"), rawPicture(990, 19));
    ::unlink(unreadable.c_str());
    if (c.folder) {
        ASSERT_EQ(::mkdir(unreadable.c_str(), 0755), 0);
    } else {
        writeBytes(unreadable, bytes);
        ASSERT_EQ(::chmod(unreadable.c_str(), 0000), 0);
        if (const int fd = ::open(unreadable.c_str(), O_RDONLY); fd >= 0) {
            ::close(fd);
            ::chmod(unreadable.c_str(), 0644);
            GTEST_SKIP() << "this user reads files without read permission";
        }
    }
    list()->addItem(QStringLiteral("b.img"));
    list()->setCurrentRow(1);
    const QStringList lines = log();
    EXPECT_EQ(lines.constFirst(), QStringLiteral("Loading File b.img ..."));
    EXPECT_TRUE(lines.constLast().startsWith(QStringLiteral("Cannot ")) &&
                lines.constLast().endsWith(QString::fromStdString(" " + unreadable + ": " + c.reason)))
        << lines.constLast().toStdString();
    // A picture that cannot be read shows no size: a folder has none.
    if (!c.palette) {
        EXPECT_EQ(lines, (QStringList{QStringLiteral("Loading File b.img ..."),
                                      QString::fromStdString("Cannot open " + unreadable + ": " + c.reason)}));
    }
    EXPECT_FALSE(lines.contains(QStringLiteral("IMG File load completed.")));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(QStringLiteral("a.img")));
    EXPECT_EQ(title(), QStringLiteral("{a.img}"));
    EXPECT_EQ(image()->grab().toImage(), shown);

    // Readable again, the same entry selected again loads.
    if (c.folder) ::rmdir(unreadable.c_str());
    ::chmod(unreadable.c_str(), 0644);
    writeBytes(unreadable, bytes);
    clickEntry(1);
    EXPECT_EQ(log(), loadLines(QStringLiteral("b.img"), 990));
    EXPECT_EQ(form_->windowTitle(), kCaption.arg(QStringLiteral("b.img")));
    EXPECT_EQ(image()->size(), QSize(90, 44));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableInWindow,
    ::testing::Values(UnreadableCase{"PictureIsAFolder", false, true, "it is a folder."},
                      UnreadableCase{"PictureWithoutReadPermission", false, false, "Permission denied."},
                      UnreadableCase{"MapPalIsAFolder", true, true, "it is a folder."},
                      UnreadableCase{"MapPalWithoutReadPermission", true, false, "Permission denied."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wright::pixwright
