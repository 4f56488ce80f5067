#pragma once
// The dialog "観測場所": the place list with its edit field, east/west and north/south choices,
// degrees and minutes, and the time difference with its sign. It binds to a PlaceDialogModel of its
// own, opens window-modal and hands the place chosen to onAccepted.
#include <functional>

#include "ui/widgets/dialog_shell.h"
#include "userdata/places.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace celes {

class PlaceDialog : public DialogShell {
    Q_OBJECT
  public:
    PlaceDialog(PlaceDialogModel model, QWidget* parent = nullptr);

    // OK, once the model accepted the fields (a registration message, when any, was shown).
    std::function<void(const StoredPlace&)> onAccepted;

    const PlaceDialogModel& model() const { return model_; }
    void done(int result) override;

  private:
    void pull();
    void push();

    PlaceDialogModel model_;
    bool pushing_ = false;
    QComboBox* places_;
    QRadioButton *east_, *west_, *north_, *south_, *plus_, *minus_;
    QSpinBox *lonDeg_, *lonMin_, *latDeg_, *latMin_;
    QComboBox* hours_;
};

}  // namespace celes
