#include "ui/widgets/main_frame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace celes {

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Celes");
    setMinimumSize(kMainFrameMinWidth, kMainFrameMinHeight);
    // Until the chart arrives the frame shows a plain black sky.
    auto* placeholder = new QWidget(this);
    placeholder->setAutoFillBackground(true);
    QPalette pal = placeholder->palette();
    pal.setColor(QPalette::Window, Qt::black);
    placeholder->setPalette(pal);
    setCentralWidget(placeholder);
    QSize size(480, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize()).expandedTo(minimumSize());
    resize(size);
}

void CMainFrame::setCentralChart(QWidget* chart) {
    setCentralWidget(chart);
}

void CMainFrame::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void CMainFrame::appExit() {
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}

}  // namespace celes
