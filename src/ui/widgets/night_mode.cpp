#include "ui/widgets/night_mode.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>

namespace celes {

namespace {

// Icons in the red ramp: each pixel's brightest channel becomes red, scaled so that white is the
// chart's own red and nothing is brighter; transparency is kept.
QImage RedRamp(const QImage& source, int top) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int level = qMax(qRed(c), qMax(qGreen(c), qBlue(c)));
            line[x] = qRgba(level * top / 255, 0, 0, qAlpha(c));
        }
    }
    return image;
}

// The application's style with every icon and picture it draws turned red while night vision is
// on: message-box signs, button and menu icons, the file dialog's icons. Off, it draws as the
// style it wraps.
class NightStyle : public QProxyStyle {
  public:
    explicit NightStyle(QStyle* base) : QProxyStyle(base) {}

    void setNight(bool on, int top) {
        on_ = on;
        top_ = top;
    }
    QPixmap red(const QPixmap& pixmap) const {
        if (!on_ || pixmap.isNull()) return pixmap;
        const QString key = QStringLiteral("celes-night-%1-%2").arg(pixmap.cacheKey()).arg(top_);
        QPixmap done;
        if (QPixmapCache::find(key, &done)) return done;
        done = QPixmap::fromImage(RedRamp(pixmap.toImage(), top_));
        done.setDevicePixelRatio(pixmap.devicePixelRatio());
        QPixmapCache::insert(key, done);
        return done;
    }
    QIcon red(const QIcon& icon) const {
        if (!on_ || icon.isNull()) return icon;
        QIcon done;
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
            for (const QSize& size : icon.availableSizes(mode))
                done.addPixmap(red(icon.pixmap(size, mode)), mode);
        if (done.isNull()) {
            for (int side : {16, 24, 32, 48}) done.addPixmap(red(icon.pixmap(side, side)));
        }
        return done;
    }

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override {
        return red(QProxyStyle::standardIcon(which, option, widget));
    }
    QPixmap standardPixmap(StandardPixmap which, const QStyleOption* option,
                           const QWidget* widget) const override {
        return red(QProxyStyle::standardPixmap(which, option, widget));
    }
    void drawItemPixmap(QPainter* painter, const QRect& rect, int alignment,
                        const QPixmap& pixmap) const override {
        QProxyStyle::drawItemPixmap(painter, rect, alignment, red(pixmap));
    }
    QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap,
                                const QStyleOption* option) const override {
        return red(QProxyStyle::generatedIconPixmap(mode, pixmap, option));
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        // Icons that come with the option (buttons, menu items, list and tree rows, tabs).
        if (on_) {
            if (const auto* o = qstyleoption_cast<const QStyleOptionViewItem*>(option);
                o && !o->icon.isNull()) {
                QStyleOptionViewItem copy(*o);
                copy.icon = red(o->icon);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
            if (const auto* o = qstyleoption_cast<const QStyleOptionButton*>(option);
                o && !o->icon.isNull()) {
                QStyleOptionButton copy(*o);
                copy.icon = red(o->icon);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
            if (const auto* o = qstyleoption_cast<const QStyleOptionToolButton*>(option);
                o && !o->icon.isNull()) {
                QStyleOptionToolButton copy(*o);
                copy.icon = red(o->icon);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
            if (const auto* o = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
                o && !o->icon.isNull()) {
                QStyleOptionMenuItem copy(*o);
                copy.icon = red(o->icon);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
            if (const auto* o = qstyleoption_cast<const QStyleOptionTab*>(option); o && !o->icon.isNull()) {
                QStyleOptionTab copy(*o);
                copy.icon = red(o->icon);
                QProxyStyle::drawControl(element, &copy, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        if (on_) {
            if (const auto* o = qstyleoption_cast<const QStyleOptionToolButton*>(option);
                o && !o->icon.isNull()) {
                QStyleOptionToolButton copy(*o);
                copy.icon = red(o->icon);
                QProxyStyle::drawComplexControl(control, &copy, painter, widget);
                return;
            }
            if (const auto* o = qstyleoption_cast<const QStyleOptionComboBox*>(option);
                o && !o->currentIcon.isNull()) {
                QStyleOptionComboBox copy(*o);
                copy.currentIcon = red(o->currentIcon);
                QProxyStyle::drawComplexControl(control, &copy, painter, widget);
                return;
            }
        }
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }

  private:
    bool on_ = false;
    int top_ = 255;
};

struct Saved {
    bool on = false;
    QPointer<NightStyle> style;  // installed at the first night, owned by the application
    QPalette palette;
    QPalette toolTipPalette;
    QString styleSheet;
};

Saved& State() {
    static Saved saved;
    return saved;
}

QPalette NightPalette(const NightColours& c) {
    const QColor text = c.text;
    const QColor dim(text.red() * 45 / 100, 0, 0);
    const QColor back = c.background;
    const QColor raised(qMin(255, back.red() + 24), 0, 0);
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = g == QPalette::Disabled;
        p.setColor(g, QPalette::Window, back);
        p.setColor(g, QPalette::Base, Qt::black);
        p.setColor(g, QPalette::AlternateBase, back);
        p.setColor(g, QPalette::Button, raised);
        p.setColor(g, QPalette::ToolTipBase, Qt::black);
        for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                      QPalette::ToolTipText, QPalette::BrightText, QPalette::PlaceholderText})
            p.setColor(g, r, off ? dim : text);
        p.setColor(g, QPalette::Highlight, dim);
        p.setColor(g, QPalette::HighlightedText, Qt::black);
        p.setColor(g, QPalette::Link, text);
        p.setColor(g, QPalette::LinkVisited, dim);
        p.setColor(g, QPalette::Light, raised.lighter(150));
        p.setColor(g, QPalette::Midlight, raised);
        p.setColor(g, QPalette::Mid, dim);
        p.setColor(g, QPalette::Dark, back);
        p.setColor(g, QPalette::Shadow, Qt::black);
    }
    return p;
}

QString NightStyleSheet(const NightColours& c) {
    const QString text = c.text.name();
    const QString back = c.background.name();
    const QString dim = QColor(c.text.red() * 45 / 100, 0, 0).name();
    return QStringLiteral(
               "QMenuBar, QMenu, QToolBar, QStatusBar, QDialog, QMessageBox { background-color: %2; color: "
               "%1; }"
               "QMenuBar::item:selected, QMenu::item:selected { background-color: %3; color: #000000; }"
               "QMenu::item:disabled { color: %3; }"
               "QToolButton:checked { background-color: %3; }"
               "QToolTip { color: %1; background-color: #000000; border: 1px solid %3; }")
        .arg(text, back, dim);
}

}  // namespace

bool NightModeOn() {
    return State().on;
}

void ApplyNightMode(bool on, const NightColours& colours) {
    Saved& saved = State();
    if (on == saved.on) return;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return;
    if (on) {
        saved.palette = QApplication::palette();
        saved.toolTipPalette = QToolTip::palette();
        saved.styleSheet = app->styleSheet();
        // The style wrapper goes in once and stays; it passes everything through by day.
        if (!saved.style) {
            saved.style = new NightStyle(QStyleFactory::create(QApplication::style()->name()));
            QApplication::setStyle(saved.style);
        }
        saved.style->setNight(true, qMax(1, colours.text.red()));
        const QPalette night = NightPalette(colours);
        QApplication::setPalette(night);
        QToolTip::setPalette(night);
        app->setStyleSheet(NightStyleSheet(colours));
    } else {
        if (saved.style) saved.style->setNight(false, 255);
        app->setStyleSheet(saved.styleSheet);
        QApplication::setPalette(saved.palette);
        QToolTip::setPalette(saved.toolTipPalette);
    }
    saved.on = on;
}

}  // namespace celes
