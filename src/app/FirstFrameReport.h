// Under QUENZEL_REPORT_FIRST_FRAME: once a window's first frame has been painted, prints
// "first-frame VmHWM=<kB> VmRSS=<kB> CPU=<ms>" and quits, so that the start-up bench can time
// the start from outside. Header-only, so the bench's bare window reports the same way.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace qz {

class FirstFrameReport : public QObject {
  public:
    explicit FirstFrameReport(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The children paint and the frame reaches the screen before the loop runs again.
            QTimer::singleShot(0, this, &FirstFrameReport::report);
        }
        return false;
    }

  private:
    void report() {
        QFile status(QStringLiteral("/proc/self/status"));
        QByteArray line = "first-frame";
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& field : status.readAll().split('\n')) {
                if (field.startsWith("VmHWM:") || field.startsWith("VmRSS:")) {
                    line += ' ' + field.left(5) + '=' + field.mid(6).trimmed().split(' ').first();
                }
            }
        }
        // CPU time of every thread so far: steadier than wall time on a busy machine.
        timespec cpu{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        std::printf("%s CPU=%.1f\n", line.constData(), cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6);
        std::fflush(stdout);
        QCoreApplication::quit();
    }
};

}  // namespace qz
