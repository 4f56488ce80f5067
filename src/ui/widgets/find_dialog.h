#pragma once
// Find by name: a search field with the matches listed as one types; choosing one turns the chart
// to it. Objects below the horizon are listed too and say so. Modeless.
#include <QDialog>
#include <functional>
#include <vector>

#include "ui/find_by_name.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace celes {

class FindDialog : public QDialog {
    Q_OBJECT
  public:
    // `index` must outlive the dialog; `altitudeOf` gives an entry's altitude now (degrees).
    FindDialog(const NameIndex& index, std::function<double(const FindEntry&)> altitudeOf, QWidget* parent);
    // Called with the chosen entry; returns a line to show under the list (empty: none).
    std::function<QString(const FindEntry&)> onChosen;
    // "高度グラフ": called with the current match.
    std::function<void(const FindEntry&)> onAltitudeGraph;

    QLineEdit* field() const { return field_; }
    QListWidget* list() const { return list_; }
    QLabel* status() const { return status_; }
    // Lists the matches of the field's text.
    void complete();
    // Chooses the current match (Enter, double click or the button).
    void choose();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const NameIndex& index_;
    std::function<double(const FindEntry&)> altitudeOf_;
    std::vector<FindMatch> matches_;
    QLineEdit* field_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace celes
