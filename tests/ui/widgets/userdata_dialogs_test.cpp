// The dialogs of the observer's own things, driven through their controls as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "fakes/manual_clock.h"
#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "ui/widgets/description_dialog.h"
#include "ui/widgets/place_dialog.h"
#include "ui/widgets/tap_dialog.h"
#include "ui/widgets/todays_data_dialog.h"

namespace celes {
namespace {

void app() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "celes_ui_widgets_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    (void)a;
}

template <typename T>
T* Find(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(TapDialogWidget, ControlsFeedTheModelAndButtonsCloseWithTheirResult) {
    app();
    fakes::ScriptedDialogs dialogs;
    fakes::ManualClock clock;
    TapDialogModel model = TapDialogModel::ForNewTap(1);
    TapDialog dialog(model, dialogs, clock);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("ﾀｯﾌﾟ情報"));
    EXPECT_EQ(Find<QLineEdit>(dialog, "title")->text(), "T00001");
    EXPECT_FALSE(Find<QPushButton>(dialog, "delete")->isEnabled()) << "nothing to delete while registering";
    EXPECT_EQ(Find<QComboBox>(dialog, "phrase")->count(), 40);
    EXPECT_EQ(Find<QLineEdit>(dialog, "text")->maxLength(), 59);

    Find<QComboBox>(dialog, "kind")->setCurrentIndex(3);
    Find<QComboBox>(dialog, "phrase")->setCurrentIndex(1);
    Find<QPushButton>(dialog, "phrase-insert")->click();
    EXPECT_EQ(Find<QLineEdit>(dialog, "text")->text(), QString::fromUtf8("とっても"));
    Find<QPushButton>(dialog, "register")->click();
    EXPECT_EQ(dialog.result(), TapDialogResult::Register);
    EXPECT_EQ(model.text(), "とっても");
    EXPECT_EQ(model.kind(), TapKind::Text);

    dialogs.messageAnswers = {platform::MessageResult::No, platform::MessageResult::Yes};
    TapDialog again(model, dialogs, clock);
    Find<QPushButton>(again, "export")->click();  // No: stays open
    EXPECT_EQ(again.result(), TapDialogResult::Cancel);
    Find<QPushButton>(again, "export")->click();
    EXPECT_EQ(again.result(), TapDialogResult::Export);
}

TEST(PlaceDialogWidget, ChoosingFromTheListAndTypingANewPlace) {
    app();
    fakes::MemorySettings store;
    Settings settings(store);
    fakes::ScriptedDialogs dialogs;
    PlaceDialogModel model(settings, dialogs, {"神奈川県相模原市", 139, 22, 35, 34, 9});
    PlaceDialog dialog(model);
    auto* places = Find<QComboBox>(dialog, "places");
    // The list fills 100 ms after opening.
    QElapsedTimer waited;
    waited.start();
    while (places->count() == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(places->count(), 95);
    EXPECT_EQ(places->currentIndex(), 38);
    EXPECT_EQ(Find<QComboBox>(dialog, "hours")->itemText(12), QString::fromUtf8("１２時間"));

    places->setCurrentIndex(88);
    emit places->activated(88);
    EXPECT_EQ(Find<QSpinBox>(dialog, "lonDeg")->value(), 103);
    EXPECT_EQ(Find<QSpinBox>(dialog, "latMin")->value(), 12);

    places->setEditText(QString::fromUtf8("南の島"));
    Find<QRadioButton>(dialog, "south")->setChecked(true);
    Find<QSpinBox>(dialog, "latDeg")->setValue(0);
    Find<QSpinBox>(dialog, "latMin")->setValue(30);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.result().latitudeMin, -30);
    EXPECT_EQ(model.result().latitudeDeg, 0);
    EXPECT_EQ(UserPlaces(settings).name(0), "南の島");
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"新しい観測地を登録しました(1/10)"});
}

TEST(DescriptionDialogWidget, TitleTextAndUnicodeBox) {
    app();
    DescriptionDialog dialog("オリオン", "一行目\r\n二行目", true);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("オリオン座の説明（編集）"));
    EXPECT_TRUE(Find<QCheckBox>(dialog, "unicode")->isChecked());
    EXPECT_EQ(Find<QPlainTextEdit>(dialog, "text")->toPlainText(), QString::fromUtf8("一行目\n二行目"));
    EXPECT_EQ(dialog.text(), "一行目\r\n二行目");
}

TEST(TodaysDataDialogWidget, NextDayMovesTheList) {
    app();
    ObservingPlace tokyo{139, 45, 35, 40, 9, ""};
    TodaysDataDialog dialog(CAstroTime(2005, 1, 1, 18, 30, 0), tokyo);
    EXPECT_NE(dialog.data().title.find("2005年1月1日 月齢20日"), std::string::npos) << dialog.data().title;
    EXPECT_GT(Find<QListWidget>(dialog, "lines")->count(), 5);
    Find<QPushButton>(dialog, "next")->click();
    EXPECT_EQ(dialog.data().day, 2);
    dialog.nextDay();
    EXPECT_NE(dialog.data().title.find("2005年1月3日"), std::string::npos);
}

}  // namespace
}  // namespace celes
