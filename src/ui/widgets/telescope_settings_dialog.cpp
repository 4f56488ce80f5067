#include "ui/widgets/telescope_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace celes {

TelescopeSettingsDialog::TelescopeSettingsDialog(TelescopeSettingsModel& model, QWidget* parent)
    : DialogShell(QString::fromUtf8("望遠鏡制御"), parent), model_(model) {
    type_ = new QComboBox;
    for (const char* name : kMountTypeNames) type_->addItem(QString::fromUtf8(name));
    type_->setCurrentIndex(model_.mountType);
    connect(type_, &QComboBox::currentIndexChanged, this, [this](int i) { model_.mountType = i; });
    body()->addWidget(type_);

    auto* portBox = new QGroupBox;
    auto* portLayout = new QVBoxLayout(portBox);
    auto* radios = new QHBoxLayout;
    auto* portGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(kPortNames[static_cast<std::size_t>(i)]));
        ports_[static_cast<std::size_t>(i)] = b;
        portGroup->addButton(b, i);
        radios->addWidget(b);
    }
    ports_[static_cast<std::size_t>(model_.portIndex)]->setChecked(true);
    portLayout->addLayout(radios);
    port_ = new QComboBox;
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->setToolTip(QString::fromUtf8("/dev/ttyUSB0, tcp:HOST:PORT, indi:HOST:PORT/DEVICE"));
    portLayout->addWidget(port_);
    body()->addWidget(portBox);
    connect(portGroup, &QButtonGroup::idClicked, this, [this](int i) {
        model_.portIndex = i;
        ShowPort();
    });
    connect(port_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        model_.ports[static_cast<std::size_t>(model_.portIndex)] = text.trimmed().toStdString();
    });
    ShowPort();

    trace_ = new QCheckBox(QString::fromUtf8(kTraceCheckText));
    trace_->setChecked(model_.trace);
    connect(trace_, &QCheckBox::toggled, this, [this](bool on) { model_.trace = on; });
    body()->addWidget(trace_);
    auto* periodRow = new QHBoxLayout;
    auto* periodGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(kTracePeriodNames[static_cast<std::size_t>(i)]));
        periods_[static_cast<std::size_t>(i)] = b;
        periodGroup->addButton(b, i);
        periodRow->addWidget(b);
    }
    periods_[static_cast<std::size_t>(model_.traceTimeIndex)]->setChecked(true);
    connect(periodGroup, &QButtonGroup::idClicked, this, [this](int i) { model_.traceTimeIndex = i; });
    body()->addLayout(periodRow);
    body()->addStretch(1);
    addOkCancel();

    connect(this, &QDialog::finished, this, [this](int result) {
        if (reported_) return;
        reported_ = true;
        if (onClosed) onClosed(result == QDialog::Accepted);
    });
}

void TelescopeSettingsDialog::ShowPort() {
    const QSignalBlocker block(port_);
    port_->clear();
    for (const std::string& choice : model_.PortChoices()) port_->addItem(QString::fromStdString(choice));
    port_->setCurrentText(QString::fromStdString(model_.ports[static_cast<std::size_t>(model_.portIndex)]));
}

void TelescopeSettingsDialog::accept() {
    TelescopeSettings probe;
    const std::string problem = model_.Accept(probe);
    if (!problem.empty()) {
        refuse(port_, QString::fromUtf8(problem));
        return;
    }
    DialogShell::accept();
}

}  // namespace celes
