// Smoke tests of the dialog widgets: their controls reach the models, OK and Cancel end as the
// models say, refused values keep the dialog open, and every dialog fits a 240x320 window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <functional>
#include <memory>

#include "fakes/memory_settings.h"
#include "ui/widgets/about_dialog.h"
#include "ui/widgets/addin_dialog.h"
#include "ui/widgets/colour_dialog.h"
#include "ui/widgets/constellation_dialog.h"
#include "ui/widgets/date_time_dialog.h"
#include "ui/widgets/options_dialog.h"
#include "ui/widgets/test_application.h"
#include "ui/widgets/time_step_dialog.h"

namespace celes {
namespace {

QPushButton* Standard(DialogShell& d, QDialogButtonBox::StandardButton b) {
    return d.buttons()->button(b);
}

TEST(Dialogs, EveryDialogFitsASmallWindowAndKeepsItsButtonsInView) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    store.writeString("CELES", "CELES_DATA", std::string(300, 'x') + "/celes.dat");
    const std::function<DialogShell*(QWidget*)> makers[] = {
        [](QWidget* p) { return new OptionsDialog(DisplaySettings{}, 4, p); },
        [](QWidget* p) { return new DateTimeDialog(CAstroTime(2026, 12, 10, 21, 6, 0), nullptr, p); },
        [&](QWidget* p) { return new ColourDialog(ColourTable{}, store, p); },
        [](QWidget* p) { return new ConstellationDialog(ConstellationSelection{}, true, p); },
        [&](QWidget* p) { return new AddinDialog(store, true, p); },
        [](QWidget* p) {
            return new TimeStepDialog(TimeStepTable(), {0, 0, 3, 0}, p);
        },
        [&](QWidget* p) { return new AboutDialog(store, p); },
    };
    for (const QSize host : {QSize(240, 320), QSize(1280, 800)}) {
        QWidget window;
        window.resize(host);
        window.show();
        for (const auto& make : makers) {
            DialogShell* d = make(&window);
            d->openFitted();
            SCOPED_TRACE(d->windowTitle().toStdString());
            EXPECT_TRUE(d->isVisible());
            EXPECT_LE(d->width(), host.width());
            EXPECT_LE(d->height(), host.height());
            // Every button of the button row lies inside the dialog.
            for (QAbstractButton* b : d->buttons()->buttons()) {
                const QRect r(b->mapTo(d, QPoint(0, 0)), b->size());
                EXPECT_TRUE(d->rect().contains(r)) << b->text().toStdString();
            }
            d->reject();
        }
    }
}

TEST(Dialogs, OptionPagesRefuseOutOfRangeAndStoreNothingOnCancel) {
    test::EnsureApplication();
    int accepted = 0, finished = 0;
    bool lastOk = true;
    DisplaySettings current;
    auto* d = new OptionsDialog(current, 4);
    d->onAccepted = [&](const OptionPagesModel::Result& r) {
        ++accepted;
        EXPECT_EQ(r.settings.get(Setting::ZoomInUpTo), 500);
        EXPECT_FALSE(r.settings.on(Setting::Option2NoKansoku));
    };
    d->onFinished = [&](bool ok) {
        ++finished;
        lastOk = ok;
    };
    d->openFitted();
    ASSERT_EQ(d->tabs()->count(), kOptionPageCount);
    auto* upTo = qobject_cast<QLineEdit*>(d->control(Setting::ZoomInUpTo));
    ASSERT_NE(upTo, nullptr);
    upTo->setText("99");
    qobject_cast<QCheckBox*>(d->control(Setting::Option2NoKansoku))->setChecked(false);
    Standard(*d, QDialogButtonBox::Ok)->click();
    EXPECT_EQ(accepted, 0);
    EXPECT_TRUE(d->isVisible());
    ASSERT_NE(d->refusalBox(), nullptr);
    EXPECT_EQ(d->tabs()->currentIndex(), FindOptionControl(Setting::ZoomInUpTo)->page);
    d->refusalBox()->close();
    upTo->setText("500");
    Standard(*d, QDialogButtonBox::Ok)->click();
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(lastOk);

    auto* cancelled = new OptionsDialog(current, 4);
    cancelled->onAccepted = [&](const OptionPagesModel::Result&) { ++accepted; };
    cancelled->onFinished = [&](bool ok) { lastOk = ok; };
    cancelled->openFitted();
    qobject_cast<QLineEdit*>(cancelled->control(Setting::DirecWide))->setText("7");
    Standard(*cancelled, QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(accepted, 1);
    EXPECT_FALSE(lastOk);
}

TEST(Dialogs, DateTimeNowButtonAndRefusal) {
    test::EnsureApplication();
    std::optional<CAstroTime> got;
    auto* d = new DateTimeDialog(CAstroTime(2026, 12, 10, 12, 6, 0),
                                 [] { return CAstroTime(2026, 12, 10, 21, 6, 0); });
    d->onAccepted = [&](const CAstroTime& t) { got = t; };
    d->openFitted();
    d->nowButton()->click();
    EXPECT_EQ(d->field(DateTimeModel::Field::Hour)->value(), 21);
    d->field(DateTimeModel::Field::Day)->setValue(32);
    Standard(*d, QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(got);
    ASSERT_NE(d->refusalBox(), nullptr);
    d->refusalBox()->close();
    d->field(DateTimeModel::Field::Day)->setValue(31);
    Standard(*d, QDialogButtonBox::Ok)->click();
    EXPECT_EQ(got, CAstroTime(2026, 12, 31, 21, 6, 0));
}

TEST(Dialogs, ColourEditorSwatchesUpdateAndOutcomes) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    ColourTable stored;
    stored.Set(13, MakeColour(10, 20, 30));
    stored.Save(store);
    struct Outcome {
        std::function<void(ColourDialog&)> end;
        ColourDialogModel::Result result;
        Colour entry13;
    };
    const Outcome outcomes[] = {
        {[](ColourDialog& d) { Standard(d, QDialogButtonBox::Ok)->click(); }, ColourDialogModel::Result::Ok,
         MakeColour(255, 15, 15)},
        {[](ColourDialog& d) { Standard(d, QDialogButtonBox::Cancel)->click(); },
         ColourDialogModel::Result::Cancel, MakeColour(10, 20, 30)},
        {[](ColourDialog& d) { d.resetButton()->click(); }, ColourDialogModel::Result::Reset,
         ColourTable::Default(13)},
    };
    for (const Outcome& o : outcomes) {
        stored.Save(store);
        auto* d = new ColourDialog(stored, store);
        int calls = 0;
        ColourTable result;
        d->onFinished = [&](ColourDialogModel::Result r, const ColourTable& t) {
            ++calls;
            EXPECT_EQ(r, o.result);
            result = t;
        };
        d->openFitted();
        ASSERT_EQ(d->entries()->count(), kEditableColourCount);
        EXPECT_FALSE(d->entries()->itemIcon(13).isNull());
        d->entries()->setCurrentIndex(13);
        EXPECT_EQ(d->bar(1)->value(), 1);
        d->bar(0)->setValue(16);
        d->updateButton()->click();
        o.end(*d);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(result[13], o.entry13);
        ColourTable reread;
        reread.Load(store);
        EXPECT_EQ(reread[13], o.result == ColourDialogModel::Result::Ok ? o.entry13 : result[13]);
    }
}

TEST(Dialogs, ConstellationSelectionCheckBoxZodiacAndOk) {
    test::EnsureApplication();
    ConstellationSelection current;
    current.selectOnly("Ori");
    auto* d = new ConstellationDialog(current, true);
    std::optional<std::pair<std::vector<std::string>, bool>> got;
    d->onAccepted = [&](const ConstellationSelection& s, bool on) {
        std::vector<std::string> names;
        for (auto a : s.abbreviations()) names.emplace_back(a);
        got = {names, on};
    };
    d->openFitted();
    EXPECT_EQ(d->list()->selectedItems().size(), 1);
    d->filterBox()->setChecked(false);
    EXPECT_FALSE(d->list()->isEnabled());
    EXPECT_FALSE(d->zodiacButton()->isEnabled());
    d->filterBox()->setChecked(true);
    d->zodiacButton()->click();
    EXPECT_EQ(d->list()->selectedItems().size(), 12);
    Standard(*d, QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(got);
    EXPECT_TRUE(got->second);
    EXPECT_EQ(got->first.size(), 12u);
}

TEST(Dialogs, AddinListAddSurvivesCancelAndOkStoresTheFlag) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    auto* d = new AddinDialog(store, true);
    int finished = 0;
    d->onFinished = [&] { ++finished; };
    d->openFitted();
    d->addButton()->click();
    ASSERT_NE(d->fileDialog(), nullptr);
    d->fileDialog()->reject();
    d->addPath("/d/comet.p99");
    EXPECT_EQ(d->list()->count(), 1);
    Standard(*d, QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(store.readString("ADIN", "f1", ""), "/d/comet.p99");

    auto* again = new AddinDialog(store, false);
    std::optional<bool> flag;
    again->onAccepted = [&](bool on) { flag = on; };
    again->openFitted();
    EXPECT_FALSE(again->list()->isEnabled());
    again->enableBox()->setChecked(true);
    again->list()->setCurrentRow(0);
    again->removeButton()->click();
    Standard(*again, QDialogButtonBox::Ok)->click();
    EXPECT_EQ(flag, true);
    EXPECT_EQ(store.readInt("ADIN", "COUNT", -1), 0);
}

TEST(Dialogs, TimeStepSetWithNothingSelectedKeepsTheStep) {
    test::EnsureApplication();
    std::optional<StepSize> got;
    auto* d = new TimeStepDialog(TimeStepTable(), {1, 2, 0, 0});
    d->onAccepted = [&](const StepSize& s) { got = s; };
    d->openFitted();
    EXPECT_EQ(d->list()->count(), 19);
    EXPECT_EQ(d->list()->currentIndex(), -1);
    d->setButton()->click();
    EXPECT_EQ(got, (StepSize{1, 2, 0, 0}));

    auto* chosen = new TimeStepDialog(TimeStepTable(), {0, 0, 3, 0});
    chosen->onAccepted = [&](const StepSize& s) { got = s; };
    chosen->openFitted();
    EXPECT_EQ(chosen->list()->currentText().toStdString(), "3分");
    chosen->list()->setCurrentIndex(0);
    chosen->setButton()->click();
    EXPECT_EQ(got, (StepSize{0, 0, 0, 30}));
}

TEST(Dialogs, AboutResetEmptiesTheLinesAndCloseStoresTheCardBox) {
    test::EnsureApplication();
    fakes::MemorySettings store;
    store.writeString("CELES", "CELES_DATA", "/sky/celes.dat");
    store.writeString("SEIZAE", "FILE", "/sky/f.dat");
    auto* d = new AboutDialog(store);
    d->openFitted();
    EXPECT_EQ(d->pathLine(0)->text().toStdString(), "/sky/celes.dat");
    EXPECT_FALSE(ProgramVersion().isEmpty());
    d->resetButton()->click();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(d->pathLine(i)->text().isEmpty());
    EXPECT_FALSE(store.has("CELES", "CELES_DATA"));
    d->cardBox()->setChecked(true);
    d->closeButton()->click();
    EXPECT_EQ(store.readInt("MEMORY", "CARD", 0), 2);
}

}  // namespace
}  // namespace celes
