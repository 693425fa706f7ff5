#include "platform/RemoteResource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>

#include "platform/TimeScale.h"

namespace qz {

namespace {

// One thread for every fetch of the process. Its hub object parents the access manager and
// the requests in flight, so stopping the thread frees them there.
struct NetworkThread {
    QMutex mutex;
    QThread* thread = nullptr;
    QObject* hub = nullptr;
};

NetworkThread& networkThread() {
    static NetworkThread state;
    return state;
}

// Waits for the thread without holding the lock: a request the thread is still starting must
// not wait for the lock while the lock waits for the thread.
void stopNetworkThread() {
    NetworkThread& state = networkThread();
    QThread* thread = nullptr;
    {
        QMutexLocker lock(&state.mutex);
        thread = state.thread;
    }
    if (!thread) {
        return;
    }
    thread->quit();
    thread->wait();
    QMutexLocker lock(&state.mutex);
    delete state.thread;
    state.thread = nullptr;
    state.hub = nullptr;
}

QObject* networkHub() {
    NetworkThread& state = networkThread();
    QMutexLocker lock(&state.mutex);
    if (!state.thread) {
        state.thread = new QThread;
        state.thread->setObjectName(QStringLiteral("quenzel-network"));
        state.hub = new QObject;
        state.hub->moveToThread(state.thread);
        QObject::connect(state.thread, &QThread::finished, state.hub, &QObject::deleteLater);
        state.thread->start();
        // Runs when the application object goes away, before static objects are destroyed.
        qAddPostRoutine(stopNetworkThread);
    }
    return state.hub;
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
    // A queued connection: the answer crosses to the context's thread, and is dropped if the
    // context is destroyed before it arrives.
    connect(request, &RemoteResource::finished, context, std::move(callback), Qt::QueuedConnection);
    request->moveToThread(networkHub()->thread());
    QMetaObject::invokeMethod(request, &RemoteResource::start, Qt::QueuedConnection);
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
    // On the network thread, whose hub stays put until the thread has finished.
    QObject* hub = networkThread().hub;
    setParent(hub);
    auto* manager = hub->findChild<QNetworkAccessManager*>(QString(), Qt::FindDirectChildrenOnly);
    if (!manager) {
        manager = new QNetworkAccessManager(hub);
    }
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
