// What commands and dialogs do, checked by their effect in the whole program rather than by the
// caption they show.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <vector>

#include "ui/time_step_model.h"
#include "ui/widgets/time_step_dialog.h"
#include "whole_program.h"

namespace celes {
namespace {

using test::WholeProgram;

// Each entry of the interval dialog, chosen there, moves the chart's time by its own amount with
// one step of "xxx刻みで進ませる": from the last half minute of February, across the month's end.
TEST(IntervalEntries, EachMovesTheTimeByItsOwnStep) {
    const struct {
        const char* caption;
        std::vector<int> after;
    } cases[] = {
        {"30秒", {2026, 3, 1, 0, 0, 0}},        {"1分", {2026, 3, 1, 0, 0, 30}},
        {"3分", {2026, 3, 1, 0, 2, 30}},        {"5分", {2026, 3, 1, 0, 4, 30}},
        {"10分", {2026, 3, 1, 0, 9, 30}},       {"20分", {2026, 3, 1, 0, 19, 30}},
        {"30分", {2026, 3, 1, 0, 29, 30}},      {"1時間", {2026, 3, 1, 0, 59, 30}},
        {"２時間", {2026, 3, 1, 1, 59, 30}},    {"３時間", {2026, 3, 1, 2, 59, 30}},
        {"４時間", {2026, 3, 1, 3, 59, 30}},    {"６時間", {2026, 3, 1, 5, 59, 30}},
        {"１２時間", {2026, 3, 1, 11, 59, 30}}, {"1日", {2026, 3, 1, 23, 59, 30}},
        {"3日", {2026, 3, 3, 23, 59, 30}},      {"5日", {2026, 3, 5, 23, 59, 30}},
        {"7日", {2026, 3, 7, 23, 59, 30}},      {"15日", {2026, 3, 15, 23, 59, 30}},
        {"30日", {2026, 3, 30, 23, 59, 30}},
    };
    ASSERT_EQ(std::size(cases), TimeStepTable().size()) << "an entry without its case";
    WholeProgram w;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].caption);
        ASSERT_STREQ(TimeStepTable()[i].caption, cases[i].caption);
        w.table().Execute(cmd::kStepDialog);
        auto* dialog = w.frame.findChild<TimeStepDialog*>();
        ASSERT_NE(dialog, nullptr);
        auto* list = dialog->findChild<QComboBox*>();
        ASSERT_NE(list, nullptr);
        list->setCurrentIndex(static_cast<int>(i));
        dialog->accept();
        delete dialog;
        w.settle();
        ViewState& v = w.state();
        v.year = 2026, v.month = 2, v.day = 28, v.hour = 23, v.minute = 59, v.second = 30;
        const std::vector<int> start = w.time();
        w.table().Execute(cmd::kStepAnimation);
        // The first step, on the animation's timer.
        for (int t = 0; t < 200 && w.time() == start; ++t) w.loop.advance(10);
        EXPECT_EQ(w.time(), cases[i].after);
        w.table().Execute(cmd::kStepAnimation);  // stopped again
        ASSERT_FALSE(w.commands->time.animating());
    }
}

}  // namespace
}  // namespace celes
