#include "services/RemoteResource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QPointer>
#include <QTimer>

#include "core/settings/TimeScale.h"
#include "services/NetworkModule.h"

namespace qz {

namespace {

// The fetches asked while held, started in turn when the hold ends (main thread only).
struct Hold {
    bool holding = false;
    QList<QPointer<RemoteResource>> waiting;
};

Hold& hold() {
    static Hold held;
    return held;
}

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

}  // namespace

void RemoteResource::get(const QUrl& url, QObject* context, Callback callback) {
    static const int registered = qRegisterMetaType<qz::RemoteResource::Result>();
    Q_UNUSED(registered);
    if (!isWebAddress(url)) {
        Result result;
        result.failure = Failure::BadUrl;
        result.error = QStringLiteral("\"%1\" is not an http or https address").arg(url.toString());
        QMetaObject::invokeMethod(
            context, [callback = std::move(callback), result] { callback(result); },
            Qt::QueuedConnection);
        return;
    }
    // The time-out is fixed here, on the caller's thread, by the time scale of this moment.
    auto* request = new RemoteResource(url, TimeScale::milliseconds(kTimeoutSeconds));
    // A queued connection: the answer never arrives inside this call, and is dropped if the
    // context is destroyed before it arrives.
    connect(request, &RemoteResource::finished, context, std::move(callback), Qt::QueuedConnection);
    if (hold().holding) {
        hold().waiting.append(request);
        return;
    }
    request->start();
}

void RemoteResource::holdFetches(bool holding) {
    hold().holding = holding;
    if (holding) {
        return;
    }
    const QList<QPointer<RemoteResource>> waiting = std::exchange(hold().waiting, {});
    for (const QPointer<RemoteResource>& request : waiting) {
        if (request) {
            request->start();
        }
    }
}

RemoteResource::Result RemoteResource::getBlocking(const QUrl& url) {
    QEventLoop loop;
    QObject receiver;
    Result answer;
    get(url, &receiver, [&](const Result& result) {
        answer = result;
        loop.quit();
    });
    loop.exec();
    return answer;
}

void RemoteResource::start() {
    QString error;
    const HttpGetFunction httpGet = loadNetworkModule(&error);
    if (!httpGet) {
        done_ = true;
        Result result;
        result.failure = Failure::Network;
        result.error = error;
        // Still later, never inside get(): the callers count on that.
        QMetaObject::invokeMethod(
            this, [this, result] { finish(result); }, Qt::QueuedConnection);
        return;
    }
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this] {
        if (done_) {
            return;
        }
        done_ = true;
        Result result;
        result.failure = Failure::TimedOut;
        result.error = QStringLiteral("no complete answer in time");
        // The reply, our child, is aborted as it goes with us.
        finish(std::move(result));
    });
    timer->start(timeoutMs_);
    httpGet(url_, kMaxBytes, this, [this](Result result) {
        if (!done_) {
            done_ = true;
            finish(std::move(result));
        }
    });
}

void RemoteResource::finish(Result result) {
    emit finished(result);
    deleteLater();
}

QStringList networkModuleCandidates() {
    const QString forced = qEnvironmentVariable("QUENZEL_NETWORK_MODULE");
    if (!forced.isEmpty()) {
        return {forced};
    }
    const QString here = QCoreApplication::applicationDirPath();
    return {
        here + QStringLiteral("/" QUENZEL_NETWORK_MODULE_NAME),
        QFileInfo(here + QStringLiteral("/" QUENZEL_NETWORK_MODULE_INSTALLED)).absoluteFilePath()};
}

HttpGetFunction loadNetworkModule(QString* error) {
    // Loaded once per file and never unloaded: the access manager and its post routine live there.
    static QHash<QString, HttpGetFunction> loaded;
    const QStringList candidates = networkModuleCandidates();
    QStringList reasons;
    for (const QString& file : candidates) {
        if (const HttpGetFunction known = loaded.value(file)) {
            return known;
        }
        if (!QFileInfo(file).isFile()) {
            continue;
        }
        QLibrary module(file);
        const auto entry = reinterpret_cast<HttpGetFunction>(module.resolve(kHttpGetSymbol));
        if (entry) {
            loaded.insert(file, entry);
            return entry;
        }
        reasons.append(module.errorString());
    }
    if (error) {
        *error = reasons.isEmpty() ? QStringLiteral("the network module is not installed (%1)")
                                         .arg(candidates.join(QStringLiteral(", ")))
                                   : QStringLiteral("the network module cannot be loaded: %1")
                                         .arg(reasons.join(QStringLiteral("; ")));
    }
    return nullptr;
}

}  // namespace qz
