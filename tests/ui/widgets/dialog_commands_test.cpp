// The dialogs' commands: each opens its dialog without waiting, and what its buttons do reaches
// the view and the settings store.
#include "ui/widgets/dialog_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>

#include <map>
#include "fakes/memory_settings.h"
#include "ui/command_table.h"

#include "ui/widgets/constellation_dialog.h"
#include "ui/widgets/options_dialog.h"
#include "ui/widgets/test_application.h"
#include "view/celes_view.h"
#include "view/render_records.h"

namespace celes {
namespace {

template <typename Dialog>
Dialog* Open(QWidget& window) {
    const auto found = window.findChildren<Dialog*>();
    return found.isEmpty() ? nullptr : found.back();
}

StarRecord InConstellation(const char* abbreviation) {
    StarRecord r;
    setField(r.constellation, abbreviation);
    return r;
}

struct Fixture {
    fakes::MemorySettings store;
    MemoryRecords records{std::vector<StarRecord>{InConstellation("Ori"), InConstellation("Tau")}};
    CCelesView view{store, records, nullptr};
    QWidget window;
    CommandTable table;
    std::vector<std::string> notices;
    std::vector<int> changed;

    Fixture() {
        window.resize(240, 320);
        window.show();
        DialogCommandContext c{view, store, records, &window, {}, {}, {}, {}, {}, {}, {}, {}, {}};
        c.now = [] { return CAstroTime(2026, 12, 10, 21, 6, 0); };
        c.step = [] { return StepSize{}; };
        c.setStep = [](const StepSize&) {};
        c.notice = [this](const std::string& t) { notices.push_back(t); };
        c.changed = [this](int id) { changed.push_back(id); };
        RegisterDialogCommands(table, DialogCommandOperations(c));
    }
    void Execute(int id) {
        ASSERT_TRUE(table.HasHandler(id)) << id;
        table.Execute(id);
    }
};

TEST(DialogCommands, EveryDialogRowHasAHandler) {
    test::EnsureApplication();
    Fixture f;
    for (int id : {32775, 32776, 32823, 32838, 32850, 32876, 57664})
        EXPECT_TRUE(f.table.HasHandler(id)) << id;
}

TEST(DialogCommands, OptionPagesOkReachesTheViewAndCancelStoresNothing) {
    test::EnsureApplication();
    Fixture f;
    ASSERT_TRUE(f.view.state().noPlaceText);
    const int writes = f.store.writes;
    f.Execute(32775);
    OptionsDialog* d = Open<OptionsDialog>(f.window);
    ASSERT_NE(d, nullptr);
    qobject_cast<QCheckBox*>(d->control(Setting::Option2NoKansoku))->setChecked(false);
    d->buttons()->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(f.store.writes, writes);
    EXPECT_TRUE(f.view.state().noPlaceText);

    f.Execute(32775);
    d = Open<OptionsDialog>(f.window);
    ASSERT_NE(d, nullptr);
    qobject_cast<QCheckBox*>(d->control(Setting::Option2NoKansoku))->setChecked(false);
    d->buttons()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(f.view.state().noPlaceText);
    EXPECT_EQ(f.store.readInt("OPTION2", "NO_KANSOKU", 1), 0);
    EXPECT_EQ(f.store.readInt("POPUPMENU", "MAG", -1), 4);
}

TEST(DialogCommands, ConstellationSelectionRebuildsTheRecordFlags) {
    test::EnsureApplication();
    Fixture f;
    f.Execute(32838);
    auto* d = Open<ConstellationDialog>(f.window);
    ASSERT_NE(d, nullptr);
    d->filterBox()->setChecked(true);
    d->zodiacButton()->click();
    d->buttons()->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(f.view.state().selectedOnly);
    EXPECT_FALSE(f.view.layers().selection.flag(0));  // Orion is not in the zodiac
    EXPECT_TRUE(f.view.layers().selection.flag(1));   // Taurus is
    EXPECT_EQ(f.notices, std::vector<std::string>{"星座選択"});
    EXPECT_EQ(f.changed, std::vector<int>{32838});
}

}  // namespace
}  // namespace celes
