#include "ui/widgets/dialog_commands.h"

#include <memory>

#include "skydata/addin.h"
#include "ui/command_table.h"
#include "ui/widgets/about_dialog.h"
#include "ui/widgets/addin_dialog.h"
#include "ui/widgets/colour_dialog.h"
#include "ui/widgets/constellation_dialog.h"
#include "ui/widgets/date_time_dialog.h"
#include "ui/widgets/options_dialog.h"
#include "ui/widgets/time_step_dialog.h"
#include "view/celes_view.h"
#include "view/render_context.h"

namespace celes {

namespace {

// The view's own fields go into its display settings first, so the pages show what is in effect.
void SyncSettings(CCelesView& view) {
    ViewStateToSettings(view.state(), view.settings());
    ColourModeToSettings(view.colourMode(), view.settings());
}

void ApplyOptions(const DialogCommandContext& c, const OptionPagesModel::Result& r) {
    CCelesView& view = c.view;
    view.settings() = r.settings;
    ViewStateFromSettings(view.settings(), view.state());
    ColourModeFromSettings(view.settings(), view.colourMode());
    view.layers().polylinesInMemory = view.settings().on(Setting::MemorySeizeFiles);
    Settings(c.store).writeInt(Setting::PopupMenuMag, r.popupMagnitude);
    view.saveSettings();
}

void RebuildSelectionFlags(ConstellationSelection& selection, const RecordSource& records) {
    selection.rebuildFlags({});
    const int n = std::min(records.objectCount(), kRecordFlagCount);
    for (int i = 0; i < n; ++i) {
        const auto& c = records.object(i).constellation;
        selection.setFlag(i, selection.isSelected(std::string_view(c.data(), c.size()), true));
    }
}

CAstroTime ViewTime(const ViewState& v) {
    CAstroTime t;
    t.year = static_cast<std::uint16_t>(v.year);
    t.month = static_cast<std::uint16_t>(v.month);
    t.day = static_cast<std::uint16_t>(v.day);
    t.hour = static_cast<std::uint16_t>(v.hour);
    t.minute = static_cast<std::uint16_t>(v.minute);
    t.second = static_cast<std::uint16_t>(v.second);
    return t;
}

// The command table's caption and refresh, when the wiring gives them.
struct Notifier {
    explicit Notifier(std::shared_ptr<DialogCommandContext> context) : c(std::move(context)) {}
    void Notice(const std::string& text) const {
        if (c->notice) c->notice(text);
    }
    void Changed(int id) const {
        if (c->changed) c->changed(id);
    }
    std::shared_ptr<DialogCommandContext> c;
};

}  // namespace

DialogOperations DialogCommandOperations(const DialogCommandContext& context) {
    // Handlers outlive this call: they share one copy of the context.
    const auto c = std::make_shared<DialogCommandContext>(context);
    const auto t = std::make_shared<Notifier>(c);
    DialogOperations ops;

    ops.options = [c, t] {
        SyncSettings(c->view);
        auto* d = new OptionsDialog(c->view.settings(), Settings(c->store).readInt(Setting::PopupMenuMag),
                                    c->parent);
        d->onAccepted = [c](const OptionPagesModel::Result& r) { ApplyOptions(*c, r); };
        d->onFinished = [c, t](bool ok) {
            // With telescope control on, the telescope takes up its settings and the chart follows
            // the clock, whichever button closed the pages.
            if (c->view.settings().on(Setting::Option3TsCtrl)) {
                if (c->telescopeSettings) c->telescopeSettings();
                if (c->setNow) c->setNow();
                if (c->startFollowing && c->startFollowing()) t->Notice("自動更新モードを設定しました");
            }
            if (ok) c->view.recompute();
            t->Changed(kCmdOptions);
        };
        d->openFitted();
    };

    ops.dateTime = [c, t] {
        auto* d = new DateTimeDialog(ViewTime(c->view.state()), c->now, c->parent);
        d->onAccepted = [c, t](const CAstroTime& time) {
            ViewState& v = c->view.state();
            v.year = time.year;
            v.month = time.month;
            v.day = time.day;
            v.hour = time.hour;
            v.minute = time.minute;
            v.second = time.second;
            c->view.recompute();
            t->Changed(kCmdDateTime);
        };
        d->openFitted();
    };

    ops.colours = [c, t] {
        auto* d = new ColourDialog(c->view.colours(), c->store, c->parent);
        d->onFinished = [c, t](ColourDialogModel::Result, const ColourTable& colours) {
            c->view.colours() = colours;
            c->view.recompute();
            t->Changed(kCmdColours);
        };
        d->openFitted();
    };

    ops.constellations = [c, t] {
        auto* d =
            new ConstellationDialog(c->view.layers().selection, c->view.state().selectedOnly, c->parent);
        d->onAccepted = [c, t](const ConstellationSelection& chosen, bool selectedOnly) {
            ConstellationSelection& selection = c->view.layers().selection;
            selection.clear();
            for (std::string_view a : chosen.abbreviations()) selection.add(a);
            c->view.state().selectedOnly = selectedOnly;
            if (selectedOnly) RebuildSelectionFlags(selection, c->records);
            c->view.saveSettings();
            t->Notice(CommandTable::Row(kCmdConstellations)->notice);
            c->view.recompute();
            t->Changed(kCmdConstellations);
        };
        d->openFitted();
    };

    ops.addins = [c, t] {
        auto* d = new AddinDialog(c->store, c->view.state().addIns, c->parent);
        d->onAccepted = [c](bool enabled) {
            c->view.state().addIns = enabled;
            c->view.layers().addInPaths = LoadAddinList(Settings(c->store));
            c->view.saveSettings();
            c->view.recompute();
        };
        // "追加" stores at once, so the drawn list follows the store even after Cancel.
        d->onFinished = [c, t] {
            c->view.layers().addInPaths = LoadAddinList(Settings(c->store));
            t->Changed(kCmdAddins);
        };
        d->openFitted();
    };

    if (context.step && context.setStep) {
        ops.stepDialog = [c, t] {
            if (c->stepDialogAllowed && !c->stepDialogAllowed()) return;
            auto* d = new TimeStepDialog(TimeStepTable(), c->step(), c->parent);
            d->onAccepted = [c, t](const StepSize& s) {
                c->setStep(s);
                t->Changed(kCmdStepDialog);
            };
            d->openFitted();
        };
    }

    ops.about = [c] {
        auto* d = new AboutDialog(c->store, c->parent);
        d->openFitted();
    };
    return ops;
}

}  // namespace celes
