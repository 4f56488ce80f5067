#include "userdata/chart_images.h"

#include "skydata/star_record.h"
#include "skydata/text_codec.h"
#include "view/layers/draw_addins.h"
#include "view/layers/layer_state.h"
#include "view/projection.h"
#include "view/render_result.h"
#include "view/sky_canvas.h"
#include "view/timer_ids.h"

namespace celes {

// Records hold Shift-JIS; file names here are UTF-8, as the user types them ("木星.jpg").
std::string DeepSkyImagePath(const UserFiles& files, const StarRecord& r) {
    return files.forReading(cp932ToUtf8(fieldText(r.designation, 3)) + ".jpg");
}

std::string BodyImagePath(const UserFiles& files, const StarRecord& r) {
    return files.forReading(cp932ToUtf8(fieldText(r.designation)) + ".jpg");
}

bool HasDeepSkyImage(const StarRecord& r) {
    return r.type >= +ObjectType::GlobularCluster && r.type <= +ObjectType::Galaxy && !r.isBody();
}

void DrawImageOverChart(RenderContext& rc, const JpegBitmap& image, bool stretch) {
    DrawJpegOnCanvas(image, rc.canvas, rc.canvas.Width(), rc.canvas.Height(), stretch);
}

void DrawTapTextOverChart(RenderContext& rc, const std::string& textUtf8) {
    PrintCaption(rc, 10, 22, textUtf8, rc.foreground(ColourEntry::AddInText));
}

void DrawDescriptionOverChart(RenderContext& rc, const std::string& textUtf8, bool enlargedFont) {
    platform::Graphics& gc = rc.canvas.Gc();
    gc.save();
    const int size = enlargedFont ? rc.view.fontSize * 13 / 10 : rc.view.fontSize;
    gc.setFont("MS Pゴシック", size);
    rc.lineHeight = gc.textExtent("あ").cy;
    if (rc.lineHeight <= 0) rc.lineHeight = 10;
    Colour colour = rc.foreground(ColourEntry::GeneralText);
    if (rc.colourMode.whiteBlack) colour = 0x000000;
    if (rc.colourMode.blackWhite) colour = 0xFFFFFF;
    PrintCaption(rc, 5, 10, textUtf8, colour);
    gc.restore();
}

void DeepSkyImageTimer::tapped(const StarRecord& r, bool imagesOn, const UserFiles& files) {
    if (!imagesOn || !HasDeepSkyImage(r)) return;
    path_ = DeepSkyImagePath(files, r);
    ArmOnce(loop_, TimerId::DeepSkyImage, 400, [this] { fire(); });
}

void DeepSkyImageTimer::fire() {
    Disarm(loop_, TimerId::DeepSkyImage);
    if (path_.empty()) return;
    const std::string path = std::move(path_);
    path_.clear();
    if (show_) show_(path);
}

}  // namespace celes
