#include "ui/command_wiring.h"

#include "platform/event_loop.h"
#include "skydata/settings_table.h"
#include "ui/view_commands.h"
#include "view/celes_view.h"

namespace celes {

AppCommands::AppCommands(const CommandServices& s)
    : caption(
          &s.loop, [&view = s.view] { return view.settings().on(Setting::Option2NoKansoku); }, s.repaint),
      bars(s.store),
      time(s.view, s.store, s.loop, s.dialogs, s.clock) {
    table.SetNoticeSink([this](const std::string& text) { caption.show(text); });
    RegisterViewCommands(table, {s.view, s.store, s.dialogs, s.dataFolder});
    time.registerCommands(table);
    RegisterBarCommands(table, bars, [this] {
        if (openSetMenu) openSetMenu();
    });
    table.SetHandler(kCmdExit, [this, &loop = s.loop] {
        if (exitProgram)
            exitProgram();
        else
            loop.quit();
    });
}

}  // namespace celes
