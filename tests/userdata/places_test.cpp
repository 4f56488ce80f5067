#include "userdata/places.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes/memory_settings.h"
#include "fakes/scripted_dialogs.h"
#include "skydata/text_codec.h"
#include "view/view_state.h"

namespace celes {
namespace {

TEST(BuiltInPlaces, TableAsListed) {
    const auto places = BuiltInPlaces();
    ASSERT_EQ(places.size(), 95u);
    const BuiltInPlace& sagamihara = places[38];
    EXPECT_STREQ(sagamihara.name, "神奈川県相模原市");
    EXPECT_EQ(settingRow(Setting::LocationName).stringDefault, std::string(sagamihara.name))
        << "the default place is entry 38";
    EXPECT_EQ(sagamihara.longitudeDeg, 139);
    EXPECT_EQ(sagamihara.latitudeMin, 34);
    EXPECT_STREQ(places[1].name, places[5].name);
    EXPECT_EQ(places[1].latitudeMin, places[5].latitudeMin);
    EXPECT_STREQ(places[92].name, "カイロ（エジプト）");
    EXPECT_EQ(places[90].hours, 7);
    for (const BuiltInPlace& p : places) {
        EXPECT_LE(utf8ToCp932(p.name).size(), 19u) << p.name << " fits the 20-byte name with its NUL";
        EXPECT_GT(p.longitudeDeg, 0);
        EXPECT_GT(p.hours, 0);
    }
}

TEST(PlaceConversion, SignedStorageRoundTrips) {
    struct Case {
        PlaceFields fields;
        StoredPlace stored;
    } cases[] = {
        {{"南", false, 10, 0, true, 0, 30, false, 0}, {"南", 10, 0, 0, -30, 0}},
        {{"西", true, 0, 30, false, 51, 28, false, 0}, {"西", 0, -30, 51, 28, 0}},
        {{"NY", true, 74, 0, false, 40, 43, true, 5}, {"NY", -74, 0, 40, 43, -5}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredFromFields(c.fields), c.stored) << c.fields.name;
        EXPECT_EQ(FieldsFromStored(c.stored), c.fields) << c.fields.name;
    }
    ViewState v;
    StoreInView(cases[0].stored, v);
    EXPECT_EQ(v.latitudeDeg, 0);
    EXPECT_EQ(v.latitudeMin, -30);
    EXPECT_EQ(v.placeName, "南") << "the status line and the settings file take the name as it is";
    EXPECT_EQ(StoredFromView(v), cases[0].stored);
}

class PlaceDialogTest : public ::testing::Test {
  protected:
    PlaceDialogTest() : settings(store) {}
    PlaceDialogModel open(const StoredPlace& current = {"神奈川県相模原市", 139, 22, 35, 34, 9}) {
        return PlaceDialogModel(settings, dialogs, current);
    }
    void putSlot(int slot, const std::string& name) {
        UserPlaces(settings).write(slot, {name, false, 100, 0, false, 10, 0, false, 7});
    }
    fakes::MemorySettings store;
    Settings settings;
    fakes::ScriptedDialogs dialogs;
};

TEST_F(PlaceDialogTest, ListStartsWithTheTableThenUserPlacesAndSelectsTheCurrentOne) {
    putSlot(3, "自宅");
    auto m = open();
    ASSERT_EQ(m.items().size(), 96u);
    EXPECT_EQ(m.items()[95].text, "自宅");
    EXPECT_EQ(m.items()[95].data, 1003);
    EXPECT_EQ(m.initialSelection(), 38);
    EXPECT_EQ(m.fields().longitudeDeg, 139);
    EXPECT_EQ(open({"北海道赤", 0, 0, 0, 0, 9}).initialSelection(), 1)
        << "the first item starting with the name";
}

TEST_F(PlaceDialogTest, ChoosingSingaporeGivesItsTableValues) {
    auto m = open();
    int singapore = -1;
    for (std::size_t i = 0; i < m.items().size(); ++i)
        if (m.items()[i].text == "シンガポール") singapore = static_cast<int>(i);
    ASSERT_EQ(singapore, 88);
    m.choose(singapore);
    EXPECT_TRUE(m.accept());
    EXPECT_EQ(m.result(), (StoredPlace{"シンガポール", 103, 48, 1, 12, 8}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(UserPlaces(settings).firstFree(), 0) << "a table entry is not stored as a user place";
}

TEST_F(PlaceDialogTest, NewNameGoesToTheFirstFreeSlotWithItsNumber) {
    putSlot(0, "A");
    putSlot(2, "C");
    auto m = open();
    m.typeName("B");
    m.fields().south = true;
    m.fields().latitudeMin = 30;
    EXPECT_TRUE(m.accept());
    ASSERT_EQ(dialogs.texts(), std::vector<std::string>{"新しい観測地を登録しました(2/10)"});
    const PlaceFields slot1 = UserPlaces(settings).read(1);
    EXPECT_EQ(slot1.name, "B");
    EXPECT_TRUE(slot1.south);
    EXPECT_EQ(slot1.latitudeMin, 30);
    EXPECT_EQ(store.readInt("USERLOC", "LOC_NANBOKU01", -1), 1);
}

TEST_F(PlaceDialogTest, AnExistingNameIsUpdatedWithoutMessageEvenAfterAGap) {
    putSlot(0, "A");
    putSlot(2, "C");  // slot 1 is empty: C stands after the gap
    auto m = open();
    m.typeName("C");
    m.fields().longitudeDeg = 120;
    EXPECT_TRUE(m.accept());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(UserPlaces(settings).read(2).longitudeDeg, 120);
    EXPECT_EQ(UserPlaces(settings).name(1), "") << "no second entry named C";
}

TEST_F(PlaceDialogTest, ChosenUserPlaceIsCorrectedInItsSlot) {
    putSlot(4, "観測所");
    auto m = open();
    m.choose(95);
    EXPECT_EQ(m.fields().hours, 7);
    m.fields().hours = 9;
    EXPECT_TRUE(m.accept());
    EXPECT_EQ(UserPlaces(settings).read(4).hours, 9);
}

TEST_F(PlaceDialogTest, RefusalsKeepTheDialogOpenAndWriteNothing) {
    for (int slot = 0; slot < 10; ++slot) putSlot(slot, "P" + std::to_string(slot));
    const auto before = store.values;
    auto m = open();
    m.typeName("");
    EXPECT_FALSE(m.accept());
    m.typeName("新しい場所");
    EXPECT_FALSE(m.accept());
    EXPECT_EQ(dialogs.texts().back(), kPlacesFull);
    m.typeName("P3");
    m.fields().latitudeDeg = 91;
    EXPECT_FALSE(m.accept());
    EXPECT_EQ(dialogs.texts().back(), "0 から 90 までの整数を入力してください。");
    m.fields().latitudeDeg = 90;
    m.fields().longitudeMin = 60;
    EXPECT_FALSE(m.accept());
    EXPECT_EQ(store.values, before);
}

// Every numeric field at each edge of its range: the edge itself is taken and stored as typed, one
// past it is refused with the range named and nothing written.
TEST_F(PlaceDialogTest, EveryFieldTakesItsEdgesAndRefusesOnePast) {
    const struct {
        const char* field;
        int PlaceFields::*member;
        int min, max;
    } fields[] = {
        {"longitude degrees", &PlaceFields::longitudeDeg, 0, 180},
        {"longitude minutes", &PlaceFields::longitudeMin, 0, 59},
        {"latitude degrees", &PlaceFields::latitudeDeg, 0, 90},
        {"latitude minutes", &PlaceFields::latitudeMin, 0, 59},
        {"hours from UT", &PlaceFields::hours, 0, 12},
    };
    int n = 0;
    for (const auto& f : fields)
        for (const int value : {f.min - 1, f.min, f.max, f.max + 1}) {
            SCOPED_TRACE(std::string(f.field) + " " + std::to_string(value));
            const std::string name = "edge" + std::to_string(++n);
            const auto before = store.values;
            const std::size_t boxes = dialogs.texts().size();
            auto m = open();
            m.typeName(name);
            m.fields().*f.member = value;
            const bool inside = value >= f.min && value <= f.max;
            EXPECT_EQ(m.accept(), inside);
            if (inside) {
                EXPECT_EQ(dialogs.texts().size(), boxes + 1) << "only the registration notice";
                // Its slot holds the place with the edge value (ten accepted in all: one slot each).
                bool found = false;
                for (int slot = 0; slot < 10; ++slot)
                    if (UserPlaces(settings).name(slot) == name) {
                        found = true;
                        EXPECT_EQ(UserPlaces(settings).read(slot).*f.member, value);
                    }
                EXPECT_TRUE(found);
            } else {
                EXPECT_EQ(dialogs.texts().back(), std::to_string(f.min) + " から " + std::to_string(f.max) +
                                                      " までの整数を入力してください。");
                EXPECT_EQ(store.values, before);
            }
        }
}

TEST_F(PlaceDialogTest, LongNamesAreCut) {
    auto m = open();
    std::string name;
    for (int i = 0; i < 200; ++i) name += "長";
    m.typeName(name);
    EXPECT_TRUE(m.accept());
    EXPECT_EQ(UserPlaces(settings).name(0).size(), 3u * kPlaceNameMaxChars);
}

}  // namespace
}  // namespace celes
