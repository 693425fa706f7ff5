#include "services/RemoteResource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include "core/settings/TimeScale.h"

namespace qz {

namespace {

// One access manager for every fetch of the process, on the main thread: it is asynchronous,
// so nothing waits on it. It goes (with the requests still in flight) while the application
// object is still whole: deleted later as its child, the manager's connection thread could
// still deliver an event to an application that is gone.
QPointer<QNetworkAccessManager>& sharedManager() {
    static QPointer<QNetworkAccessManager> manager;
    return manager;
}

QNetworkAccessManager* accessManager() {
    QPointer<QNetworkAccessManager>& manager = sharedManager();
    if (!manager) {
        manager = new QNetworkAccessManager(QCoreApplication::instance());
        qAddPostRoutine([] { delete sharedManager().data(); });
    }
    return manager;
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
    request->start();
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
    QNetworkAccessManager* manager = accessManager();
    setParent(manager);
    QNetworkRequest request(url_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply* reply = manager->get(request);
    reply->setParent(this);
    // Keeps Qt from buffering far past the cap before readyRead lets us look at the data.
    reply->setReadBufferSize(64 * 1024);

    const auto fail = [this, reply](Failure failure, const QString& error) {
        if (done_) {
            return;
        }
        done_ = true;
        reply->abort();
        Result result;
        result.failure = failure;
        result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.error = error;
        finish(std::move(result));
    };
    const QString tooLarge =
        QStringLiteral("the answer is larger than %1 bytes").arg(RemoteResource::kMaxBytes);

    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this,
            [fail] { fail(Failure::TimedOut, QStringLiteral("no complete answer in time")); });
    timer->start(timeoutMs_);

    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, fail, tooLarge] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxBytes) {
            fail(Failure::TooLarge, tooLarge);
        }
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, fail, tooLarge] {
        if (done_) {
            return;
        }
        body_ += reply->readAll();
        if (body_.size() > kMaxBytes) {
            fail(Failure::TooLarge, tooLarge);
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, fail, tooLarge] {
        if (done_) {
            return;
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError) {
            fail(status != 0 ? Failure::HttpStatus : Failure::Network, reply->errorString());
            return;
        }
        if (status < 200 || status > 299) {
            fail(Failure::HttpStatus, QStringLiteral("the server answered %1").arg(status));
            return;
        }
        body_ += reply->readAll();
        if (body_.size() > kMaxBytes) {
            fail(Failure::TooLarge, tooLarge);
            return;
        }
        done_ = true;
        Result result;
        result.httpStatus = status;
        result.body = std::move(body_);
        finish(std::move(result));
    });
}

void RemoteResource::finish(Result result) {
    emit finished(result);
    deleteLater();
}

}  // namespace qz
