// The yardstick for the start-up bench: an empty Qt window of the main window's size that, like
// Quenzel under QUENZEL_REPORT_FIRST_FRAME, prints "first-frame VmHWM=<kB> VmRSS=<kB> CPU=<ms>"
// once its first frame is painted, then quits. With --label it shows one line of text, which is
// what loading the fonts costs.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "app/FirstFrameReport.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(725, 298);  // four browser columns under a 40-pixel title bar
    if (QCoreApplication::arguments().contains(QStringLiteral("--label"))) {
        (new QLabel(QStringLiteral("Quenzel"), &window))->move(12, 12);
    }
    new qz::FirstFrameReport(&window);
    window.show();
    return QApplication::exec();
}
