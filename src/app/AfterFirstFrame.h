// Runs a call once a window's first frame has been painted, or at once (from the event loop)
// when the window is not to be shown: what the first frame does not need waits until it is on
// the screen. A window that is never painted (left unmapped) lets the call run after 2 s.
#pragma once

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "core/settings/TimeScale.h"

namespace qz {

class AfterFirstFrame : public QObject {
  public:
    AfterFirstFrame(QWidget* window, bool shown, std::function<void()> call)
        : QObject(window), call_(std::move(call)) {
        if (shown) {
            window->installEventFilter(this);
            QTimer::singleShot(TimeScale::milliseconds(kLatestSeconds), this,
                               &AfterFirstFrame::runSoon);
        } else {
            runSoon();
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            runSoon();  // the children paint and the frame goes out before the loop runs again
        }
        return false;
    }

  private:
    static constexpr double kLatestSeconds = 2.0;

    void runSoon() {
        if (!call_) {
            return;
        }
        QTimer::singleShot(0, this, [this, call = std::move(call_)] {
            call();
            deleteLater();
        });
        call_ = nullptr;
    }

    std::function<void()> call_;
};

}  // namespace qz
