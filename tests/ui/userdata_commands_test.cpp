// The user-data rows through the command table: each number reaches its own operation (and only
// it), the marks their own slots, and "メシエJPEG表示" shows the images' state as its check mark.
#include "ui/userdata_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/command_table.h"

namespace celes {
namespace {

class RecordingOperations final : public UserDataOperations {
  public:
    void observingPlace() override { calls.push_back("place"); }
    void todaysData() override { calls.push_back("today"); }
    void registerTap() override { calls.push_back("register tap"); }
    void editTap() override { calls.push_back("edit tap"); }
    void saveChart() override { calls.push_back("save chart"); }
    void toggleMessierImages() override {
        images = !images;
        calls.push_back("images");
    }
    bool messierImages() const override { return images; }
    void setMark(int slot) override { calls.push_back("mark " + std::to_string(slot)); }
    void clearMarks() override { calls.push_back("clear marks"); }
    void showDescription() override { calls.push_back("description"); }
    void editDescription() override { calls.push_back("edit description"); }
    void speakDescription() override { calls.push_back("speak"); }

    std::vector<std::string> calls;
    bool images = false;
};

TEST(UserDataRows, EachNumberRunsItsOwnOperation) {
    const struct Case {
        int id;
        const char* call;
    } cases[] = {
        {32774, "place"},      {32826, "today"},  {32852, "register tap"}, {32854, "edit tap"},
        {32877, "save chart"}, {32921, "images"}, {32933, "description"},  {32937, "mark 0"},
        {32938, "mark 1"},     {32939, "mark 2"}, {32940, "clear marks"},  {32960, "edit description"},
        {32963, "speak"},
    };
    CommandTable table;
    RecordingOperations ops;
    RegisterUserDataCommands(table, ops);
    std::vector<std::string> notices;
    table.SetNoticeSink([&notices](const std::string& t) { notices.push_back(t); });
    for (const Case& c : cases) {
        ops.calls.clear();
        ASSERT_TRUE(table.Execute(c.id));
        EXPECT_EQ(ops.calls, std::vector<std::string>{c.call}) << c.id;
    }
    EXPECT_TRUE(notices.empty()) << "every user-data row has its handler";
    // Every row the table gives to user data is among the cases.
    for (const CommandRow& row : CommandTable::Rows()) {
        if (row.owner == CommandOwner::UserData) {
            EXPECT_TRUE(table.HasHandler(row.id)) << row.id;
        }
    }
}

TEST(UserDataRows, MessierImagesCheckFollowsTheImagesState) {
    CommandTable table;
    RecordingOperations ops;
    RegisterUserDataCommands(table, ops);
    EXPECT_FALSE(table.State(32921).checked);
    table.Execute(32921);
    EXPECT_TRUE(ops.images);
    EXPECT_TRUE(table.State(32921).checked);
    table.Execute(32921);
    EXPECT_FALSE(table.State(32921).checked);
}

}  // namespace
}  // namespace celes
