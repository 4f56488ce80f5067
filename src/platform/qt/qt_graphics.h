#pragma once
// Graphics on Qt: a QPainter on a QImage that wraps the canvas's own blue-green-red buffer, so text
// and fills land in the same pixels as the canvas's direct writes (no copy in either direction).
#include <memory>

#include "platform/graphics.h"

namespace celes::platform {

class QtGraphicsFactory final : public GraphicsFactory {
  public:
    // Text needs a QGuiApplication (the offscreen platform will do); without one, shapes are still
    // drawn but setFont fails and text draws nothing.
    std::unique_ptr<Graphics> attach(const PixelBuffer& buffer) override;
};

// The installed family that stands in for a face name the chart uses; other names pass through.
const char* QtFamilyForFace(const std::string& face);

// Pixel size of a font of the given size in tenths of a point on the chart's 96-dpi device.
int FontPixelSize(int tenthsOfPoint);

}  // namespace celes::platform
