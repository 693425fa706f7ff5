#include "gui/chrome/ShareComposeSheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/formats/Localization.h"
#include "gui/extras/SharingService.h"
#include "services/Workspace.h"

namespace qz {

namespace {
constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 160;
}  // namespace

ShareComposeSheet::ShareComposeSheet(std::shared_ptr<ShareItems> items, QUrl page, QWidget* window)
    : QDialog(window),
      items_(std::move(items)),
      page_(std::move(page)),
      text_(new QLabel(items_->text(), this)),
      picture_(new QLabel(this)) {
    setObjectName(QStringLiteral("shareSheet"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    text_->setWordWrap(true);
    text_->setFixedWidth(kPictureWidth);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->hide();

    const Localization& texts = Localization::shared();
    auto* buttons = new QDialogButtonBox(this);
    share_ = buttons->addButton(texts.text(QStringLiteral("ShareSheetPost")),
                                QDialogButtonBox::AcceptRole);
    cancel_ =
        buttons->addButton(texts.text(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    share_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        SharingService::copyToClipboard(*items_);
        Workspace::openURL(page_);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(picture_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The sheet is up at once; the picture joins it when its fetch ends.
    connect(items_.get(), &ShareItems::pictureSettled, this, &ShareComposeSheet::showPicture);
    showPicture();
}

void ShareComposeSheet::showPicture() {
    if (items_->image().isNull()) {
        return;
    }
    const QImage scaled = items_->image().scaled(kPictureWidth, kPictureHeight, Qt::KeepAspectRatio,
                                                 Qt::SmoothTransformation);
    picture_->setPixmap(QPixmap::fromImage(scaled));
    picture_->show();
}

}  // namespace qz
