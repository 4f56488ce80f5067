#include "ui/widgets/place_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace celes {

namespace {

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QSpinBox* Spin(QWidget* parent, int high, const char* name) {
    auto* s = new QSpinBox(parent);
    s->setRange(0, high);
    s->setObjectName(name);
    return s;
}

// "０時間" .. "１２時間" with full-width digits.
QString HoursCaption(int h) {
    QString digits = QString::number(h);
    for (QChar& c : digits) c = QChar(c.unicode() - '0' + 0xFF10);
    return digits + QString::fromUtf8("時間");
}

}  // namespace

PlaceDialog::PlaceDialog(PlaceDialogModel model, QWidget* parent)
    : DialogShell(q(kPlaceDialogTitle), parent), model_(std::move(model)) {
    setObjectName("PlaceDialog");
    QVBoxLayout* layout = body();
    layout->addWidget(new QLabel(q(kPlaceDialogPrompt), this));

    places_ = new QComboBox(this);
    places_->setObjectName("places");
    places_->setEditable(true);
    places_->setInsertPolicy(QComboBox::NoInsert);
    places_->lineEdit()->setMaxLength(kPlaceNameMaxChars);
    places_->setMaxVisibleItems(15);
    layout->addWidget(places_);

    auto pair = [this](const char* a, const char* b, const char* na, const char* nb, QRadioButton*& ra,
                       QRadioButton*& rb) {
        auto* box = new QWidget(this);
        auto* h = new QHBoxLayout(box);
        h->setContentsMargins(0, 0, 0, 0);
        ra = new QRadioButton(q(a), box);
        rb = new QRadioButton(q(b), box);
        ra->setObjectName(na);
        rb->setObjectName(nb);
        auto* group = new QButtonGroup(box);
        group->addButton(ra);
        group->addButton(rb);
        h->addWidget(ra);
        h->addWidget(rb);
        return box;
    };
    auto* grid = new QGridLayout;
    grid->addWidget(pair("東経", "西経", "east", "west", east_, west_), 0, 0);
    lonDeg_ = Spin(this, 180, "lonDeg");
    lonMin_ = Spin(this, 59, "lonMin");
    grid->addWidget(lonDeg_, 0, 1);
    grid->addWidget(new QLabel(q("度"), this), 0, 2);
    grid->addWidget(lonMin_, 0, 3);
    grid->addWidget(new QLabel(q("分"), this), 0, 4);
    grid->addWidget(pair("北緯", "南緯", "north", "south", north_, south_), 1, 0);
    latDeg_ = Spin(this, 90, "latDeg");
    latMin_ = Spin(this, 59, "latMin");
    grid->addWidget(latDeg_, 1, 1);
    grid->addWidget(new QLabel(q("度"), this), 1, 2);
    grid->addWidget(latMin_, 1, 3);
    grid->addWidget(new QLabel(q("分"), this), 1, 4);
    layout->addLayout(grid);

    auto* jisa = new QGroupBox(q("時差"), this);
    auto* jl = new QHBoxLayout(jisa);
    jl->addWidget(pair("東経＋", "西経－", "plus", "minus", plus_, minus_));
    hours_ = new QComboBox(jisa);
    hours_->setObjectName("hours");
    for (int h = 0; h <= 12; ++h) hours_->addItem(HoursCaption(h));
    jl->addWidget(hours_);
    layout->addWidget(jisa);

    layout->addStretch(1);
    addOkCancel();

    push();
    // The list fills just after the dialog shows, so it opens at once even on a slow device.
    QTimer::singleShot(100, this, [this] {
        pushing_ = true;
        for (const auto& item : model_.items()) places_->addItem(q(item.text), item.data);
        const QString name = q(model_.fields().name);
        places_->setCurrentIndex(model_.initialSelection());
        places_->setEditText(name);
        pushing_ = false;
    });
    connect(places_, &QComboBox::activated, this, [this](int index) {
        if (pushing_) return;
        model_.choose(index);
        push();
    });
    connect(places_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (pushing_) return;
        const int i = places_->currentIndex();
        // Typing a name that is not the chosen item's drops the list selection.
        if (i < 0 || places_->itemText(i) != text) model_.typeName(text.toStdString());
    });
}

void PlaceDialog::pull() {
    PlaceFields& f = model_.fields();
    f.west = west_->isChecked();
    f.south = south_->isChecked();
    f.minus = minus_->isChecked();
    f.longitudeDeg = lonDeg_->value();
    f.longitudeMin = lonMin_->value();
    f.latitudeDeg = latDeg_->value();
    f.latitudeMin = latMin_->value();
    f.hours = hours_->currentIndex();
}

void PlaceDialog::push() {
    pushing_ = true;
    const PlaceFields& f = model_.fields();
    (f.west ? west_ : east_)->setChecked(true);
    (f.south ? south_ : north_)->setChecked(true);
    (f.minus ? minus_ : plus_)->setChecked(true);
    lonDeg_->setValue(f.longitudeDeg);
    lonMin_->setValue(f.longitudeMin);
    latDeg_->setValue(f.latitudeDeg);
    latMin_->setValue(f.latitudeMin);
    hours_->setCurrentIndex(std::clamp(f.hours, 0, 12));
    if (places_->count() > 0) places_->setEditText(q(f.name));
    pushing_ = false;
}

void PlaceDialog::done(int result) {
    if (result == QDialog::Accepted) {
        pull();
        if (!model_.accept()) return;  // stays open
    }
    DialogShell::done(result);
    if (result == QDialog::Accepted && onAccepted) std::exchange(onAccepted, nullptr)(model_.result());
}

}  // namespace celes
