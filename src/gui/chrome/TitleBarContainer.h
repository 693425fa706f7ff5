// The strip along the top of a TitleBarWindow: spans its width, is the bar's height high and
// holds the view that draws the bar, with the window's own buttons above it.
#pragma once

#include <QWidget>

namespace qz {

class TitleBarView;
class TitleBarWindow;

class TitleBarContainer : public QWidget {
    Q_OBJECT
  public:
    explicit TitleBarContainer(TitleBarWindow* window);

    TitleBarView* titleBarView() const { return view_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    TitleBarView* view_;
};

}  // namespace qz
