#pragma once
// State the constellation, add-in and Milky Way layers keep between renders (owned by the view).
namespace celes {

struct LayerState {};

}  // namespace celes
