#include "telescope/mount_link.h"

namespace celes {

// MakeIndiLinkMaker lives with the INDI back-end (indi_link.cpp).

}  // namespace celes
