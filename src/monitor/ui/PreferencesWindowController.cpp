#include "monitor/ui/PreferencesWindowController.h"

#include <QHBoxLayout>

#include "monitor/ui/ImageFactory.h"
#include "platform/Localization.h"

namespace qz {

PreferencesWindowController::PreferencesWindowController(ImageFactory& imageFactory,
                                                         QWidget* parent)
    : QWidget(parent, Qt::Window), label_(new QLabel(this)), pesoalert_(new QComboBox(this)) {
    setWindowTitle(Localization::shared().text(QStringLiteral("menuPreferences")));
    setObjectName(QStringLiteral("PreferencesWindowController"));
    pesoalert_->setObjectName(QStringLiteral("pesoalert"));
    label_->setText(Localization::shared().text(QStringLiteral("pesoalertLabel")));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(pesoalert_);
    imageFactory.setPesoalert(pesoalert_);
}

void PreferencesWindowController::showWindow() {
    show();
    raise();
    activateWindow();
}

}  // namespace qz
