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

TEST(DrawnObjects, BrightestInTheBoxWinsAndTheTapMoves) {
    BasicDrawnObjectList<Rec> list;
    const Rec faint = Star(2.1, 'a'), bright = Star(1.4, 'b');
    list.RecordDrawn(&faint, 100, 100);
    list.RecordDrawn(&bright, 94, 106);
    int x = 100, y = 100;
    EXPECT_EQ(list.FindObjectAt(x, y, false), &bright);
    EXPECT_EQ(x, 94);
    EXPECT_EQ(y, 106);
}

TEST(DrawnObjects, BoxEdgesAndTies) {
    BasicDrawnObjectList<Rec> list;
    const Rec a = Star(3.0, 'a'), b = Star(3.0, 'b');
    list.RecordDrawn(&a, 50, 50);
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
        const Rec* r = list.FindObjectAt(x, y, false);
        EXPECT_EQ(r != nullptr, c.found) << c.tx << "," << c.ty;
        if (!r) {
            EXPECT_EQ(x, c.tx);  // not found: the tap stays where it was
            EXPECT_EQ(y, c.ty);
        }
    }
    list.RecordDrawn(&b, 51, 51);
    int x = 50, y = 50;
    EXPECT_EQ(list.FindObjectAt(x, y, false), &a);  // equal magnitudes: the first drawn
}

TEST(DrawnObjects, WhatCanBeFound) {
    BasicDrawnObjectList<Rec> list;
    Rec plain = Star(0.0, ' ');
    Rec unnamed = Star(0.5, '\0');
    Rec tap;
    tap.classText = {'!', 'T', 'P', '!'};
    tap.magnitude = -100;
    Rec body;
    body.constellation = {'#', 0, 0, 0};
    body.magnitude = -2.0;
    Rec greek = Star(1.0, 'a');
    list.RecordDrawn(&plain, 10, 10);
    list.RecordDrawn(&unnamed, 10, 10);
    list.RecordDrawn(&greek, 10, 10);
    int x = 10, y = 10;
    EXPECT_EQ(list.FindObjectAt(x, y, false), &greek);
    list.RecordDrawn(&body, 11, 11);
    EXPECT_EQ(list.FindObjectAt(x, y, false), &body);
    list.RecordDrawn(&tap, 12, 12);
    x = y = 10;
    EXPECT_EQ(list.FindObjectAt(x, y, false), &body);  // taps only while shown
    EXPECT_EQ(list.FindObjectAt(x, y, true), &tap);
    EXPECT_EQ(x, 12);
}

TEST(DrawnObjects, CapacityClearAndFarPixels) {
    BasicDrawnObjectList<Rec> list;
    std::deque<Rec> recs;
    for (int i = 0; i < BasicDrawnObjectList<Rec>::kCapacity + 5; ++i) {
        recs.push_back(Star(5.0, 'a'));
        list.RecordDrawn(&recs.back(), i % 200, i / 200);
    }
    EXPECT_EQ(list.Size(), 9999);
    list.RecordDrawn(nullptr, 0, 0);
    EXPECT_EQ(list.Size(), 0);
    int x = 0, y = 0;
    EXPECT_EQ(list.FindObjectAt(x, y, true), nullptr);
    // Pixels beyond 16 bits are held at the edge instead of wrapping onto the chart.
    list.RecordDrawn(&recs[0], 70000, -70000);
    x = 4464, y = 4464;  // where a wrapped 70000 would land
    EXPECT_EQ(list.FindObjectAt(x, y, true), nullptr);
    EXPECT_EQ(list.Entries()[0].x, 32767);
    EXPECT_EQ(list.Entries()[0].y, -32768);
    x = 1 << 30;
    y = -(1 << 30);
    EXPECT_EQ(list.FindObjectAt(x, y, true), nullptr);
}

}  // namespace
}  // namespace celes
