#pragma once
// An icon drawn the first time it is shown. A window builds an action for every command, but only
// the buttons on its bars are drawn at start; a menu's icons wait until the menu opens. Drawing
// every key with its fitted font before the window appears cost more than the first chart.
#include <QIcon>

#include <functional>

namespace celes {

// The icon `draw` makes, of `size` device-independent pixels: drawn on the first request for its
// pixels and kept from then on (copies of the icon share the drawing). Its size is known without
// drawing, so laying out a bar draws nothing.
QIcon DeferredIcon(QSize size, std::function<QIcon()> draw);

}  // namespace celes
