// The baseline of tools/startup/startup_time.sh: a Qt window of the same size that paints
// nothing but black, and says so on its first paint, as celes-window does for its first chart.
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

class Empty : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::black);
        if (!reported_) {
            reported_ = true;
            std::fputs("first chart\n", stdout);
            std::fflush(stdout);
        }
    }

  private:
    bool reported_ = false;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Empty window;
    window.resize(argc > 2 ? std::atoi(argv[1]) : 1280, argc > 2 ? std::atoi(argv[2]) : 800);
    window.show();
    return app.exec();
}
