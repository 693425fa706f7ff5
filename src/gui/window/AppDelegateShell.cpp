// The application delegate's small preferences and secondary windows: login item, task-bar
// presence (the Dock icon), the enabled state, the rating prompt, the close hint and the welcome
// window.
#include <QApplication>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "gui/chrome/BundleImage.h"
#include "gui/chrome/Frames.h"
#include "gui/chrome/ImageView.h"
#include "gui/chrome/TaskbarPresence.h"
#include "gui/window/AppDelegate.h"
#include "gui/window/StartAtLoginController.h"
#include "gui/window/TitleBarMenu.h"
#include "gui/window/WelcomeWindowController.h"
#include "services/AccessLinks.h"
#include "services/UserNotificationCenter.h"

namespace qz {

void AppDelegate::buildShellControls() {
    const Localization& texts = Localization::shared();
    // The prompt belongs to the main window, so the window manager keeps it above it.
    splash_->setParent(window_, Qt::Dialog);
    votaButton_ = new QPushButton(texts.text(QStringLiteral("votaButton")), splash_);
    emailvotaButton_ = new QPushButton(texts.text(QStringLiteral("emailvotaButton")), splash_);
    votaButton_->setDefault(true);
    // A button whose address is not known has nothing to send: it is left out.
    votaButton_->setVisible(!endpointUrl(Endpoint::RatingPage).isEmpty());
    emailvotaButton_->setVisible(!endpointUrl(Endpoint::ContactMail).isEmpty());
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(emailvotaButton_);
    row->addWidget(votaButton_);
    static_cast<QVBoxLayout*>(splash_->layout())->addLayout(row);
    connect(votaButton_, &QPushButton::clicked, this, &AppDelegate::vota);
    connect(emailvotaButton_, &QPushButton::clicked, this, &AppDelegate::emailvota);

    loginCheck_->setText(texts.text(QStringLiteral("loginCheck")));
    dockIconCheckbox_->setText(texts.text(QStringLiteral("dockIconCheckbox")));
    if (!taskbarPresenceApplies()) {
        dockIconCheckbox_->setToolTip(texts.text(QStringLiteral("dockIconCheckboxElsewhere")));
    }
    avvisoIcon_->setText(texts.text(QStringLiteral("avvisoIcon")));
    avvisoIcon_->setWordWrap(true);
    connect(loginCheck_, &QCheckBox::clicked, this, &AppDelegate::openatlogin);
    connect(dockIconCheckbox_, &QCheckBox::clicked, this, &AppDelegate::toggleDockIcon);
    // The box starts as the autostart folder says; without the helper it can do nothing.
    StartAtLoginController login;
    login.setBundle(LoginItemBundle::bundleWithPath(StartAtLoginController::loginItemPath()));
    loginCheck_->setChecked(login.startAtLogin());
    loginCheck_->setEnabled(!login.identifier().isEmpty());

    // The program starts without a task-bar entry; the awake step gives it one when wanted.
    setSkipsTaskbar(window_, true);
    vista_->setPreferenceControls(preferencesPane_);
    installTitleBarMenu(*this);
}

void AppDelegate::openatlogin() {
    StartAtLoginController login;  // a fresh one each press, dropped at the end
    login.setBundle(LoginItemBundle::bundleWithPath(StartAtLoginController::loginItemPath()));
    const bool wanted = loginCheck_->checkState() != Qt::Unchecked;
    const bool current = login.startAtLogin();
    if (wanted && !current) {
        login.setStartAtLogin(true);
    } else if (!wanted && current) {
        login.setStartAtLogin(false);
    }
}

void AppDelegate::toggleDockIcon() {
    const bool show = dockIconCheckbox_->checkState() != Qt::Unchecked;
    Settings settings = Settings::standard();
    settings.setShowInTaskbar(show);
    settings.synchronize();
    setShowsDockIcon(show);
    avvisoIcon_->setVisible(!show);
}

void AppDelegate::setShowsDockIcon(bool shows) {
    if (!shows) {
        return;  // the window keeps its task-bar entry until the program ends
    }
    showsDockIcon_ = true;
    // Takes effect at once; the focus stays where the user is (often the preferences window).
    setSkipsTaskbar(window_, false);
}

void AppDelegate::toggleEnabledStatus() {
    shadyEnabled_ = !shadyEnabled_;
    updateEnabledStatus();
}

void AppDelegate::vota() {
    openEndpoint(Endpoint::RatingPage);
    splash_->close();
}

void AppDelegate::emailvota() {
    openEndpoint(Endpoint::ContactMail);
    splash_->close();
}

void AppDelegate::open() {
    window_->makeKeyAndOrderFront();
    window_->activateWindow();
}

void AppDelegate::welcomeVideo() {
    if (!welcome_) {
        auto* controller = new WelcomeWindowController;
        connect(controller, &WelcomeWindowController::shown, this, &AppDelegate::welcomeShown);
        welcome_ = controller;
    }
    static_cast<WelcomeWindowController*>(welcome_.data())->showWindow();
}

void AppDelegate::welcomeShown() {
    // The first-launch welcome counts as done only once it was on the screen.
    Settings settings = Settings::standard();
    if (settings.welcomePending()) {
        settings.setWelcomePending(false);
        settings.synchronize();
    }
}

void AppDelegate::decorateTitleBar() {
    QWidget* bar = window_->titleBarView();
    if (!titleImage_) {
        titleImage_ = new ImageView(bar);
        titleImage_->setImageName(QStringLiteral("QuenzelTitle"));
        historyButton_ = new QToolButton(bar);
        historyButton_->setAutoRaise(true);
        historyButton_->setIcon(bundleImage(QStringLiteral("clockB")));
        historyButton_->setIconSize({28, 29});
        historyButton_->setFocusPolicy(Qt::TabFocus);
        // The bar in reading order: the close button, the history, then the panels.
        QWidget::setTabOrder(window_->standardWindowButton(TitleBarWindow::CloseButton),
                             historyButton_);
        connect(historyButton_, &QToolButton::clicked, this, &AppDelegate::historyPressed);
        // Laid out again whenever the bar gets its size, however the window was first shown.
        titleBar_ = bar;
        bar->installEventFilter(this);
    }
    placeTitleBarItems();
    titleImage_->show();
    historyButton_->show();
}

void AppDelegate::placeTitleBarItems() {
    QWidget* bar = window_->titleBarView();
    const qreal width = bar->width();
    const qreal height = bar->height();
    titleImage_->setGeometry(toQtRect({width / 2 - 51.5, height / 2 - 8, 103, 20}, height));
    historyButton_->setGeometry(toQtRect({width - 35, height / 2 - 14.5, 28, 29}, height));
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    if (hasVisibleWindows) {
        return true;
    }
    window_->makeKeyAndOrderFront();
    Settings settings = Settings::standard();
    // A prompt without a rating page or an address to write to would ask for what it cannot take.
    const bool canRate = !endpointUrl(Endpoint::RatingPage).isEmpty() ||
                         !endpointUrl(Endpoint::ContactMail).isEmpty();
    if (settings.reviewPending() && canRate) {
        splash_->adjustSize();
        splash_->move(window_->frameGeometry().center() - splash_->rect().center());
        splash_->show();
        splash_->raise();
    }
    if (canRate) {  // asked once; without an address the question waits for one
        settings.setReviewPending(false);
        settings.synchronize();
    }
    return true;
}

void AppDelegate::tellOnceThatQuenzelKeepsRunning() {
    Settings settings = Settings::standard();
    if (QApplication::quitOnLastWindowClosed() || settings.closeHintShown()) {
        return;
    }
    settings.setCloseHintShown(true);
    settings.synchronize();
    const Localization& texts = Localization::shared();
    UserNotificationCenter::defaultUserNotificationCenter().deliverNotification(
        {texts.text(QStringLiteral("QZ")), texts.text(QStringLiteral("closeHintText")),
         /*defaultSound=*/false});
}

}  // namespace qz
