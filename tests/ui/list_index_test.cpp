#include "ui/button_tag.h"
#include "ui/list_index.h"

#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace wright::ui {
namespace {

TEST(ListIndex, EntriesWithinTheListAreReadAndWritten) {
    QListWidget list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(listItemText(&list, 1), QStringLiteral("b"));
    setListItemText(&list, 0, QStringLiteral("z"));
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("z"));
}

TEST(ListIndex, AnIndexBeyondTheLastRaisesAnErrorNamingIt) {
    QListWidget list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b")});
    for (int index : {2, 7, -1}) {
        try {
            (void)listItemText(&list, index);
            ADD_FAILURE() << "no error for index " << index;
        } catch (const ListIndexError& e) {
            EXPECT_EQ(e.index(), index);
            EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
        }
    }
    EXPECT_THROW(setListItemText(&list, 2, QStringLiteral("x")), ListIndexError);
    EXPECT_EQ(list.count(), 2);
}

TEST(ButtonTag, StartsAtZeroAndHoldsAll32Bits) {
    QPushButton button;
    EXPECT_EQ(tag(&button), 0);
    setTag(&button, ~tag(&button));
    EXPECT_EQ(tag(&button), -1);
    setTag(&button, ~tag(&button));
    EXPECT_EQ(tag(&button), 0);
    setTag(&button, 1);
    EXPECT_EQ(tag(&button), 1);
}

}  // namespace
}  // namespace wright::ui
