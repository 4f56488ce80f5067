#include "ui/transient_caption.h"

#include "view/colour_table.h"
#include "view/timer_ids.h"

namespace celes {

CaptionColours TransientCaptionColours(const ColourTable& table, const ColourMode& mode) {
    const Colour text = table[ColourEntry::GeneralText];
    const CaptionColours colours{FilterColour(text, ColourRole::Foreground, mode),
                                 FilterColour(~text & 0xFFFFFF, ColourRole::Background, mode)};
    // The night conversion keeps each colour's brightest byte, so a bright colour and its inverse
    // (each with one full byte) become the same red and the text would vanish into its box: at
    // night the box is a quarter of the text's red, as the chart's frame is.
    if (mode.redMode && !mode.blackWhite && !mode.whiteBlack)
        return {colours.text, MakeColour(RedOf(colours.text) / 4, 0, 0)};
    return colours;
}

TransientCaption::TransientCaption(platform::EventLoop* loop, std::function<bool()> placeLinesHidden,
                                   std::function<void()> repaint)
    : loop_(loop), placeLinesHidden_(std::move(placeLinesHidden)), repaint_(std::move(repaint)) {}

void TransientCaption::show(const std::string& text) {
    if (text.empty()) return;
    if (placeLinesHidden_ && !placeLinesHidden_()) return;
    text_ = text;
    if (loop_) ArmOnce(*loop_, TimerId::EraseCaption, kDurationMs, [this] { erase(); });
    if (repaint_) repaint_();
}

void TransientCaption::keep() {
    if (loop_) Disarm(*loop_, TimerId::EraseCaption);
}

void TransientCaption::eraseIn(std::uint32_t ms) {
    if (loop_) ArmOnce(*loop_, TimerId::EraseCaption, ms, [this] { erase(); });
}

void TransientCaption::erase() {
    if (loop_) Disarm(*loop_, TimerId::EraseCaption);
    const bool had = !text_.empty();
    text_.clear();
    if (had && repaint_) repaint_();
}

}  // namespace celes
