#include "platform/qt/qt_graphics.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <vector>

namespace celes::platform {

const char* QtFamilyForFace(const std::string& face) {
    if (face == "MS Pゴシック") return "IPAPGothic";
    if (face == "MS ゴシック") return "IPAGothic";
    if (face == "Tahoma") return "DejaVu Sans";
    return nullptr;
}

int FontPixelSize(int tenthsOfPoint) {
    // The chart was laid out for a 96-dpi screen: 7.5 points are 10 pixels.
    const int px = (tenthsOfPoint * 96 + 360) / 720;
    return px < 1 ? 1 : px;
}

namespace {

QColor ToQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

bool HaveGuiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

struct DrawState {
    bool penOn = true;
    QColor penColour = Qt::black;
    int penWidth = 1;
    bool brushOn = true;
    QColor brushColour = Qt::white;
    bool invert = false;
    bool hasFont = false;
    QFont font;
    QColor textColour = Qt::black;
    QColor textBackground = Qt::white;
    bool transparentText = false;
};

class QtGraphics final : public Graphics {
  public:
    explicit QtGraphics(const PixelBuffer& b)
        : image_(b.bits, b.width, b.height, b.stride, QImage::Format_BGR888), valid_(b.bits && b.width > 0) {
        if (valid_) {
            painter_.begin(&image_);
            painter_.setRenderHint(QPainter::Antialiasing, false);
            painter_.setRenderHint(QPainter::TextAntialiasing, false);
        }
    }
    ~QtGraphics() override {
        if (painter_.isActive()) painter_.end();
    }

    void setPen(Colour colour, int width) override {
        s_.penOn = true;
        s_.penColour = ToQColor(colour);
        s_.penWidth = width < 1 ? 1 : width;
    }
    void setNullPen() override { s_.penOn = false; }
    void setBrush(Colour colour) override {
        s_.brushOn = true;
        s_.brushColour = ToQColor(colour);
    }
    void setNullBrush() override { s_.brushOn = false; }
    void setInvert(bool on) override { s_.invert = on; }
    void save() override { stack_.push_back(s_); }
    void restore() override {
        if (stack_.empty()) return;
        s_ = stack_.back();
        stack_.pop_back();
    }

    void fillRect(const Rect& r, Colour colour) override {
        if (!valid_ || r.right <= r.left || r.bottom <= r.top) return;
        painter_.setCompositionMode(QPainter::CompositionMode_Source);
        painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(colour));
    }

    void rectangle(const Rect& r) override {
        if (!valid_ || r.right <= r.left || r.bottom <= r.top) return;
        applyShapeState();
        if (!s_.penOn) {
            if (s_.brushOn)
                painter_.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                                  s_.invert ? QBrush(Qt::white) : QBrush(s_.brushColour));
            return;
        }
        painter_.drawRect(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
    }

    void ellipse(const Rect& r) override {
        if (!valid_ || r.right <= r.left || r.bottom <= r.top) return;
        applyShapeState();
        painter_.drawEllipse(QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
    }

    void polygon(const Point* points, int count) override {
        if (!valid_ || !points || count < 2) return;
        QPolygon poly(count);
        for (int i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
        applyShapeState();
        painter_.drawPolygon(poly, Qt::OddEvenFill);
    }

    void line(int x1, int y1, int x2, int y2) override {
        if (!valid_ || !s_.penOn) return;
        applyShapeState();
        painter_.drawLine(x1, y1, x2, y2);
    }

    bool setFont(const std::string& face, int tenthsOfPoint) override {
        if (!HaveGuiApplication()) return false;
        const char* family = QtFamilyForFace(face);
        QFont f(family ? QString::fromUtf8(family) : QString::fromUtf8(face.c_str()));
        f.setPixelSize(FontPixelSize(tenthsOfPoint));
        f.setStyleStrategy(QFont::NoAntialias);
        s_.font = f;
        s_.hasFont = true;
        return true;
    }
    void setTextColour(Colour colour) override { s_.textColour = ToQColor(colour); }
    void setTextBackground(Colour colour) override { s_.textBackground = ToQColor(colour); }
    void setTransparentText(bool transparent) override { s_.transparentText = transparent; }

    void textOut(int x, int y, const std::string& text) override {
        if (!valid_ || !s_.hasFont || text.empty()) return;
        const QString q = QString::fromUtf8(text.data(), qsizetype(text.size()));
        painter_.setFont(s_.font);
        const QFontMetrics fm = painter_.fontMetrics();
        if (!s_.transparentText) {
            painter_.setCompositionMode(QPainter::CompositionMode_Source);
            painter_.fillRect(QRect(x, y, fm.horizontalAdvance(q), fm.height()), s_.textBackground);
        }
        painter_.setCompositionMode(s_.invert ? QPainter::RasterOp_NotDestination
                                              : QPainter::CompositionMode_SourceOver);
        painter_.setPen(s_.invert ? QColor(Qt::white) : s_.textColour);
        painter_.drawText(x, y + fm.ascent(), q);
    }

    Extent textExtent(const std::string& text) override {
        if (!s_.hasFont) return {};
        const QFontMetrics fm(s_.font);
        return {fm.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))), fm.height()};
    }

  private:
    void applyShapeState() {
        painter_.setCompositionMode(s_.invert ? QPainter::RasterOp_NotDestination
                                              : QPainter::CompositionMode_SourceOver);
        if (s_.penOn) {
            // Flat caps leave the end point of a line undrawn, as the chart's line drawing expects.
            QPen pen(s_.invert ? QColor(Qt::white) : s_.penColour);
            pen.setWidth(s_.penWidth == 1 ? 0 : s_.penWidth);
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter_.setPen(pen);
        } else {
            painter_.setPen(Qt::NoPen);
        }
        if (s_.brushOn)
            painter_.setBrush(s_.invert ? QColor(Qt::white) : s_.brushColour);
        else
            painter_.setBrush(Qt::NoBrush);
    }

    QImage image_;
    QPainter painter_;
    bool valid_;
    DrawState s_;
    std::vector<DrawState> stack_;
};

}  // namespace

std::unique_ptr<Graphics> QtGraphicsFactory::attach(const PixelBuffer& buffer) {
    if (!buffer.bits || buffer.width <= 0 || buffer.height <= 0 || buffer.stride < buffer.width * 3)
        return std::make_unique<NullGraphics>();
    return std::make_unique<QtGraphics>(buffer);
}

}  // namespace celes::platform
