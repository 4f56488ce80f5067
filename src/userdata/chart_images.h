#pragma once
// Images and texts laid over the finished chart: deep-sky photographs shown 400 ms after a tap,
// planet images, the image, add-in or text of a registered tap, and constellation descriptions.
// They are drawn over the shown chart through the view (CCelesView::drawOverShownChart) and stay
// until the next render replaces it.
#include <functional>
#include <string>

#include "platform/event_loop.h"
#include "skydata/data_location.h"
#include "userdata/jpeg_codec.h"
#include "view/render_context.h"

namespace celes {

// Photograph of a deep-sky object: the designation text from its byte 3 + ".jpg", the user's own in
// the user folder first, else the data folder's. The names are taken in UTF-8, the file system's own
// text.
std::string DeepSkyImagePath(const UserFiles& files, const StarRecord& r);
// Image of a body (planet, Moon): its whole designation + ".jpg" ("木星.jpg"), looked up the same way.
std::string BodyImagePath(const UserFiles& files, const StarRecord& r);
// Whether a tapped record's photograph is looked for after a tap (kinds 2 to 8).
bool HasDeepSkyImage(const StarRecord& r);

// The image at the chart's top-left corner: stretched over the chart when `stretch` is on and its
// width differs from the chart's, else unscaled and clipped.
void DrawImageOverChart(RenderContext& rc, const JpegBitmap& image, bool stretch);
// A tap's text at (10, 22) in lines of 20 characters, in the add-in text colour.
void DrawTapTextOverChart(RenderContext& rc, const std::string& textUtf8);
// A description in the label font (times 1.3 with the enlarged tap font), white in the white-black
// mode, black in the black-white mode, else the general text colour, laid out by the add-in text
// rule at (5, 10).
void DrawDescriptionOverChart(RenderContext& rc, const std::string& textUtf8, bool enlargedFont);

// Timer 905: a tapped deep-sky object's photograph, 400 ms after the tap.
class DeepSkyImageTimer {
  public:
    // `show` gets the image path when the timer fires.
    DeepSkyImageTimer(platform::EventLoop& loop, std::function<void(const std::string& path)> show)
        : loop_(loop), show_(std::move(show)) {}
    // A tap identified `r`: remembers it and arms the timer when images are on and it is of kind 2-8.
    void tapped(const StarRecord& r, bool imagesOn, const UserFiles& files);
    void fire();
    bool armed() const { return !path_.empty(); }

  private:
    platform::EventLoop& loop_;
    std::function<void(const std::string&)> show_;
    std::string path_;
};

}  // namespace celes
