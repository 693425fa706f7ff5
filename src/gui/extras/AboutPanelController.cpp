#include "gui/extras/AboutPanelController.h"

#include <QFile>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTextCursor>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/settings/TimeScale.h"
#include "gui/chrome/BundleImage.h"
#include "gui/chrome/WindowPlacement.h"
#include "ui_AboutPanel.h"

namespace qz {

namespace {
const QColor kPanelColor = QColor::fromRgbF(0.92f, 0.92f, 0.92f, 1.0f);

void paintBackground(QWidget* widget) {
    QPalette colors = widget->palette();
    colors.setColor(QPalette::Window, kPanelColor);
    colors.setColor(QPalette::Base, kPanelColor);
    widget->setPalette(colors);
    widget->setAutoFillBackground(true);
}
}  // namespace

AboutPanelController::AboutPanelController()
    : ui_(std::make_unique<Ui::AboutPanel>()), panelInNib_(std::make_unique<QWidget>()) {
    ui_->setupUi(panelInNib_.get());
    textView = ui_->textView;
    shortInfoField = ui_->shortInfoField;
    versionField = ui_->versionField;
    ui_->appIcon->setPixmap(bundleImage(QStringLiteral("Quenzel")).pixmap(64, 64));
    awakeFromNib();
}

AboutPanelController::~AboutPanelController() {
    stopScrollingAnimation();
}

AboutPanelController* AboutPanelController::sharedInstance() {
    static AboutPanelController* shared = nullptr;  // kept until the process ends
    if (!shared) {
        shared = new AboutPanelController;
    }
    return shared;
}

void AboutPanelController::awakeFromNib() {
    createPanelToDisplay();
    displayVersionInfo();
    loadTextToScroll();
    centreOnScreen(panelToDisplay_.get());
    watchForNotificationsWhichShouldHidePanel();
    paintBackground(textView);
    paintBackground(textView->viewport());
}

void AboutPanelController::createPanelToDisplay() {
    panelToDisplay_ = std::make_unique<NSFancyPanel>(ui_->contentView->size());
    panelToDisplay_->setController(this);
    panelToDisplay_->setWindowTitle(Localization::shared().text(QStringLiteral("menuAbout")));
    paintBackground(panelToDisplay_.get());
    panelToDisplay_->setContentView(ui_->contentView);
}

void AboutPanelController::displayVersionInfo() {
    const Localization& texts = Localization::shared();
    shortInfoField->setText(texts.format(QStringLiteral("Version %@"), {Bundle::shortVersion()}));
    versionField->setText(texts.format(QStringLiteral("Build %@"), {Bundle::version()}));
}

QString AboutPanelController::textToScroll() {
    QFile file(QStringLiteral(":/html/Credits.html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void AboutPanelController::loadTextToScroll() {
    QTextDocument* document = textView->document();
    document->setHtml(textToScroll());
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    for (int i = 0; i < kTrailingLines; ++i) {
        end.insertText(QStringLiteral("\n"), QTextCharFormat());
    }
    // The view keeps its cursor in sight when first shown; at the top that moves nothing.
    textView->moveCursor(QTextCursor::Start);
}

void AboutPanelController::watchForNotificationsWhichShouldHidePanel() {
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    hidePanel();
                }
            });
    connect(panelToDisplay_.get(), &NSFancyPanel::didResignMain, this,
            &AboutPanelController::hidePanel);
}

void AboutPanelController::setShowsScroller(bool shows) {
    textView->setVerticalScrollBarPolicy(shows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void AboutPanelController::showPanel() {
    setScrollAmount(0.0f);
    startScrollingAnimation();
    panelToDisplay_->show();
    panelToDisplay_->raise();
    panelToDisplay_->activateWindow();
}

void AboutPanelController::hidePanel() {
    stopScrollingAnimation();
    panelToDisplay_->hide();
}

bool AboutPanelController::handlesKeyDown(QKeyEvent* /*event*/, QWidget* /*window*/) {
    hidePanel();
    return true;
}

bool AboutPanelController::handlesMouseDown(QMouseEvent* /*event*/, QWidget* /*window*/) {
    hidePanel();
    return true;
}

void AboutPanelController::startScrollingAnimation() {
    if (scrollingTimer_) {
        return;
    }
    scrollingTimer_ = new QTimer(this);
    scrollingTimer_->setInterval(TimeScale::milliseconds(kScrollInterval));
    connect(scrollingTimer_, &QTimer::timeout, this, &AboutPanelController::scrollOneUnit);
    scrollingTimer_->start();
}

void AboutPanelController::stopScrollingAnimation() {
    delete scrollingTimer_;
    scrollingTimer_ = nullptr;
}

void AboutPanelController::scrollOneUnit() {
    // From the position actually shown, so a scroll by the user moves the next step too.
    const float shown = static_cast<float>(textScrollView()->verticalScrollBar()->value());
    setScrollAmount(shown + 1.0f);
}

void AboutPanelController::setScrollAmount(float amount) {
    // The scroll bar's range is the document's limit: at the end the text stands still.
    textScrollView()->verticalScrollBar()->setValue(static_cast<int>(amount));
    textScrollView()->viewport()->update();
}

}  // namespace qz
