// A settings file damaged to the limits of a 32-bit integer: every integer value at 2147483647 (or
// -2147483648). The window starts, every display mode draws the shipped sky, a press labels and a
// key turns, the place and telescope dialogs open, and nothing overflows (the sanitizer build
// stops at the first signed overflow).
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <climits>
#include <memory>

#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "fakes/virtual_event_loop.h"
#include "platform/qt/qt_graphics.h"
#include "skydata/catalogue.h"
#include "skydata/settings_table.h"
#include "telescope/telescope.h"
#include "telescope/telescope_settings_model.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/tap_input.h"
#include "ui/widgets/test_application.h"
#include "userdata/places.h"
#include "view/render_records.h"

namespace celes {
namespace {

const std::vector<StarRecord>& Shipped() {
    static const std::vector<StarRecord> records =
        readCatalogueFile(std::string(CELES_DATA_SOURCE_DIR) + "/celes.dat").records;
    return records;
}

// Every integer row and every entry of every integer family at `value`; "SCREEN"/"END" at 1 so
// the remembered screen is read too, and the display mode under test.
void FillEveryInteger(fakes::MemorySettings& store, std::int32_t value, int modeCode) {
    for (const SettingRow& r : settingRows())
        if (r.kind != SettingKind::String) store.writeInt(r.section, r.value, value);
    for (std::size_t i = 0; i < kSettingFamilyCount; ++i) {
        const SettingFamilyRow& f = settingFamilyRow(static_cast<SettingFamily>(i));
        if (f.kind == SettingKind::String) continue;
        for (int index = 0; index < f.entries; ++index)
            store.writeInt(f.section, familyValueName(f.id, index), value);
    }
    Settings(store).writeInt(Setting::ScreenEnd, 1);
    Settings(store).writeInt(Setting::ViewStatus, modeCode);
}

struct ExtremeWindow {
    ExtremeWindow(std::int32_t value, int modeCode) {
        FillEveryInteger(store, value, modeCode);
        view = std::make_unique<CCelesView>(store, records, &graphics, &loop, &input);
        input.attach(*view, records);
        chart.setView(view.get());
        ViewState& v = view->state();
        v.year = 2026;
        v.month = 1;
        v.day = 15;
        v.hour = 21;
        chart.resize(480, 640);
        view->resize(480, 640);
        view->recompute();
        loop.runPosted();
        view->render();
    }
    ~ExtremeWindow() { view->stopWorker(); }

    void press(QPoint p) {
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(p), chart.mapToGlobal(QPointF(p)), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&chart, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(p), chart.mapToGlobal(QPointF(p)), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&chart, &up);
    }
    void key(int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&chart, &e);
    }

    bool appReady = (test::EnsureApplication(), true);
    fakes::MemorySettings store;
    MemoryRecords records{Shipped()};
    platform::QtGraphicsFactory graphics;
    fakes::VirtualEventLoop loop;
    fakes::ScriptedDialogs dialogs;
    ChartWidget chart;
    TapInput input{chart, chart, loop, store, dialogs};
    std::unique_ptr<CCelesView> view;
};

TEST(ExtremeSettings, EveryModeStartsAndDrawsWithinRange) {
    struct Mode {
        const char* name;
        int code;
    };
    const Mode modes[] = {{"planisphere", 0}, {"polar", 1},      {"orbits", 2},
                          {"zenith", 11},     {"direction", 21}, {"zoom", 22}};
    for (const std::int32_t value : {INT32_MAX, INT32_MIN}) {
        for (const Mode& m : modes) {
            SCOPED_TRACE(std::string(m.name) + " " + std::to_string(value));
            ExtremeWindow w(value, m.code);
            const ViewState& v = w.view->state();
            EXPECT_EQ(static_cast<int>(v.mode), m.code);
            EXPECT_EQ(v.fontSize, value > 0 ? 300 : 30);
            EXPECT_EQ(v.horizontalStretch, value > 0 ? 20 : 1);
            EXPECT_EQ(v.lightPollution, value > 0 ? 20 : 0);
            EXPECT_EQ(v.timeDifference, value > 0 ? 14 : -12);

            w.press(QPoint(240, 200));
            w.loop.advance(500);
            w.key(Qt::Key_Right);
            w.key(Qt::Key_PageUp);
            w.loop.advance(2000);
            w.view->render();

            // The place dialog's fields from the view and a stored slot, and the telescope's.
            Settings settings(w.store);
            const PlaceFields here = FieldsFromStored(StoredFromView(v));
            EXPECT_LE(here.latitudeDeg, 90);
            EXPECT_LE(UserPlaces(settings).read(0).longitudeDeg, 180);
            const TelescopeSettingsModel telescope(TelescopeSettings::Read(w.store), {});
            EXPECT_EQ(telescope.portIndex, value > 0 ? 3 : 0);
        }
    }
}

}  // namespace
}  // namespace celes
