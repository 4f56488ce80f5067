#include "view/drawn_objects.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>

namespace celes {
namespace {

struct Rec {
    std::array<char, 10> designation{};
    std::array<char, 4> constellation{};
    std::array<char, 21> classText{};
    double magnitude = 0.0;
};

Rec Star(double mag, char greek) {
    Rec r;
    r.designation = {'0', '0', '1', greek};
    r.constellation = {'O', 'r', 'i', 0};
    r.magnitude = mag;
    return r;
}

// A drawn-object list over records held here, named by their index.
struct Drawn {
    std::deque<Rec> recs;
    DrawnObjectList list;

    int Add(const Rec& r, int x, int y) {
        recs.push_back(r);
        const int index = int(recs.size()) - 1;
        list.RecordDrawn({RecordKind::Object, index}, x, y);
        return index;
    }
    // The record found under (x, y), moving the tap to its pixel; null when none.
    const Rec* Find(int& x, int& y, bool tapsShown) const {
        const auto hit = list.FindObjectAt(x, y, tapsShown, [&](RecordRef ref) -> const Rec* {
            return ref.index >= 0 && ref.index < int(recs.size()) ? &recs[std::size_t(ref.index)] : nullptr;
        });
        if (!hit) return nullptr;
        x = hit->x;
        y = hit->y;
        return &recs[std::size_t(hit->ref.index)];
    }
    const Rec* At(int index) const { return &recs[std::size_t(index)]; }
};

TEST(DrawnObjects, BrightestInTheBoxWinsAndTheTapMoves) {
    Drawn d;
    d.Add(Star(2.1, 'a'), 100, 100);
    const int bright = d.Add(Star(1.4, 'b'), 94, 106);
    int x = 100, y = 100;
    EXPECT_EQ(d.Find(x, y, false), d.At(bright));
    EXPECT_EQ(x, 94);
    EXPECT_EQ(y, 106);
}

TEST(DrawnObjects, BoxEdgesAndTies) {
    Drawn d;
    const int a = d.Add(Star(3.0, 'a'), 50, 50);
    struct Case {
        int tx, ty;
        bool found;
    } cases[] = {
        {58, 50, true},   // a tap 8 to the right of the star: the box's left edge is inside
        {42, 50, false},  // 8 to the left: its right edge is outside
        {50, 58, true},  {50, 42, false}, {43, 43, true}, {58, 58, true}, {59, 50, false},
    };
    for (const auto& c : cases) {
        int x = c.tx, y = c.ty;
        const Rec* r = d.Find(x, y, false);
        EXPECT_EQ(r != nullptr, c.found) << c.tx << "," << c.ty;
        if (!r) {
            EXPECT_EQ(x, c.tx);  // not found: the tap stays where it was
            EXPECT_EQ(y, c.ty);
        }
    }
    d.Add(Star(3.0, 'b'), 51, 51);
    int x = 50, y = 50;
    EXPECT_EQ(d.Find(x, y, false), d.At(a));  // equal magnitudes: the first drawn
}

TEST(DrawnObjects, WhatCanBeFound) {
    Drawn d;
    Rec tap;
    tap.classText = {'!', 'T', 'P', '!'};
    tap.magnitude = -100;
    Rec body;
    body.constellation = {'#', 0, 0, 0};
    body.magnitude = -2.0;
    d.Add(Star(0.0, ' '), 10, 10);   // plain star
    d.Add(Star(0.5, '\0'), 10, 10);  // unnamed
    const int greek = d.Add(Star(1.0, 'a'), 10, 10);
    int x = 10, y = 10;
    EXPECT_EQ(d.Find(x, y, false), d.At(greek));
    const int b = d.Add(body, 11, 11);
    EXPECT_EQ(d.Find(x, y, false), d.At(b));
    const int t = d.Add(tap, 12, 12);
    x = y = 10;
    EXPECT_EQ(d.Find(x, y, false), d.At(b));  // taps only while shown
    EXPECT_EQ(d.Find(x, y, true), d.At(t));
    EXPECT_EQ(x, 12);
}

TEST(DrawnObjects, EntriesWhoseRecordIsGoneAreSkipped) {
    Drawn d;
    d.Add(Star(1.0, 'a'), 10, 10);
    const int second = d.Add(Star(2.0, 'b'), 10, 10);
    d.list.RecordDrawn({RecordKind::Object, 99}, 10, 10);  // names a record that is not there
    d.recs.pop_front();                                    // ... and so does the first entry now
    int x = 10, y = 10;
    EXPECT_EQ(d.Find(x, y, false), d.At(second - 1));
}

TEST(DrawnObjects, CapacityClearAndFarPixels) {
    Drawn d;
    for (int i = 0; i < DrawnObjectList::kCapacity + 5; ++i) d.Add(Star(5.0, 'a'), i % 200, i / 200);
    EXPECT_EQ(d.list.Size(), 9999);
    d.list.Clear();
    EXPECT_EQ(d.list.Size(), 0);
    int x = 0, y = 0;
    EXPECT_EQ(d.Find(x, y, true), nullptr);
    // Pixels beyond 16 bits are held at the edge instead of wrapping onto the chart.
    d.list.RecordDrawn({RecordKind::Object, 0}, 70000, -70000);
    x = 4464, y = 4464;  // where a wrapped 70000 would land
    EXPECT_EQ(d.Find(x, y, true), nullptr);
    EXPECT_EQ(d.list.Entries()[0].x, 32767);
    EXPECT_EQ(d.list.Entries()[0].y, -32768);
    x = 1 << 30;
    y = -(1 << 30);
    EXPECT_EQ(d.Find(x, y, true), nullptr);
}

}  // namespace
}  // namespace celes
