// The night page of the today's-data dialog and the altitude graph dialog, driven through their
// controls: what the page lists, how "明日へ" and "翌日" move them, the fit in a small window and
// the graph's night-mode colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "ui/night_summary.h"
#include "ui/widgets/altitude_graph_dialog.h"
#include "ui/widgets/night_mode.h"
#include "ui/widgets/test_application.h"
#include "ui/widgets/todays_data_dialog.h"

namespace celes {
namespace {

const ObservingPlace kTokyo{139, 22, 35, 34, 9, ""};

TEST(TodaysDataNightPage, ListsTheNightAndMovesWithTheNextDay) {
    test::EnsureApplication();
    TodaysDataDialog dialog(CAstroTime(2024, 1, 15, 0, 0, 0), kTokyo);
    auto* pages = dialog.findChild<QTabWidget*>("pages");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(1).toStdString(), "今夜");
    auto* night = dialog.findChild<QTreeWidget*>("night");
    ASSERT_NE(night, nullptr);
    // The rows are the engine's night, to the minute.
    const NightEvents n = ComputeNight(2024, 1, 15, SiteOf(kTokyo));
    const std::vector<NightRow> rows = NightRows(n, 9, false);
    ASSERT_EQ(night->topLevelItemCount(), static_cast<int>(rows.size()));
    EXPECT_EQ(night->topLevelItem(0)->text(0).toStdString(), "日の入り");
    EXPECT_EQ(night->topLevelItem(0)->text(1).toStdString(), LocalClock(n.sunset, 9, false));
    EXPECT_EQ(night->topLevelItem(3)->text(0).toStdString(), "天文薄明終了");
    EXPECT_EQ(night->topLevelItem(3)->text(1).toStdString(), LocalClock(n.astronomicalDusk, 9, false));
    // The first page is unchanged: the day list as before.
    EXPECT_GT(dialog.findChild<QListWidget*>("lines")->count(), 5);

    const double noon = dialog.night().noon;
    dialog.findChild<QPushButton*>("next")->click();
    EXPECT_EQ(dialog.night().noon, noon + 86400.0);
    EXPECT_EQ(dialog.findChild<QLabel*>("nightTitle")->text().toStdString(), "2024年1月16日の夜");
    EXPECT_EQ(dialog.data().day, 16);
}

TEST(AltitudeGraphDialogWidget, FitsSmallAndLargeWindowsAndFollowsNightMode) {
    test::EnsureApplication();
    AltitudeTarget target{"ベテルギウス", std::nullopt, {88.79 * kDegToRad, 7.41 * kDegToRad}};
    for (const QSize host : {QSize(240, 320), QSize(1280, 800)}) {
        QWidget window;
        window.resize(host);
        window.show();
        auto* d = new AltitudeGraphDialog(target, CAstroTime(2024, 1, 15, 0, 0, 0), kTokyo, &window);
        d->openFitted();
        SCOPED_TRACE(host.width());
        EXPECT_TRUE(d->isVisible());
        EXPECT_LE(d->width(), host.width());
        EXPECT_LE(d->height(), host.height());
        for (QAbstractButton* b : d->buttons()->buttons()) {
            const QRect r(b->mapTo(d, QPoint(0, 0)), b->size());
            EXPECT_TRUE(d->rect().contains(r)) << b->text().toStdString();
        }
        d->view()->grab();  // paints
        EXPECT_EQ(d->view()->picture().size(), d->view()->size());
        d->reject();
    }

    AltitudeGraphDialog d(target, CAstroTime(2024, 1, 15, 0, 0, 0), kTokyo);
    d.resize(640, 480);
    d.show();
    const std::string first = d.view()->graph().title;
    d.findChild<QPushButton*>("next")->click();
    EXPECT_EQ(d.view()->graph().title, "ベテルギウス 2024年1月16日の夜");
    EXPECT_NE(first, d.view()->graph().title);

    auto countNotRed = [&] {
        d.view()->grab();
        const QImage& img = d.view()->picture();
        int notRed = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (qGreen(c) > qRed(c) || qBlue(c) > qRed(c)) ++notRed;
            }
        return notRed;
    };
    EXPECT_GT(countNotRed(), 1000) << "day colours: a blue night sky";
    ApplyNightMode(true, {QColor(200, 0, 0), QColor(0, 0, 0)});
    EXPECT_EQ(countNotRed(), 0) << "night mode: reds only";
    ApplyNightMode(false, {QColor(200, 0, 0), QColor(0, 0, 0)});
}

}  // namespace
}  // namespace celes
