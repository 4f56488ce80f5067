#include "ui/widgets/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "skydata/settings_table.h"
#include "ui/command_bars.h"
#include "ui/widgets/command_icons.h"
#include "ui/widgets/window_fit.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

// A bar button of the small screen: 28x30 device-independent pixels at 96 dpi.
constexpr int kButtonWidth = 28;
constexpr int kButtonHeight = 30;
// Room a desktop's window decorations take around the frame (title bar, borders).
constexpr int kDecorationWidth = 16;
constexpr int kDecorationHeight = 48;

}  // namespace

QSize FirstStartSize(QSize available) {
    // As tall as the screen's free area allows, the menu and bars inside it, and no wider than
    // tall unless the screen is narrow: every chart mode has room, none is stretched.
    const int height = qMax(kMainFrameMinHeight, available.height() - kDecorationHeight);
    const int width = qMax(kMainFrameMinWidth, qMin(available.width() - kDecorationWidth, height));
    return QSize(width, height)
        .boundedTo(available)
        .expandedTo(QSize(kMainFrameMinWidth, kMainFrameMinHeight));
}

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Celes");
    setMinimumSize(kMainFrameMinWidth, kMainFrameMinHeight);
    // Until the chart arrives the frame shows a plain black sky.
    auto* placeholder = new QWidget(this);
    placeholder->setAutoFillBackground(true);
    QPalette pal = placeholder->palette();
    pal.setColor(QPalette::Window, Qt::black);
    placeholder->setPalette(pal);
    setCentralWidget(placeholder);
    // Until a stored placement says otherwise: a normal window sized to the screen, centred.
    QSize size(480, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        size = FirstStartSize(free.size());
        move(free.x() + (free.width() - size.width()) / 2,
             free.y() + qMax(0, (free.height() - size.height() - kDecorationHeight) / 2));
    }
    resize(size);
    // Every dialog, whoever opens it, is kept within this window.
    new DialogFitter(this);
}

CMainFrame::~CMainFrame() = default;

QSize CMainFrame::buttonSize() const {
    // Qt scales device-independent pixels by the device pixel ratio; a screen that reports a
    // higher logical dpi without a ratio (X11 with Xft.dpi) enlarges the buttons by that dpi.
    qreal scale = 1.0;
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        scale = qMax<qreal>(1.0, s->logicalDotsPerInch() / 96.0);
    return QSize(qRound(kButtonWidth * scale), qRound(kButtonHeight * scale));
}

void CMainFrame::setCommands(CommandTable& table, CommandBarState& bars, platform::EventLoop* loop) {
    table_ = &table;
    bars_ = &bars;
    menuBar()->clear();
    menuBar()->setNativeMenuBar(false);
    for (const MenuEntry& e : MainMenu()) {
        if (e.kind != MenuEntry::Kind::Submenu) continue;
        QMenu* sub = menuBar()->addMenu(QString::fromUtf8(e.caption));
        sub->setToolTipsVisible(false);
        connect(sub, &QMenu::aboutToShow, this, [this] { refreshActions(); });
        fillMenu(sub, e.items);
    }

    commandBar_ = new QToolBar(QStringLiteral("コマンドバー"), this);
    commandBar_->setObjectName("commandBar");
    commandBar_->setMovable(false);
    commandBar_->setFloatable(false);
    addToolBar(Qt::BottomToolBarArea, commandBar_);
    toolBar_ = new QToolBar(QStringLiteral("ツールバー"), this);
    toolBar_->setObjectName("toolBar");
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    for (QToolBar* bar : {commandBar_, toolBar_}) {
        bar->setIconSize(buttonSize());
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    bars.setChanged([this] { rebuildBars(); });
    table.SetAfterCommand([this](int) { refreshActions(); });
    rebuildBars();
    if (loop) {
        ArmOnce(*loop, TimerId::FrameToolBar, 1000, [this] {
            if (bars_) bars_->start();
        });
    } else {
        bars.start();
    }
}

QAction* CMainFrame::action(int id) {
    const auto it = actions_.find(id);
    if (it != actions_.end()) return it->second;
    const CommandRow* row = CommandTable::Row(id);
    const QString caption = QString::fromUtf8(row ? row->caption : "");
    auto* a = new QAction(caption, this);
    a->setIcon(CommandIcon(id, caption, buttonSize(), devicePixelRatioF(), night_));
    a->setToolTip(caption);
    a->setCheckable(row && (row->update & kUpdateCheck));
    a->setData(id);
    a->setObjectName(QStringLiteral("cmd%1").arg(id));
    connect(a, &QAction::triggered, this, [this, id] {
        if (table_) table_->Execute(id);
    });
    actions_.emplace(id, a);
    return a;
}

// The one builder of every menu: the main menu's submenus, the popups and the colour menu. Each
// entry is the shared action of its number.
void CMainFrame::fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
            case MenuEntry::Kind::Command:
                menu->addAction(action(e.id));
                break;
            case MenuEntry::Kind::Separator:
                menu->addSeparator();
                break;
            case MenuEntry::Kind::Submenu: {
                QMenu* sub = menu->addMenu(QString::fromUtf8(e.caption));
                sub->setToolTipsVisible(false);
                fillMenu(sub, e.items);
                break;
            }
        }
    }
}

QMenu* CMainFrame::createMenu(const std::vector<MenuEntry>& entries, QWidget* parent) {
    auto* menu = new QMenu(parent ? parent : this);
    menu->setToolTipsVisible(false);
    fillMenu(menu, entries);
    // After the fill: an entry's action may have been made just now.
    refreshActions();
    return menu;
}

void CMainFrame::refreshActions() {
    updateNightMode();
    if (!table_) return;
    for (const auto& [id, a] : actions_) {
        const CommandState s = table_->State(id);
        const QString caption = QString::fromStdString(s.caption);
        if (a->text() != caption) {
            a->setText(caption);
            a->setToolTip(caption);
        }
        a->setEnabled(s.enabled);
        // A rule that checks a row not marked as checkable still shows its mark (and presses its
        // button), as a popup built for it would.
        if (s.checked && !a->isCheckable()) a->setCheckable(true);
        if (a->isCheckable()) a->setChecked(s.checked);
    }
}

void CMainFrame::fillBar(QToolBar* bar, std::span<const int> ids, bool withMenu) {
    bar->clear();
    if (barMenu_ && withMenu) barMenu_->deleteLater();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (withMenu && i + 1 == ids.size()) {
            // The menu form: the main menu sits between the two fixed buttons.
            auto* menu = new QMenuBar(bar);
            menu->setNativeMenuBar(false);
            for (QAction* top : menuBar()->actions()) menu->addAction(top);
            bar->addWidget(menu);
            barMenu_ = menu;
        }
        QAction* a = action(ids[i]);
        bar->addAction(a);
        if (QWidget* w = bar->widgetForAction(a)) {
            w->setAccessibleName(a->text());
            w->setMinimumSize(buttonSize());
        }
    }
}

void CMainFrame::rebuildBars() {
    if (!bars_ || !commandBar_) return;
    fillBar(commandBar_, bars_->commandBarButtons(), bars_->menuShown());
    const std::span<const int> tools = bars_->toolBarButtons();
    fillBar(toolBar_, tools, false);
    toolBar_->setVisible(!tools.empty() && !barsHidden_);
    refreshActions();
}

void CMainFrame::openSetMenu() {
    if (!table_) return;
    // A popup without a loop of its own; it deletes itself when it closes.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName("setMenu");
    for (int id : SetSelectionMenu()) {
        if (id == kCmdSetMenuOption) menu->addSeparator();
        menu->addAction(action(id));
    }
    refreshActions();
    const QPoint above = commandBar_ ? commandBar_->mapToGlobal(QPoint(0, 0)) : mapToGlobal(QPoint(0, 0));
    menu->popup(QPoint(above.x(), above.y() - menu->sizeHint().height()));
}

void CMainFrame::setNightSource(std::function<bool()> on, std::function<NightColours()> colours) {
    nightOn_ = std::move(on);
    nightColours_ = std::move(colours);
    updateNightMode();
}

void CMainFrame::updateNightMode() {
    const bool on = nightOn_ && nightOn_();
    if (on == night_) return;
    night_ = on;
    ApplyNightMode(on, nightColours_ ? nightColours_() : NightColours{QColor(255, 0, 0), QColor(0, 0, 0)});
    // The button images follow: red signs on black keys at night.
    for (const auto& [id, a] : actions_) {
        const CommandRow* row = CommandTable::Row(id);
        a->setIcon(CommandIcon(id, QString::fromUtf8(row ? row->caption : ""), buttonSize(),
                               devicePixelRatioF(), night_));
    }
}

void CMainFrame::setBarsVisible(bool visible) {
    barsHidden_ = !visible;
    menuBar()->setVisible(visible);
    if (commandBar_) commandBar_->setVisible(visible);
    if (toolBar_) toolBar_->setVisible(visible && bars_ && !bars_->toolBarButtons().empty());
}

void CMainFrame::enterFullScreen() {
    setBarsVisible(false);
    showFullScreen();
    // Without a window manager that honours the full-screen state the window would keep its
    // size: it is given the whole screen itself.
    if (const QScreen* s = screen()) setGeometry(s->geometry());
}

void CMainFrame::leaveFullScreen() {
    showNormal();
    setBarsVisible(true);
}

void CMainFrame::restorePlacement(platform::SettingsStore& store) {
    const Settings s(store);
    const QRect saved(s.readInt(Setting::WindowX), s.readInt(Setting::WindowY),
                      s.readInt(Setting::WindowWidth), s.readInt(Setting::WindowHeight));
    if (saved.width() < kMainFrameMinWidth || saved.height() < kMainFrameMinHeight) return;
    // Only where it can be seen: a screen unplugged since keeps the window on the screens there are.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (!screen->availableGeometry().intersects(saved)) continue;
        resize(saved.size().boundedTo(screen->availableGeometry().size()));
        move(saved.topLeft());
        if (s.readInt(Setting::WindowMaximized) == 1) setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
}

void CMainFrame::savePlacement(platform::SettingsStore& store) const {
    Settings s(store);
    // The size of the normal window, also while maximized or full screen.
    const QRect r = (isMaximized() || isFullScreen()) ? normalGeometry() : geometry();
    if (r.width() <= 0 || r.height() <= 0) return;
    store.beginBatch();
    s.writeInt(Setting::WindowX, r.x());
    s.writeInt(Setting::WindowY, r.y());
    s.writeInt(Setting::WindowWidth, r.width());
    s.writeInt(Setting::WindowHeight, r.height());
    s.writeInt(Setting::WindowMaximized, isMaximized() ? 1 : 0);
    store.endBatch();
}

void CMainFrame::setCentralChart(QWidget* chart) {
    setCentralWidget(chart);
}

void CMainFrame::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void CMainFrame::appExit() {
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        emit closing();
    }
    event->accept();
}

}  // namespace celes
