#include <QApplication>
#include <QMainWindow>

#include "app/commands.h"

namespace celes::app {

int runGui(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Celes");
    window.resize(480, 640);
    window.show();
    return app.exec();
}

}  // namespace celes::app
