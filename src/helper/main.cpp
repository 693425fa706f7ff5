// Quenzel's login item: starts Quenzel with the tray only. A Quenzel that already runs is left
// alone (Quenzel itself checks, so two logins at once still give one).
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    // Beside the helper in the build tree; <prefix>/bin from <prefix>/libexec/quenzel.
    const QStringList candidates{here + QStringLiteral("/quenzel"),
                                 here + QStringLiteral("/../../bin/quenzel")};
    for (const QString& candidate : candidates) {
        const QFileInfo program(candidate);
        if (program.isFile() && program.isExecutable()) {
            return QProcess::startDetached(program.absoluteFilePath(),
                                           {QStringLiteral("--background")})
                       ? 0
                       : 1;
        }
    }
    QTextStream(stderr) << "quenzel-helper: cannot find quenzel beside " << here << Qt::endl;
    return 1;
}
