// The rules of the recent models list.
#include "editor/logic/recent_list.h"

#include <gtest/gtest.h>

#include "editor/logic/edit_steps.h"

namespace marvolt {
namespace {

using List = std::vector<std::string>;

TEST(RecentListTest, NewestFirstOnceAndEightAtMost) {
    List list;
    for (int i = 1; i <= 10; ++i)
        list = WithRecent(list, "/m/" + std::to_string(i) + ".qsf");
    ASSERT_EQ(list.size(), kRecentLimit);
    EXPECT_EQ(list.front(), "/m/10.qsf");
    EXPECT_EQ(list.back(), "/m/3.qsf");
    // Opening one again moves it up, without a second entry.
    list = WithRecent(list, "/m/5.qsf");
    EXPECT_EQ(list.size(), kRecentLimit);
    EXPECT_EQ(list[0], "/m/5.qsf");
    EXPECT_EQ(list[1], "/m/10.qsf");
    EXPECT_EQ(std::count(list.begin(), list.end(), "/m/5.qsf"), 1);
    list = WithoutRecent(list, "/m/10.qsf");
    EXPECT_EQ(list.size(), kRecentLimit - 1);
    EXPECT_EQ(list[1], "/m/9.qsf");
    EXPECT_EQ(WithRecent({"/a.qsf"}, ""), List({"/a.qsf"}));
}

TEST(RecentListTest, AStoredListIsTidiedUp) {
    List stored = {"", "/a.qsf", "/b.qsf", "/a.qsf"};
    for (int i = 0; i < 10; ++i)
        stored.push_back("/x" + std::to_string(i));
    const List tidy = TidyRecent(stored);
    ASSERT_EQ(tidy.size(), kRecentLimit);
    EXPECT_EQ(tidy[0], "/a.qsf");
    EXPECT_EQ(tidy[1], "/b.qsf");
    EXPECT_EQ(tidy[2], "/x0");
}

TEST(RecentListTest, CaptionsAreNumberedForTheKeyboard) {
    EXPECT_EQ(RecentCaption(0, "/home/u/mm1.qsf"), "&1 /home/u/mm1.qsf");
    EXPECT_EQ(RecentCaption(7, "/a"), "&8 /a");
    // An ampersand of the path is shown, not taken for a shortcut.
    EXPECT_EQ(RecentCaption(1, "/R&D/net.qsf"), "&2 /R&&D/net.qsf");
}

TEST(EditStepsTest, HintsNameTheStep) {
    EXPECT_EQ(step::UndoHint(step::Deleted("Канал2")), "Отменить: удаление «Канал2»");
    EXPECT_EQ(step::RedoHint(step::Linked("Генератор1", "Накопитель1")),
              "Повторить: связь «Генератор1» → «Накопитель1»");
    EXPECT_EQ(step::UndoHint(""), "Отменить");
    EXPECT_EQ(step::RedoHint(""), "Повторить");
}

}  // namespace
}  // namespace marvolt
