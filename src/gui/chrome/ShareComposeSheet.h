// The sheet a social network's share shows before its page opens: the text, and the picture
// once it has arrived. Share copies the picture for pasting and opens the page.
#pragma once

#include <QDialog>
#include <QUrl>
#include <memory>

class QLabel;
class QPushButton;

namespace qz {

class ShareItems;

class ShareComposeSheet : public QDialog {
    Q_OBJECT
  public:
    // A window-modal sheet on `window`; `page` is the address Share opens.
    ShareComposeSheet(std::shared_ptr<ShareItems> items, QUrl page, QWidget* window);

    QLabel* textLabel() const { return text_; }
    QLabel* pictureLabel() const { return picture_; }
    QPushButton* shareButton() const { return share_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void showPicture();

    std::shared_ptr<ShareItems> items_;
    QUrl page_;
    QLabel* text_;
    QLabel* picture_;
    QPushButton* share_;
    QPushButton* cancel_;
};

}  // namespace qz
