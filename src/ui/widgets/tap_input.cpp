#include "ui/widgets/tap_input.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "astro/night.h"
#include "astro/sun_moon.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "skydata/settings_table.h"
#include "skydata/star_record.h"
#include "ui/above_horizon.h"
#include "ui/find_by_name.h"
#include "ui/tap_handler.h"
#include "ui/widgets/above_dialog.h"
#include "ui/widgets/altitude_graph_dialog.h"
#include "ui/widgets/find_dialog.h"
#include "ui/widgets/navigator_window.h"
#include "view/timer_ids.h"

namespace celes {

namespace {

// How long a label waits for the render that follows a turn before it gives up.
constexpr int kLabelRetryMs = 50;
constexpr int kLabelTries = 40;

QImage CanvasImage(const CSkyCanvas& canvas) {
    return QImage(canvas.Bits(), canvas.Width(), canvas.Height(), canvas.Stride(), QImage::Format_BGR888)
        .copy();
}

}  // namespace

// Over the chart: the labelled copy while a label is up, and the navigator's centre cross drawn in
// the inverting mode. It takes no input.
class ChartOverlay : public QWidget {
  public:
    ChartOverlay(TapInput& input, QWidget& chart) : QWidget(&chart), input_(input) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(chart.rect());
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (input_.labelStale_.load()) input_.labelImage_ = QImage();
        const QImage& label = input_.labelImage_;
        double scale = 1.0;
        if (!label.isNull()) {
            p.drawImage(QRect(0, 0, width(), height()), label);
            scale = double(width()) / std::max(1, label.width());
        } else if (input_.view_ && input_.view_->shownChartSize().width > 0) {
            scale = double(width()) / input_.view_->shownChartSize().width;
        }
        int x = 0, y = 0;
        if (input_.crossAt(x, y)) {
            // Drawing the same cross twice gives back the chart: it inverts what lies under it.
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.setPen(QPen(Qt::white, 1));
            for (const CentreCross::Segment& s : CentreCross::SegmentsAt(x, y))
                p.drawLine(QPointF(s.x1 * scale, s.y1 * scale), QPointF(s.x2 * scale, s.y2 * scale));
        }
    }

  private:
    TapInput& input_;
};

TapInput::TapInput(QWidget& chart, ViewWindow& chartWindow, platform::EventLoop& loop,
                   platform::SettingsStore& store, platform::Dialogs& dialogs)
    : chart_(chart), chartWindow_(chartWindow), loop_(loop), store_(store), dialogs_(dialogs) {
    overlay_ = new ChartOverlay(*this, chart);
    overlay_->show();
    chart.installEventFilter(this);
    navigator_.setChanged([this] {
        if (navigatorWindow_) navigatorWindow_->showValues();
        overlay_->update();
    });
    navigator_.setRefresh([this] {
        if (view_) view_->recompute();
    });
}

TapInput::~TapInput() {
    chart_.removeEventFilter(this);
    tap_.reset();
}

void TapInput::attach(CCelesView& view, RecordSource& records) {
    view_ = &view;
    records_ = &records;
    tap_ = std::make_unique<TapHandler>(view, records, loop_, store_, *this);
}

// ---- view window ----

void TapInput::invalidate() {
    // A new picture is coming: the label drawn over the old one goes with it.
    labelStale_.store(true);
    chartWindow_.invalidate();
}

void TapInput::createNavigator(int headingDeg, int height, int zoom, bool) {
    navigator_.initialise(headingDeg, height, zoom);
    const Settings settings(store_);
    if (view_ && view_->settings().get(Setting::Option2ZoomTapFocus) != 0 &&
        settings.readInt(Setting::TapZoomDlg) != 0)
        navigator_.setVisible(false);
    navigatorWindow_ = new NavigatorWindow(navigator_, &chart_);
    navigatorWindow_->showValues();
    navigatorWindow_->raise();
    overlay_->update();
}

void TapInput::destroyNavigator() {
    delete navigatorWindow_;
    navigatorWindow_ = nullptr;
    overlay_->update();
}

void TapInput::toggleNavigator() {
    if (!navigatorWindow_) return;
    const bool show = !navigator_.visible();
    navigator_.setVisible(show);
    if (!show) Settings(store_).writeInt(Setting::TapZoomDlg, 0);
}

bool TapInput::crossAt(int& x, int& y) const {
    if (!view_ || !navigatorWindow_ || !view_->state().zoomMark) return false;
    const ViewState& v = view_->state();
    if (v.mode != ViewMode::Zoom) return false;
    const RenderTime time = MakeRenderTime(v);
    ProjectionInput input = MakeProjectionInput(v, time);
    input.navigator = true;
    input.direction = navigator_.heading() / 90;
    input.rotationDeg = navigator_.heading() % 90;
    input.zoomHeightDeg = navigator_.height();
    input.zoomFactor = navigator_.zoom();
    return NavigatorCentrePixel(MakeProjectionContext(input), navigator_, x, y);
}

// ---- tap window ----

void TapInput::showLabelled(const CSkyCanvas& labelled) {
    labelImage_ = CanvasImage(labelled);
    labelStale_.store(false);
    overlay_->update();
}

ZoomNavigator* TapInput::navigator() {
    return navigatorWindow_ ? &navigator_ : nullptr;
}

bool TapInput::fullScreenActive() const {
    const QWidget* top = chart_.window();
    return top && top->isFullScreen();
}

void TapInput::postCommand(int command) {
    loop_.post([this, command] {
        if (runCommand) runCommand(command);
    });
}

void TapInput::openMenuAtCursor(const TapMenu& items) {
    const QPoint at = chart_.mapFromGlobal(QCursor::pos());
    double scale = 1.0;
    if (view_ && view_->shownChartSize().width > 0)
        scale = double(chart_.width()) / view_->shownChartSize().width;
    openPopup(0, items, int(at.x() / scale), int(at.y() / scale));
}

void TapInput::dropLabel() {
    labelStale_.store(true);
    overlay_->update();
}

void TapInput::openPopup(int, const TapMenu& items, int x, int y) {
    if (!menuOf) return;
    // The entries are the frame's shared actions: choosing one runs its command once the menu has
    // hidden, as from the main menu.
    QMenu* menu = menuOf(items, chart_.window());
    if (!menu) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    lastPopup_ = menu;
    // Chart pixels back to the widget: the chart may be drawn at a scale.
    double scale = 1.0;
    if (view_ && view_->shownChartSize().width > 0)
        scale = double(chart_.width()) / view_->shownChartSize().width;
    menu->popup(chart_.mapToGlobal(QPoint(int(x * scale), int(y * scale))));
}

// ---- input ----

bool TapInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &chart_ || !tap_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::Resize:
            overlay_->setGeometry(chart_.rect());
            break;
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            const QPoint p = chartPoint(e->position().toPoint());
            if (e->button() == Qt::LeftButton)
                tap_->press(p.x(), p.y());
            else if (e->button() == Qt::RightButton)
                tap_->contextPress(p.x(), p.y());
            chart_.setFocus(Qt::MouseFocusReason);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) {
                const QPoint p = chartPoint(e->position().toPoint());
                tap_->release(p.x(), p.y());
            }
            return true;
        }
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return true;  // a held or moving press is still one tap: no drag
        case QEvent::ContextMenu:
            // The right button has already opened the menu on its press.
            return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse;
        case QEvent::KeyPress: {
            auto* e = static_cast<QKeyEvent*>(event);
            if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) break;
            bool used = false;
            switch (e->key()) {
                case Qt::Key_Left:
                    used = tap_->key(TapKey::Left);
                    break;
                case Qt::Key_Right:
                    used = tap_->key(TapKey::Right);
                    break;
                case Qt::Key_Up:
                    used = tap_->key(TapKey::Up);
                    break;
                case Qt::Key_Down:
                    used = tap_->key(TapKey::Down);
                    break;
                case Qt::Key_PageUp:
                    used = tap_->key(TapKey::PageUp);
                    break;
                case Qt::Key_PageDown:
                    used = tap_->key(TapKey::PageDown);
                    break;
                case Qt::Key_Plus:
                case Qt::Key_Equal:
                    used = tap_->key(TapKey::Plus);
                    break;
                case Qt::Key_Minus:
                    used = tap_->key(TapKey::Minus);
                    break;
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    used = tap_->character(13);
                    break;
                case Qt::Key_Escape:
                    used = tap_->character(27);
                    break;
                default:
                    if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
                        used = tap_->key(TapKey::Letter, char('A' + (e->key() - Qt::Key_A)));
            }
            if (used) return true;
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

// ---- above-horizon list ----

void TapInput::openAboveHorizonList() {
    if (!view_ || !records_) return;
    if (aboveDialog_) aboveDialog_->close();
    const std::vector<AboveHorizonEntry> entries = AboveHorizonList(*records_, view_->state());
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const AboveHorizonEntry& e : entries) lines.push_back(e.text);
    auto* dialog = new AboveHorizonDialog(lines, chart_.window());
    aboveDialog_ = dialog;
    dialog->onChosen = [this, entries](int row) {
        if (row < 0 || row >= int(entries.size()) || !view_) return;
        const AboveHorizonEntry entry = entries[std::size_t(row)];
        // Asked after the list has closed.
        loop_.post([this, entry] {
            if (!view_) return;
            const auto aim = [this, entry] {
                if (!view_) return;
                AimZoomViewAt(view_->state(), entry, navigator());
                view_->recompute();
                view_->saveSettings();
            };
            if (view_->settings().on(Setting::Option3MigoroNoa))
                aim();
            else
                dialogs_.askYesNo(entry.text + kAboveHorizonQuestion, kAboveHorizonTitle, aim);
        });
    };
    dialog->show();
}

// ---- find by name ----

void TapInput::openFind() {
    if (!view_ || !records_) return;
    if (findDialog_) {
        findDialog_->show();
        findDialog_->raise();
        findDialog_->activateWindow();
        findDialog_->field()->setFocus();
        findDialog_->field()->selectAll();
        return;
    }
    // The index is made when the window opens and lives with it (its altitude function holds it).
    auto index = std::make_shared<NameIndex>();
    index->build(*records_);
    auto altitudeOf = [this, index](const FindEntry& e) {
        const RenderTime t = MakeRenderTime(view_->state());
        return PositionOf(e, *records_, t, MakeRenderEphemeris(view_->state(), t)).altitudeDeg;
    };
    auto* dialog = new FindDialog(*index, altitudeOf, chart_.window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    findDialog_ = dialog;
    dialog->onChosen = [this](const FindEntry& e) -> QString {
        ViewState& s = view_->state();
        const RenderTime t = MakeRenderTime(s);
        const FoundPosition p = PositionOf(e, *records_, t, MakeRenderEphemeris(s, t));
        const RecordRef record{e.kind == FindEntry::Kind::Body ? RecordKind::Body : RecordKind::Object,
                               e.index};
        if (TurnViewTowards(s, p.ra, p.dec, navigator())) {
            view_->recompute();
            view_->saveSettings();
            loop_.post([this, record] { labelAfterRender(record, kLabelTries); });
        } else if (!tap_->showLabelFor(record)) {
            return QString::fromUtf8(p.altitudeDeg < 0 ? "地平線の下にあります"
                                                       : "この図には描かれていません");
        }
        return p.altitudeDeg < 0 ? QString::fromUtf8("地平線の下にあります") : QString();
    };
    dialog->onAltitudeGraph = [this](const FindEntry& e) {
        AltitudeTarget target;
        target.name = e.name.empty() ? e.designation : e.name;
        if (e.kind == FindEntry::Kind::Body)
            target.body = BodyFromIndex(e.index);
        else
            target.fixed = {records_->object(e.index).ra, records_->object(e.index).dec};
        openAltitudeGraph(target);
    };
    dialog->show();
    dialog->field()->setFocus();
}

void TapInput::openAltitudeGraphOfTap() {
    if (!view_ || !tap_) return;
    const ViewState& s = view_->state();
    AltitudeTarget target;
    if (const StarRecord* record = tap_->hit() ? tap_->tappedObject() : nullptr) {
        target.name = IdentificationText(*record, s.mode, MoonAge(s.year, s.month, s.day));
        if (record->isBody()) target.body = BodyFromIndex((record->type & ~kBodyTypeFlag) >> 4);
        target.fixed = {record->ra, record->dec};
    } else if (double ra = 0, dec = 0; tap_->popupPointOnSky(ra, dec)) {
        target.name = "タップした位置";
        target.fixed = {ra, dec};
    } else {
        return;
    }
    openAltitudeGraph(target);
}

void TapInput::openAltitudeGraph(const AltitudeTarget& target) {
    if (!view_) return;
    const ViewState& s = view_->state();
    // Before noon the night in question is the one that began the day before.
    const CAstroTime day =
        UtRecordAt(UnixSecondsOfLocal(s.year, s.month, s.day, 0, 0, 0.0, 0) - (s.hour < 12 ? 86400.0 : 0.0));
    const ObservingPlace place{s.longitudeDeg, s.longitudeMin,   s.latitudeDeg,
                               s.latitudeMin,  s.timeDifference, {}};
    auto* dialog = new AltitudeGraphDialog(target, day, place, chart_.window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->openFitted();
}

void TapInput::labelAfterRender(RecordRef record, int triesLeft) {
    if (!view_ || !tap_) return;
    if (view_->workerBusy() && triesLeft > 0) {
        QTimer::singleShot(kLabelRetryMs, this,
                           [this, record, triesLeft] { labelAfterRender(record, triesLeft - 1); });
        return;
    }
    tap_->showLabelFor(record);
}

}  // namespace celes
