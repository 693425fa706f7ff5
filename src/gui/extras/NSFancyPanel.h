// A borderless panel that can take the keyboard and hands key presses and left or right mouse
// presses, wherever they land inside it, to its controller before anything else sees them.
#pragma once

#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QMouseEvent;

namespace qz {

// What a panel's controller answers: true when the event was dealt with and goes no further.
class NSFancyPanelController {
  public:
    virtual ~NSFancyPanelController() = default;
    virtual bool handlesKeyDown(QKeyEvent* event, QWidget* window) = 0;
    virtual bool handlesMouseDown(QMouseEvent* event, QWidget* window) = 0;
};

class NSFancyPanel : public QWidget {
    Q_OBJECT
  public:
    explicit NSFancyPanel(const QSize& contentSize, QWidget* parent = nullptr);

    NSFancyPanelController* controller() const { return controller_; }
    void setController(NSFancyPanelController* controller) { controller_ = controller; }

    // Makes `content` the panel's content, filling it; its controls route their presses here.
    void setContentView(QWidget* content);
    QWidget* contentView() const { return content_; }

    // Routes one event the panel or one of its controls received; true when it ends here.
    bool sendEvent(QObject* receiver, QEvent* event);

  signals:
    // The panel was the active window and no longer is.
    void didResignMain();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    NSFancyPanelController* controller_ = nullptr;
    QPointer<QWidget> content_;
    bool wasActive_ = false;
};

}  // namespace qz
