#pragma once
// Button images of the commands, drawn in code: a rounded key with a short sign (a kanji, an
// arrow, a number) chosen so that each button reads at 28x30 and stays crisp at any device pixel
// ratio. No image files are needed at run time. The sign and its colour family are data of the
// command's row (ui/command_table.cpp); this file only draws them, each key when it is first shown.
#include <QIcon>
#include <QString>

namespace celes {

// The sign drawn on the button of command `id` (falls back to the caption's first letter).
QString CommandGlyph(int id, const QString& caption);
// The icon at `size` device-independent pixels, rendered for `devicePixelRatio`. At night the key
// is black and the sign red, like the rest of the window.
QIcon CommandIcon(int id, const QString& caption, QSize size, qreal devicePixelRatio, bool night = false);

}  // namespace celes
