#include "gui/window/PreferencesWindowController.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/formats/Localization.h"
#include "gui/chrome/WindowPlacement.h"
#include "gui/tray/ImageFactory.h"
#include "services/AccessLinks.h"
#include "ui_PreferencesWindowController.h"

namespace qz {

PreferencesWindowController::PreferencesWindowController(ImageFactory* imageFactory,
                                                         QWidget* delegateControls, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::PreferencesWindowController>()) {
    ui_->setupUi(this);
    const Localization& texts = Localization::shared();
    setWindowTitle(texts.text(QStringLiteral("PreferencesTitle")));
    ui_->pesoalertLabel->setText(texts.text(QStringLiteral("pesoalertLabel")));
    ui_->twitterButton->setText(texts.text(QStringLiteral("twitterLink")));
    // A link without an address has no control.
    ui_->twitterButton->setVisible(!endpointUrl(Endpoint::SocialPage).isEmpty());
    connect(ui_->twitterButton, &QPushButton::clicked, this, &PreferencesWindowController::twitter);
    if (delegateControls) {
        auto* holder = new QVBoxLayout(ui_->delegateControls);
        holder->setContentsMargins(0, 0, 0, 0);
        holder->addWidget(delegateControls);
    }
    if (imageFactory) {
        imageFactory->setPesoalert(ui_->pesoalert);
    }
}

PreferencesWindowController::~PreferencesWindowController() = default;

QComboBox* PreferencesWindowController::pesoalert() const {
    return ui_->pesoalert;
}

QPushButton* PreferencesWindowController::twitterButton() const {
    return ui_->twitterButton;
}

void PreferencesWindowController::addSection(QWidget* section) {
    // Before the gap and the link row that end the column.
    ui_->columns->insertWidget(ui_->columns->count() - 2, section);
}

void PreferencesWindowController::showWindow() {
    showWindowCentredFirstTime(this);
}

void PreferencesWindowController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreferencesWindowController::twitter() {
    openEndpoint(Endpoint::SocialPage);
}

}  // namespace qz
