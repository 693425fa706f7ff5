#include "gui/window/StartAtLoginController.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "core/settings/Log.h"

namespace qz {

namespace {
const QString kStartAtLogin = QStringLiteral("startAtLogin");
const QString kEnabled = QStringLiteral("enabled");
}  // namespace

StartAtLoginController::StartAtLoginController(LoginItems& items, QObject* parent)
    : QObject(parent), items_(items) {}

StartAtLoginController* StartAtLoginController::initWithBundle(
    const std::optional<LoginItemBundle>& bundle) {
    enabled_ = false;
    setBundle(bundle);
    startAtLogin();
    Log::write(QStringLiteral("Launcher '%1' %2 configured to start at login")
                   .arg(identifier_, enabled_ ? QStringLiteral("is") : QStringLiteral("is not")));
    return this;
}

void StartAtLoginController::setBundle(const std::optional<LoginItemBundle>& bundle) {
    identifier_ = bundle ? bundle->identifier : QString();
    url_ = bundle ? bundle->url : QUrl();
}

bool StartAtLoginController::startAtLogin() {
    if (identifier_.isEmpty()) {
        return false;
    }
    bool answer = false;
    const std::optional<QList<QVariantMap>> jobs = items_.copyAllJobDictionaries();
    for (const QVariantMap& job : jobs.value_or(QList<QVariantMap>())) {
        if (job.value(QStringLiteral("Label")).toString() == identifier_) {
            answer = job.value(QStringLiteral("OnDemand")).toBool();
            break;
        }
    }
    if (answer != enabled_) {
        changeEnabled(answer);
    }
    return answer;
}

void StartAtLoginController::setStartAtLogin(bool startAtLogin) {
    if (identifier_.isEmpty() || url_.isEmpty()) {
        return;
    }
    emit willChangeValueForKey(kStartAtLogin);
    if (items_.setEnabled(identifier_, url_.toLocalFile(), startAtLogin)) {
        changeEnabled(true);  // a successful call reads as on, whichever way it went
    } else {
        Log::write(QStringLiteral("SMLoginItemSetEnabled failed!"));
        changeEnabled(false);
    }
    emit didChangeValueForKey(kStartAtLogin);
}

void StartAtLoginController::changeEnabled(bool enabled) {
    emit willChangeValueForKey(kEnabled);
    enabled_ = enabled;
    emit didChangeValueForKey(kEnabled);
}

QString StartAtLoginController::loginItemPath() {
    const QString forced = qEnvironmentVariable("QUENZEL_HELPER");
    if (!forced.isEmpty()) {
        return forced;
    }
    const QString here = QCoreApplication::applicationDirPath();
    const QString beside = here + QStringLiteral("/quenzel-helper");
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    return QFileInfo(here + QStringLiteral("/../libexec/quenzel/quenzel-helper"))
        .absoluteFilePath();
}

}  // namespace qz
