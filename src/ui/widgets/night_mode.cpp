#include "ui/widgets/night_mode.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>

namespace celes {

namespace {

struct Saved {
    bool on = false;
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
        const QPalette night = NightPalette(colours);
        QApplication::setPalette(night);
        QToolTip::setPalette(night);
        app->setStyleSheet(NightStyleSheet(colours));
    } else {
        app->setStyleSheet(saved.styleSheet);
        QApplication::setPalette(saved.palette);
        QToolTip::setPalette(saved.toolTipPalette);
    }
    saved.on = on;
}

}  // namespace celes
