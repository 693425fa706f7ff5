// The network module: the process's one QNetworkAccessManager on the main thread (it is
// asynchronous, so nothing waits on it) and the GET that RemoteResource asks of it.
#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include "services/NetworkModule.h"

namespace {

using qz::RemoteResource;
using Failure = RemoteResource::Failure;

// Goes (with the requests still in flight) while the application object is still whole: deleted
// later as its child, the manager's connection thread could still deliver an event to an
// application that is gone. The module is never unloaded, so the routine stays valid.
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

}  // namespace

extern "C" Q_DECL_EXPORT void quenzelHttpGet(const QUrl& url, qint64 maxBytes, QObject* owner,
                                             std::function<void(RemoteResource::Result)> done) {
    QNetworkAccessManager* manager = accessManager();
    // The request goes with the manager if it is still running when the application ends.
    owner->setParent(manager);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    QNetworkReply* reply = manager->get(request);
    reply->setParent(owner);
    // Keeps Qt from buffering far past the cap before readyRead lets us look at the data.
    reply->setReadBufferSize(64 * 1024);

    struct State {
        std::function<void(RemoteResource::Result)> done;
        QByteArray body;
        bool finished = false;
    };
    auto state = std::make_shared<State>(State{std::move(done), {}, false});
    const auto fail = [state, reply](Failure failure, const QString& error) {
        if (state->finished) {
            return;
        }
        state->finished = true;
        reply->abort();
        RemoteResource::Result result;
        result.failure = failure;
        result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.error = error;
        state->done(std::move(result));
    };
    const QString tooLarge = QStringLiteral("the answer is larger than %1 bytes").arg(maxBytes);

    QObject::connect(
        reply, &QNetworkReply::metaDataChanged, reply, [reply, fail, tooLarge, maxBytes] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > maxBytes) {
                fail(Failure::TooLarge, tooLarge);
            }
        });
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [state, reply, fail, tooLarge, maxBytes] {
                         if (state->finished) {
                             return;
                         }
                         state->body += reply->readAll();
                         if (state->body.size() > maxBytes) {
                             fail(Failure::TooLarge, tooLarge);
                         }
                     });
    QObject::connect(
        reply, &QNetworkReply::finished, reply, [state, reply, fail, tooLarge, maxBytes] {
            if (state->finished) {
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
            state->body += reply->readAll();
            if (state->body.size() > maxBytes) {
                fail(Failure::TooLarge, tooLarge);
                return;
            }
            state->finished = true;
            RemoteResource::Result result;
            result.httpStatus = status;
            result.body = std::move(state->body);
            state->done(std::move(result));
        });
}
