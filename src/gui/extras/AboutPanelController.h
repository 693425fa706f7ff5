// The About panel: a borderless light-grey panel in the middle of the screen with the version,
// the build and the credits slowly scrolling upwards; any key, click or loss of focus hides it.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <memory>

#include "gui/extras/NSFancyPanel.h"

namespace Ui {
class AboutPanel;
}

namespace qz {

class AboutPanelController : public QObject, public NSFancyPanelController {
    Q_OBJECT
  public:
    static constexpr double kScrollInterval = 0.03;  // seconds per one-point step
    static constexpr int kTrailingLines = 50;

    // A controller of its own, loaded from "AboutPanel" and set up (the shared one is below).
    AboutPanelController();
    ~AboutPanelController() override;

    // The one controller of the program, made and loaded on first use, kept to the end.
    static AboutPanelController* sharedInstance();

    void setShowsScroller(bool shows);
    // Back to the top, scrolling, to the front as the key window.
    void showPanel();
    // Stops scrolling and takes the panel off the screen.
    void hidePanel();

    bool handlesKeyDown(QKeyEvent* event, QWidget* window) override;
    bool handlesMouseDown(QMouseEvent* event, QWidget* window) override;

    // The credits as read from the bundle ("Credits"), without the trailing lines.
    static QString textToScroll();
    void scrollOneUnit();
    void setScrollAmount(float amount);
    void startScrollingAnimation();
    void stopScrollingAnimation();

    NSFancyPanel* panelToDisplay() const { return panelToDisplay_.get(); }
    // The credits scroll in the text view, which is its own scroll area.
    QTextBrowser* textScrollView() const { return textView; }
    QTimer* scrollingTimer() const { return scrollingTimer_; }

    // Outlets of "AboutPanel".
    QTextBrowser* textView = nullptr;
    QLabel* shortInfoField = nullptr;
    QLabel* versionField = nullptr;

  private:
    void awakeFromNib();
    void createPanelToDisplay();
    void displayVersionInfo();
    void loadTextToScroll();
    void watchForNotificationsWhichShouldHidePanel();

    std::unique_ptr<Ui::AboutPanel> ui_;
    std::unique_ptr<QWidget> panelInNib_;
    std::unique_ptr<NSFancyPanel> panelToDisplay_;
    QTimer* scrollingTimer_ = nullptr;
};

}  // namespace qz
