#include <gtest/gtest.h>

#include "ui/date_time_model.h"
#include "ui/time_step_model.h"

namespace celes {
namespace {

TEST(TimeStepModel, NineteenCaptionsAndPreselection) {
    const auto table = TimeStepTable();
    ASSERT_EQ(table.size(), 19u);
    EXPECT_STREQ(table[0].caption, "30秒");
    EXPECT_STREQ(table[8].caption, "２時間");
    EXPECT_STREQ(table[12].caption, "１２時間");
    EXPECT_STREQ(table[18].caption, "30日");
    EXPECT_EQ(table[18].step, (StepSize{30, 0, 0, 0}));

    EXPECT_EQ(TimeStepModel(table, {0, 0, 3, 0}).selected(), 2);  // the default step
    EXPECT_EQ(TimeStepModel(table, {0, 0, 0, 30}).selected(), 0);
    EXPECT_EQ(TimeStepModel(table, {1, 2, 0, 0}).selected(), -1);  // matches no entry
}

TEST(TimeStepModel, SetTakesTheSelectionOrKeepsTheCurrentStep) {
    TimeStepModel m(TimeStepTable(), {1, 2, 0, 0});
    EXPECT_EQ(m.result(), (StepSize{1, 2, 0, 0}));  // nothing selected: the step stays
    m.select(13);
    EXPECT_EQ(m.result(), (StepSize{1, 0, 0, 0}));
    m.select(19);
    EXPECT_EQ(m.selected(), -1);
    EXPECT_EQ(m.result(), (StepSize{1, 2, 0, 0}));
}

TEST(DateTimeModel, RefusesFieldsOutsideTheirRangeWithAMessage) {
    struct Case {
        DateTimeModel::Field field;
        int value;
        bool accepted;
    };
    const Case cases[] = {
        {DateTimeModel::Field::Month, 13, false},  {DateTimeModel::Field::Month, 0, false},
        {DateTimeModel::Field::Day, 29, false},    {DateTimeModel::Field::Day, 28, true},
        {DateTimeModel::Field::Hour, 24, false},   {DateTimeModel::Field::Hour, 23, true},
        {DateTimeModel::Field::Minute, 60, false}, {DateTimeModel::Field::Second, -1, false},
        {DateTimeModel::Field::Year, 1900, false}, {DateTimeModel::Field::Year, 2099, true},
        {DateTimeModel::Field::Year, 2100, false},
    };
    for (const Case& c : cases) {
        DateTimeModel m(CAstroTime(2026, 2, 10, 21, 6, 0));
        m.setField(c.field, c.value);
        const auto refusal = m.validate();
        EXPECT_EQ(!refusal, c.accepted) << +c.field << " = " << c.value;
        EXPECT_EQ(m.accept().has_value(), c.accepted);
        if (refusal) {
            EXPECT_EQ(refusal->field, c.field);
        }
    }
    DateTimeModel leap(CAstroTime(2024, 2, 1, 0, 0, 0));
    leap.setField(DateTimeModel::Field::Day, 30);
    EXPECT_EQ(leap.validate()->message, "1 から 29 までの整数を入力してください。");
}

TEST(DateTimeModel, NowFillsTheFieldsAndOkGivesTheTime) {
    DateTimeModel m(CAstroTime(2026, 12, 10, 12, 6, 0));
    m.fillNow(CAstroTime(2026, 12, 10, 21, 6, 30));
    EXPECT_EQ(m.field(DateTimeModel::Field::Hour), 21);
    m.setField(DateTimeModel::Field::Minute, 45);
    EXPECT_EQ(m.accept(), CAstroTime(2026, 12, 10, 21, 45, 30));
}

}  // namespace
}  // namespace celes
