#include <cstdio>

#include "app/commands.h"

namespace celes::app {

int cmdMountSim(const Args&) {
    std::fprintf(stderr, "celes: this command is not available yet\n");
    return 2;
}

}  // namespace celes::app
