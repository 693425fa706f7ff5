// A picture view that scales its image to fit its frame without distorting it, centred; a
// press on it drags the window, as pictures in our windows do.
#pragma once

#include <QIcon>
#include <QLabel>
#include <QPixmap>

namespace qz {

class ImageView : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
  public:
    explicit ImageView(QWidget* parent = nullptr);

    // The bundle image of this name ("emblemSafari").
    QString imageName() const { return imageName_; }
    void setImageName(const QString& name);
    void setImage(const QIcon& image);
    QIcon image() const { return image_; }
    // A line in the parent's coordinates the picture stays below, however tall its frame grows
    // (the text above a growing logo stays readable); -1 for none.
    void setClearAbove(int parentY);
    int clearAbove() const { return clearAbove_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString imageName_;
    QIcon image_;
    QPixmap rendered_;     // the image fitted to the frame it was last painted in
    QSize renderedFrame_;  // that frame's size
    int clearAbove_ = -1;
};

}  // namespace qz
