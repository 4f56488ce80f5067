// The dialogs of the observer's own things, driven through their controls as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>
#include <optional>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "ui/widgets/description_dialog.h"
#include "ui/widgets/place_dialog.h"
#include "ui/widgets/tap_dialog.h"
#include "ui/widgets/test_application.h"
#include "ui/widgets/todays_data_dialog.h"

namespace celes {
namespace {

template <typename T>
T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(TapDialogWidget, ControlsFeedTheModelAndButtonsCloseWithTheirResult) {
    test::EnsureApplication();
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    std::vector<TapDialogResult> results;
    TapDialogModel last = TapDialogModel::ForNewTap(9);
    auto* dialog = new TapDialog(TapDialogModel::ForNewTap(1), dialogs, clock);
    dialog->onFinished = [&](TapDialogResult r, const TapDialogModel& m) {
        results.push_back(r);
        last = m;
    };
    dialog->openFitted();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("ﾀｯﾌﾟ情報"));
    EXPECT_EQ(Find<QLineEdit>(*dialog, "title")->text(), "T00001");
    EXPECT_FALSE(Find<QPushButton>(*dialog, "delete")->isEnabled()) << "nothing to delete while registering";
    EXPECT_EQ(Find<QComboBox>(*dialog, "phrase")->count(), 40);
    EXPECT_EQ(Find<QLineEdit>(*dialog, "text")->maxLength(), 59);

    Find<QComboBox>(*dialog, "kind")->setCurrentIndex(3);
    Find<QComboBox>(*dialog, "phrase")->setCurrentIndex(1);
    Find<QPushButton>(*dialog, "phrase-insert")->click();
    EXPECT_EQ(Find<QLineEdit>(*dialog, "text")->text(), QString::fromUtf8("とっても"));
    EXPECT_TRUE(results.empty()) << "nothing is reported while the dialog is open";
    Find<QPushButton>(*dialog, "register")->click();
    ASSERT_EQ(results, std::vector<TapDialogResult>{TapDialogResult::Register});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(last.text(), "とっても");
    EXPECT_EQ(last.kind(), TapKind::Text);

    dialogs.messageAnswers = {platform::MessageResult::No, platform::MessageResult::Yes};
    auto* again = new TapDialog(last, dialogs, clock);
    again->onFinished = [&](TapDialogResult r, const TapDialogModel&) { results.push_back(r); };
    again->openFitted();
    Find<QPushButton>(*again, "export")->click();  // No: stays open
    EXPECT_EQ(results.size(), 1u);
    EXPECT_TRUE(again->isVisible());
    Find<QPushButton>(*again, "export")->click();
    EXPECT_EQ(results.back(), TapDialogResult::Export);

    // The window's close button is "キャンセル", reported once.
    auto* closed = new TapDialog(last, dialogs, clock);
    closed->onFinished = [&](TapDialogResult r, const TapDialogModel&) { results.push_back(r); };
    closed->openFitted();
    closed->reject();
    closed->reject();
    EXPECT_EQ(results.size(), 3u);
    EXPECT_EQ(results.back(), TapDialogResult::Cancel);
}

// "日時挿入" writes the observing place's civil time (UT plus its time difference), not the
// machine's: here the machine's clock reads UT and the place is 9 hours east.
TEST(TapDialogWidget, DateInsertUsesThePlacesTime) {
    test::EnsureApplication();
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    clock.unixTime = 1796904309;  // 2026-12-10 12:05:09 UT
    clock.wall = platform::WallTime{2026, 12, 4, 10, 12, 5, 9, 0};
    int timeDifference = 9;
    for (const auto& [hours, stamp] :
         {std::pair{9, "* 2026/12/10 21:5"}, std::pair{-12, "* 2026/12/10 0:5"}}) {
        timeDifference = hours;
        QWidget parent;
        QtTapDialogHost host(dialogs, clock, &parent, [&] { return timeDifference; });
        std::optional<TapDialogModel> last;
        host.show(TapDialogModel::ForNewTap(1), [&](TapDialogResult, const TapDialogModel& m) { last = m; });
        auto* dialog = parent.findChild<TapDialog*>();
        ASSERT_NE(dialog, nullptr);
        Find<QComboBox>(*dialog, "kind")->setCurrentIndex(3);
        Find<QPushButton>(*dialog, "date")->click();
        EXPECT_EQ(Find<QLineEdit>(*dialog, "text")->text().toStdString(), stamp);
        dialog->reject();
        ASSERT_TRUE(last.has_value());
    }
}

TEST(PlaceDialogWidget, ChoosingFromTheListAndTypingANewPlace) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    Settings settings(store);
    fakes::ScriptedDialogs dialogs;
    std::optional<StoredPlace> accepted;
    auto* dialog =
        new PlaceDialog(PlaceDialogModel(settings, dialogs, {"神奈川県相模原市", 139, 22, 35, 34, 9}));
    dialog->onAccepted = [&](const StoredPlace& p) { accepted = p; };
    dialog->openFitted();
    auto* places = Find<QComboBox>(*dialog, "places");
    // The list fills 100 ms after opening.
    QElapsedTimer waited;
    waited.start();
    while (places->count() == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(places->count(), 95);
    EXPECT_EQ(places->currentIndex(), 38);
    EXPECT_EQ(Find<QComboBox>(*dialog, "hours")->itemText(12), QString::fromUtf8("１２時間"));

    places->setCurrentIndex(88);
    emit places->activated(88);
    EXPECT_EQ(Find<QSpinBox>(*dialog, "lonDeg")->value(), 103);
    EXPECT_EQ(Find<QSpinBox>(*dialog, "latMin")->value(), 12);

    // An empty typed name keeps the dialog open and reports nothing.
    places->setEditText(QString());
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(accepted);

    places->setEditText(QString::fromUtf8("南の島"));
    Find<QRadioButton>(*dialog, "south")->setChecked(true);
    Find<QSpinBox>(*dialog, "latDeg")->setValue(0);
    Find<QSpinBox>(*dialog, "latMin")->setValue(30);
    dialog->accept();
    ASSERT_TRUE(accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(accepted->latitudeMin, -30);
    EXPECT_EQ(accepted->latitudeDeg, 0);
    EXPECT_EQ(UserPlaces(settings).name(0), "南の島");
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"新しい観測地を登録しました(1/10)"});

    auto* cancelled = new PlaceDialog(PlaceDialogModel(settings, dialogs, *accepted));
    accepted.reset();
    cancelled->onAccepted = [&](const StoredPlace& p) { accepted = p; };
    cancelled->openFitted();
    cancelled->reject();
    EXPECT_FALSE(accepted);
}

TEST(DescriptionDialogWidget, TitleTextAndUnicodeBox) {
    test::EnsureApplication();
    std::vector<std::pair<std::string, bool>> saved;
    auto* dialog = new DescriptionDialog("オリオン", "一行目\r\n二行目", true);
    dialog->onAccepted = [&](const std::string& text, bool unicode) { saved.emplace_back(text, unicode); };
    dialog->openFitted();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("オリオン座の説明（編集）"));
    EXPECT_TRUE(Find<QCheckBox>(*dialog, "unicode")->isChecked());
    EXPECT_EQ(Find<QPlainTextEdit>(*dialog, "text")->toPlainText(), QString::fromUtf8("一行目\n二行目"));
    EXPECT_EQ(dialog->text(), "一行目\r\n二行目");
    Find<QCheckBox>(*dialog, "unicode")->setChecked(false);
    Find<QPlainTextEdit>(*dialog, "text")->appendPlainText(QString::fromUtf8("三行目"));
    dialog->buttons()->button(QDialogButtonBox::Ok)->click();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].first, "一行目\r\n二行目\r\n三行目");
    EXPECT_FALSE(saved[0].second);
}

TEST(TodaysDataDialogWidget, NextDayMovesTheList) {
    test::EnsureApplication();
    ObservingPlace tokyo{139, 45, 35, 40, 9, ""};
    auto* dialog = new TodaysDataDialog(CAstroTime(2005, 1, 1, 18, 30, 0), tokyo);
    dialog->openFitted();
    EXPECT_NE(dialog->data().title.find("2005年1月1日 月齢20日"), std::string::npos) << dialog->data().title;
    EXPECT_GT(Find<QListWidget>(*dialog, "lines")->count(), 5);
    Find<QPushButton>(*dialog, "next")->click();
    EXPECT_EQ(dialog->data().day, 2);
    dialog->nextDay();
    EXPECT_NE(dialog->data().title.find("2005年1月3日"), std::string::npos);
    Find<QPushButton>(*dialog, "close")->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST(UserDataDialogs, FitASmallWindowAndOpenWithoutWaiting) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    Settings settings(store);
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    const std::function<DialogShell*(QWidget*)> makers[] = {
        [&](QWidget* p) { return new TapDialog(TapDialogModel::ForNewTap(1), dialogs, clock, p); },
        [&](QWidget* p) {
            return new PlaceDialog(
                PlaceDialogModel(settings, dialogs, {"神奈川県相模原市", 139, 22, 35, 34, 9}), p);
        },
        [](QWidget* p) { return new DescriptionDialog("オリオン", std::string(3000, 'x'), false, p); },
        [](QWidget* p) {
            return new TodaysDataDialog(CAstroTime(2026, 12, 10, 0, 0, 0), {139, 45, 35, 40, 9, ""}, p);
        },
    };
    for (const QSize host : {QSize(240, 320), QSize(1280, 800)}) {
        QWidget window;
        window.resize(host);
        window.show();
        for (const auto& make : makers) {
            DialogShell* d = make(&window);
            d->openFitted();  // returns at once: the dialog is open, nothing waited for it
            SCOPED_TRACE(d->windowTitle().toStdString());
            EXPECT_TRUE(d->isVisible());
            EXPECT_TRUE(d->isModal());
            EXPECT_LE(d->width(), host.width());
            EXPECT_LE(d->height(), host.height());
            for (QAbstractButton* b : d->buttons()->buttons()) {
                const QRect r(b->mapTo(d, QPoint(0, 0)), b->size());
                EXPECT_TRUE(d->rect().contains(r)) << b->text().toStdString();
            }
            d->reject();
        }
    }
}

}  // namespace
}  // namespace celes
