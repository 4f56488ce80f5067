#include "ui/widgets/telescope_panel.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace celes {

TelescopePanelDialog::TelescopePanelDialog(TelescopePanel& panel, QWidget* parent)
    : DialogShell(QString::fromUtf8("望遠鏡制御"), parent), panel_(&panel), alive_(panel.Alive()) {
    name_ = new QLabel(QString::fromUtf8(panel.NameText()));
    name_->setWordWrap(true);
    name_->setMinimumHeight(name_->fontMetrics().lineSpacing() * 2);
    coord_ = new QLabel(QString::fromUtf8(panel.CoordText()));
    coord_->setWordWrap(true);
    body()->addWidget(name_);
    body()->addWidget(coord_);

    auto make = [this](PanelButton b) {
        auto* button = new QPushButton(QString::fromUtf8(PanelButtonCaption(b)));
        button->setAutoDefault(false);
        buttons_[static_cast<std::size_t>(b)] = button;
        if (b == PanelButton::Close) {
            connect(button, &QPushButton::clicked, this, [this] { reject(); });
        } else {
            connect(button, &QPushButton::clicked, this, [this, b] {
                if (TelescopePanel* p = Model()) p->Press(b);
            });
        }
        return button;
    };
    // The slew on top; the moves as a cross around "停止"; the rates; position and time below.
    auto* grid = new QGridLayout;
    grid->addWidget(make(PanelButton::Slew), 0, 0, 1, 3);
    grid->addWidget(make(PanelButton::Up), 1, 1);
    grid->addWidget(make(PanelButton::Left), 2, 0);
    grid->addWidget(make(PanelButton::Stop), 2, 1);
    grid->addWidget(make(PanelButton::Right), 2, 2);
    grid->addWidget(make(PanelButton::Down), 3, 1);
    grid->addWidget(make(PanelButton::Fast), 4, 0);
    grid->addWidget(make(PanelButton::Medium), 4, 1);
    grid->addWidget(make(PanelButton::Slow), 4, 2);
    grid->addWidget(make(PanelButton::Position), 5, 0);
    grid->addWidget(make(PanelButton::TimePlace), 5, 1, 1, 2);
    body()->addLayout(grid);
    body()->addStretch(1);
    status_ = new QLabel;
    status_->setWordWrap(true);
    body()->addWidget(status_);
    buttons()->addButton(make(PanelButton::Close), QDialogButtonBox::RejectRole);
    // The button box's own rejection would bypass the model: only the click above closes.
    disconnect(buttons(), &QDialogButtonBox::rejected, this, &QDialog::reject);

    panel.onChanged = [this] { Refresh(); };
    connect(this, &QDialog::finished, this, [this] { Finish(); });
    Refresh();
}

TelescopePanelDialog::~TelescopePanelDialog() {
    Finish();
}

TelescopePanel* TelescopePanelDialog::Model() const {
    return alive_.expired() ? nullptr : panel_;
}

void TelescopePanelDialog::Refresh() {
    TelescopePanel* p = Model();
    if (!p) return;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]) buttons_[i]->setEnabled(p->Enabled(static_cast<PanelButton>(i)));
    status_->setText(QString::fromUtf8(p->Status()));
}

void TelescopePanelDialog::reject() {
    if (TelescopePanel* p = Model(); p && !p->RequestClose()) return;
    DialogShell::reject();
}

void TelescopePanelDialog::Finish() {
    if (!panel_) return;
    if (TelescopePanel* p = Model()) p->onChanged = nullptr;
    panel_ = nullptr;
    if (onClosed) {
        auto closed = std::move(onClosed);
        onClosed = nullptr;
        closed();
    }
}

}  // namespace celes
