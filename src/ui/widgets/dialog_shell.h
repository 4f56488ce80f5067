#pragma once
// What every dialog of the program shares: its controls sit in a scroll area so that the dialog
// fits a window as small as 240x320 and stays usable there, the buttons stay in view below, and
// a refused value is told in a message box that does not block the event loop. Dialogs are
// opened window-modal with open(); their outcome is handed to callbacks, never waited for.
#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QScrollArea;
class QVBoxLayout;

namespace celes {

class DialogShell : public QDialog {
    Q_OBJECT
  public:
    // `title` is the dialog's caption (UTF-8 text as the program shows it).
    DialogShell(const QString& title, QWidget* parent);

    // The layout that the dialog's controls go into (inside the scroll area).
    QVBoxLayout* body() const { return body_; }
    QDialogButtonBox* buttons() const { return buttons_; }
    // Adds OK and Cancel (Qt's standard buttons, translated with Qt's own texts).
    void addOkCancel();

    // Shows `message` over the dialog and puts the focus on `field`; the dialog stays open.
    void refuse(QWidget* field, const QString& message);
    // The message box of the last refusal, while it is shown (for tests).
    QWidget* refusalBox() const { return refusal_; }

    // Opens window-modal, sized to its contents but never larger than the window it belongs to.
    void openFitted();

  protected:
    // The size the dialog would like when room allows (beyond what its layout asks for).
    virtual QSize preferredSize() const { return QSize(); }
    // Wraps `content` in a scroll area of its own (for tab pages).
    static QScrollArea* scrolling(QWidget* content);

  private:
    QVBoxLayout* body_;
    QDialogButtonBox* buttons_;
    QWidget* refusal_ = nullptr;
};

}  // namespace celes
