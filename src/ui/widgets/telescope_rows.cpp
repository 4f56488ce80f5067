#include "ui/widgets/telescope_rows.h"

#include "skydata/settings_table.h"
#include "ui/command_table.h"
#include "ui/widgets/telescope_control.h"
#include "view/celes_view.h"

namespace celes {

void RegisterTelescopeRows(CommandTable& table, TelescopeControl& telescope, CCelesView& view,
                           platform::SettingsStore& store) {
    for (int id : TelescopeControl::Commands()) {
        table.SetHandler(id, [&telescope, &view, &store, id] {
            telescope.Run(id);
            if (id == kCmdTelescopeControl)
                view.settings().adopt(Setting::Option3TsCtrl,
                                      Settings(store).readInt(Setting::Option3TsCtrl));
        });
        table.SetUpdate(id, [&telescope, id](CommandState& s) {
            const TelescopeCommandState t = telescope.State(id);
            s.enabled = t.enabled;
            s.checked = t.checked;
            if (!t.caption.empty()) s.caption = t.caption;
        });
    }
}

}  // namespace celes
