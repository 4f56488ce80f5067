#include "telescope/mount_link.h"

namespace celes {

#if !defined(CELES_WITH_INDI)
MountLinkMaker MakeIndiLinkMaker(platform::EventLoop&, platform::Clock&) {
    return {};
}
#endif

}  // namespace celes
