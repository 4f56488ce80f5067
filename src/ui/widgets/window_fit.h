#pragma once
// Every dialog stays inside the main window: whatever opens it (the program's own dialogs, Qt's
// message boxes and file dialogs), a dialog that would be larger than the window is made to fit
// it and placed over it, so its buttons can be reached on a 240x320 screen. Installed once on the
// application by the main frame.
#include <QObject>
#include <QPointer>
#include <QSize>

class QWidget;

namespace celes {

class DialogFitter : public QObject {
    Q_OBJECT
  public:
    // `host` is the main window the dialogs are fitted into.
    explicit DialogFitter(QWidget* host);

    // Makes `dialog` no larger than the host window and places it over it.
    void fit(QWidget* dialog) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> host_;
};

}  // namespace celes
