// The yardstick for the start-up bench: an empty Qt window of the main window's size that, like
// Quenzel under QUENZEL_REPORT_FIRST_FRAME, prints "first-frame VmHWM=<kB> VmRSS=<kB> CPU=<ms>"
// once its first frame is painted, then quits. With --label it shows one line of text, which is
// what loading the fonts costs.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

// Reports on the first paint, once the frame has gone out (the next turn of the loop).
class FirstFrameReport : public QObject {
  public:
    explicit FirstFrameReport(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(725, 298);  // four browser columns under a 40-pixel title bar
    if (QCoreApplication::arguments().contains(QStringLiteral("--label"))) {
        (new QLabel(QStringLiteral("Quenzel"), &window))->move(12, 12);
    }
    new FirstFrameReport(&window);
    window.show();
    return QApplication::exec();
}
