// The bound on what an INDI server may send: the guard's reading of the XML, and a link that
// gives up, names the server and keeps its memory when a server floods it before the device.
#include "telescope/indi_input_guard.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "indi_doubles.h"

namespace celes {
namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

constexpr char kDefinition[] =
    "<defNumberVector device=\"Mount\" name=\"EQUATORIAL_EOD_COORD\" state=\"Ok\" perm=\"rw\" "
    "label=\"a > b, c/d\" timestamp='2026-12-10T10:00:00'>\n"
    "  <defNumber name=\"RA\" format=\"%010.6m\" min=\"0\" max=\"24\" step=\"0\">5</defNumber>\n"
    "  <defNumber name=\"DEC\" format=\"%010.6m\" min=\"-90\" max=\"90\" step=\"0\"/>\n"
    "</defNumberVector>\n";

TEST(IndiInputGuard, PassesWhatServersSendAndStopsAtEachLimit) {
    IndiInputLimits small;
    small.depth = 4;
    small.messageBytes = 1000;
    small.messageElements = 20;
    small.beforeDevice = 5000;
    struct Case {
        const char* what;
        std::string input;
        bool deviceReadyFirst;
        const char* problem;  // empty: passes
    };
    const Case cases[] = {
        {"definitions, quoted '>' and '/', declarations",
         "<?xml version='1.0'?><!-- hello -->" + Repeat(kDefinition, 10), false, ""},
        {"nesting", Repeat("<a>", 5), false, "XMLの入れ子が深すぎます"},
        {"nesting closed in time", Repeat("<a>", 4) + Repeat("</a>", 4) + Repeat("<a>", 4), false, ""},
        {"self-closed elements do not nest", "<a>" + Repeat("<b/>", 10) + "</a>", false, ""},
        {"one long message", "<message message=\"" + std::string(2000, 'x') + "\"/>", false,
         "一つのメッセージが大きすぎます"},
        {"many members in one message", "<a>" + Repeat("<b/>", 21) + "</a>", false,
         "一つのメッセージの要素が多すぎます"},
        {"members counted per message", Repeat("<a>" + Repeat("<b/>", 15) + "</a>", 5), false, ""},
        {"too much before the device", Repeat("<a><b/></a>", 500), false,
         "装置の定義までのデータが多すぎます"},
        {"no total once the device is ready", Repeat("<a><b/></a>", 500), true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Whole, and in pieces of every size a socket may hand over.
        for (const std::size_t piece : {c.input.size(), std::size_t{1}, std::size_t{7}}) {
            IndiInputGuard guard(small);
            if (c.deviceReadyFirst) guard.DeviceReady();
            bool ok = true;
            for (std::size_t i = 0; i < c.input.size() && ok; i += piece)
                ok = guard.Feed(c.input.data() + i, std::min(piece, c.input.size() - i));
            EXPECT_EQ(ok, std::string(c.problem).empty());
            EXPECT_EQ(guard.Problem(), c.problem);
            // A guard that has given up lets nothing more through.
            if (!ok) {
                EXPECT_FALSE(guard.Feed("<a/>", 4));
            }
        }
    }
}

#ifdef CELES_WITH_INDI

// The process's peak resident memory in kB since the last reset.
long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

TEST(IndiInputBound, AFloodBeforeTheDeviceCutsTheLinkNamingTheServer) {
    struct Case {
        const char* what;
        std::string flood;
        const char* problem;
    };
    const Case cases[] = {
        {"6 MB of nesting", Repeat("<a>", 2'000'000), "XMLの入れ子が深すぎます"},
        {"one 6 MB message", "<message device=\"x\" message=\"" + std::string(6'000'000, 'x') + "\"/>",
         "一つのメッセージが大きすぎます"},
        {"20 MB between messages", std::string(20'000'000, '\n'), "装置の定義までのデータが多すぎます"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FakeIndiServer server(c.flood, [](const std::string&) { return std::string(); });
        const std::string where = "127.0.0.1:" + std::to_string(server.port());
        ResetPeak();
        const long before = PeakKb();
        IndiMount mount(nullptr);
        const IndiResult opened = testing::Await(
            [&](IndiMount::Done done) { mount.Open(*ParseIndiAddress(server.address()), done); });
        EXPECT_FALSE(opened.ok());
        EXPECT_EQ(opened.state, TelescopeState::Closed);
        EXPECT_NE(opened.status.find("INDIサーバー " + where), std::string::npos) << opened.status;
        EXPECT_NE(opened.status.find(c.problem), std::string::npos) << opened.status;
        EXPECT_FALSE(mount.IsOpen());
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // The flood itself is held by the fake server; what the link keeps stays small.
        EXPECT_LT(PeakKb() - before, 64 * 1024) << "kB";
#else
        (void)before;
#endif
    }
}

#endif

}  // namespace
}  // namespace celes
