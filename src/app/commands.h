#pragma once
// The verbs of the `celes` program. Each takes the arguments after its verb and returns the
// process exit status. `celes` with no verb (or with only options) starts the GUI.
#include <string>
#include <vector>

namespace celes::app {

using Args = std::vector<std::string>;

int runGui(int argc, char** argv);
int cmdCatalog(const Args& args);
int cmdEphem(const Args& args);
int cmdToday(const Args& args);
int cmdNight(const Args& args);
int cmdAltitude(const Args& args);
int cmdAbove(const Args& args);
int cmdFind(const Args& args);
int cmdRender(const Args& args);
int cmdMount(const Args& args);
int cmdMountSim(const Args& args);

}  // namespace celes::app
