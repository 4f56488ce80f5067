#include "skydata/addin_list_model.h"

#include <gtest/gtest.h>

#include "fakes/memory_settings.h"

namespace celes {
namespace {

TEST(AddinListModel, ListsNonEmptyEntriesAndRenumbersOnOk) {
    fakes::MemorySettings store;
    Settings s(store);
    store.writeInt("ADIN", "COUNT", 3);
    store.writeString("ADIN", "f1", "/d/a.p90");
    store.writeString("ADIN", "f2", "");
    store.writeString("ADIN", "f3", "/d/c.p99");

    AddinListModel m(s, true);
    EXPECT_EQ(m.paths(), (std::vector<std::string>{"/d/a.p90", "/d/c.p99"}));
    m.remove(0);
    m.remove(5);  // no such entry
    EXPECT_TRUE(m.accept());
    EXPECT_EQ(store.readInt("ADIN", "COUNT", -1), 1);
    EXPECT_EQ(store.readString("ADIN", "f1", ""), "/d/c.p99");
    EXPECT_FALSE(store.has("ADIN", "f2"));
    EXPECT_FALSE(store.has("ADIN", "f3"));
}

TEST(AddinListModel, AddIsStoredAtOnceAndSurvivesCancel) {
    fakes::MemorySettings store;
    Settings s(store);
    {
        AddinListModel m(s, false);
        EXPECT_FALSE(m.listEnabled());
        m.add("");  // a cancelled file dialog
        EXPECT_FALSE(store.has("ADIN", "COUNT"));
        m.add("/d/COMET.P99");
        // The dialog is cancelled here: nothing else is written.
    }
    EXPECT_EQ(store.readInt("ADIN", "COUNT", 0), 1);
    EXPECT_EQ(store.readString("ADIN", "f1", ""), "/d/COMET.P99");

    AddinListModel again(s, true);
    EXPECT_EQ(again.paths(), std::vector<std::string>{"/d/COMET.P99"});
    again.add("/d/b.p93");
    EXPECT_EQ(store.readString("ADIN", "f2", ""), "/d/b.p93");
    again.accept();
    EXPECT_EQ(store.readInt("ADIN", "COUNT", 0), 2);
}

}  // namespace
}  // namespace celes
