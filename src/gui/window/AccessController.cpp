#include "gui/window/AccessController.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "services/AccessLinks.h"

namespace qz {

namespace {

void setShown(QWidget* control, const std::optional<bool>& shown) {
    if (control && shown) {
        control->setVisible(*shown);
    }
}

}  // namespace

AccessController::AccessController(const AccessControls& controls, FileManager& files,
                                   UserDefaults& defaults, const Localization& texts,
                                   QObject* parent)
    : QObject(parent), controls_(controls), files_(files), texts_(texts), check_(defaults, texts) {
    connect(&check_, &AccessCheck::faceChanged, this, &AccessController::applyFace);
    // Until a grant resolves the window offers the folder choice, so a grant that no longer
    // resolves still leaves the user a way to give it again.
    applyFace(accessRequestFace());
}

void AccessController::checkSandbox() {
    check_.checkSandbox();
}

void AccessController::choose() {
    const QStringList chosen = chooser_ ? chooser_() : runFolderDialog();
    if (chosen.size() == 1) {
        if (const auto reason = grantMissesBrowserFolders(chosen.first(), files_)) {
            presentError(*reason);
            return;
        }
    }
    if (const std::optional<QString> reason = check_.choose(chosen)) {
        presentError(*reason);
    }
}

void AccessController::helpSandbox(QWidget* anchor) {
    QWidget* popover = controls_.helpPopover;
    if (!popover || !anchor) {
        return;
    }
    addHelpLink();
    popover->adjustSize();
    // Centred below the control, kept on the control's screen.
    QPoint at = anchor->mapToGlobal(QPoint(anchor->width() / 2, anchor->height()));
    at.rx() -= popover->width() / 2;
    if (const QScreen* screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(),
                           std::max(area.left(), area.right() - popover->width())));
        at.setY(std::clamp(at.y(), area.top(),
                           std::max(area.top(), area.bottom() - popover->height())));
    }
    popover->move(at);
    popover->show();
}

void AccessController::updateApp() {
    openUpdatePage();
}

void AccessController::applyFace(const FaceChange& change) {
    setShown(controls_.chooseHD, change.chooseHD);
    setShown(controls_.helpSandbox, change.helpSandbox);
    setShown(controls_.imageSandbox, change.imageSandbox);
    setShown(controls_.textUpdate, change.textUpdate);
    setShown(controls_.btnUpdate, change.btnUpdate);
    for (QWidget* slotView : controls_.slotViews) {
        setShown(slotView, change.slotViews);
    }
    if (change.imageName) {
        controls_.imageSandbox->setImageName(*change.imageName);
    }
    if (change.updateText) {
        controls_.textUpdate->setText(*change.updateText);
    }
    emit faceApplied();
}

QStringList AccessController::runFolderDialog() const {
    const FolderChooserSetup setup = folderChooserSetup(files_, texts_);
    QFileDialog dialog(controls_.window, setup.title, setup.startDirectory);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setFileMode(QFileDialog::Directory);
    // Qt's own dialog: the desktop's dialogs ignore the filter and hide dotted folders.
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setLabelText(QFileDialog::Accept, setup.prompt);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

void AccessController::presentError(const QString& reason) {
    if (errorMessage_) {
        errorMessage_->close();
    }
    auto* message = new QMessageBox(QMessageBox::Warning, QStringLiteral("Quenzel"), reason,
                                    QMessageBox::Ok, controls_.window);
    message->setWindowModality(Qt::WindowModal);
    message->setAttribute(Qt::WA_DeleteOnClose);
    errorMessage_ = message;
    message->open();
}

void AccessController::addHelpLink() {
    QWidget* popover = controls_.helpPopover;
    if (helpLinkAdded_ || !popover || !popover->layout()) {
        return;
    }
    helpLinkAdded_ = true;
    auto* link = new QLabel(popover);
    link->setObjectName(QStringLiteral("supportSandboxLink"));
    link->setText(QStringLiteral("<a href=\"#sandbox\">%1</a>")
                      .arg(texts_.format(QStringLiteral("moreHelpSand")).toHtmlEscaped()));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [this, popover] {
        popover->hide();
        openAccessHelp(files_.layout());  // the support page's section on folder access
    });
    popover->layout()->addWidget(link);
}

}  // namespace qz
