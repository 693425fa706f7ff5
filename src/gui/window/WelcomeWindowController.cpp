#include "gui/window/WelcomeWindowController.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/settings/Log.h"
#include "gui/chrome/TitleBarWindow.h"
#include "gui/chrome/WindowPlacement.h"
#include "services/AccessLinks.h"
#include "services/RemoteResource.h"
#include "services/Workspace.h"
#include "ui_WelcomeWindowController.h"

namespace qz {

WelcomeWindowController::WelcomeWindowController(QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::WelcomeWindowController>()) {
    ui_->setupUi(this);
    windowDidLoad();
}

WelcomeWindowController::~WelcomeWindowController() = default;

void WelcomeWindowController::windowDidLoad() {
    const Localization& texts = Localization::shared();
    setWindowTitle(texts.text(QStringLiteral("WelcomeWindowTitle")));
    ui_->closeButton->setText(texts.text(QStringLiteral("closeWelcome")));
    ui_->twitterButton->setText(texts.text(QStringLiteral("twitterLink")));
    ui_->twitterButton->setVisible(!endpointUrl(Endpoint::SocialPage).isEmpty());
    connect(ui_->closeButton, &QPushButton::clicked, this, &WelcomeWindowController::closeWelcome);
    connect(ui_->twitterButton, &QPushButton::clicked, this, &WelcomeWindowController::twitter);
    // The pages are drawn on white with colours of their own: a dark theme's ground would
    // swallow their text, so the page keeps a light ground whatever the theme.
    ui_->webView->setPalette(TitleBarWindow::fixedPalette(Qt::white));
    // Links in the page open in the user's browser, relative ones from the page's own address;
    // nothing else is followed, and a file only among the installed pages.
    connect(ui_->webView, &QTextBrowser::anchorClicked, this, [](const QUrl& link) {
        const QUrl url = endpointUrl(Endpoint::WelcomePage).resolved(link);
        const QString scheme = url.scheme();
        const bool sitePage = url.isLocalFile() &&
                              url.toString(QUrl::FullyEncoded).startsWith(Bundle::webSite() + u'/');
        if (scheme == u"http" || scheme == u"https" || scheme == u"mailto" || sitePage) {
            Workspace::openURL(url);
        }
    });
    loadWelcomePage();
}

QTextBrowser* WelcomeWindowController::webView() const {
    return ui_->webView;
}

QPushButton* WelcomeWindowController::closeButton() const {
    return ui_->closeButton;
}

QPushButton* WelcomeWindowController::twitterButton() const {
    return ui_->twitterButton;
}

void WelcomeWindowController::showWindow() {
    showWindowCentredFirstTime(this);
}

QString WelcomeWindowController::bundledPage() {
    // In the user's language, laid out as the site's pages are: ":/html/it/welcome.html" in
    // Italian.
    QFile file(QStringLiteral(":/html") + pagePath(QStringLiteral("/welcome.html")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void WelcomeWindowController::loadWelcomePage() {
    const bool italian = QLocale().name() == QStringLiteral("it_IT");
    const int generation = ++generation_;
    ui_->webView->setHtml(bundledPage());
    const QUrl page = endpointUrl(Endpoint::WelcomePage);
    if (page.isLocalFile()) {
        // The pages installed with the program stand in for a site: read, within the same cap.
        QFile file(page.toLocalFile());
        const bool read = QFileInfo(file).isFile() && file.size() <= RemoteResource::kMaxBytes &&
                          file.open(QIODevice::ReadOnly);
        if (read) {
            ui_->webView->setHtml(QString::fromUtf8(file.read(RemoteResource::kMaxBytes)));
        }
        emit pageLoaded(read);
    } else if (page.isEmpty()) {
        emit pageLoaded(false);
    } else {
        RemoteResource::get(page, this, [this, generation](const RemoteResource::Result& result) {
            if (generation != generation_) {
                return;
            }
            if (result.ok()) {
                ui_->webView->setHtml(QString::fromUtf8(result.body));
            }
            emit pageLoaded(result.ok());
        });
    }
    if (!italian) {
        Log::write(QStringLiteral("else"));
    }
}

void WelcomeWindowController::closeWelcome() {
    close();
    loadWelcomePage();
}

void WelcomeWindowController::twitter() {
    openEndpoint(Endpoint::SocialPage);
}

void WelcomeWindowController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shown();
}

}  // namespace qz
