#pragma once
// The one application object of the widget tests' program: made by whichever test needs it first and
// never destroyed, so Qt's font caches stay reachable until the process ends.
#include <QApplication>

namespace celes::test {

inline void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "celes_ui_widgets_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

}  // namespace celes::test
