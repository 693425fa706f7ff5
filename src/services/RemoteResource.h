// Fetches a small document over HTTP through the main thread's asynchronous access manager,
// with a time-out and a size cap, and hands the answer back as a queued call.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

namespace qz {

class RemoteResource : public QObject {
    Q_OBJECT

  public:
    // The most a fetch may take, in seconds before the time scale, and the largest body kept.
    static constexpr double kTimeoutSeconds = 10.0;
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    enum class Failure { None, BadUrl, Network, HttpStatus, TooLarge, TimedOut };

    struct Result {
        Failure failure = Failure::None;
        int httpStatus = 0;  // 0 when no status line arrived
        QByteArray body;     // empty unless the fetch succeeded
        QString error;       // a readable reason when it failed
        bool ok() const { return failure == Failure::None; }
    };
    using Callback = std::function<void(const Result&)>;

    // Starts a GET of an http or https address, from the main thread. The callback runs once,
    // later, on that thread, unless `context` is destroyed first.
    static void get(const QUrl& url, QObject* context, Callback callback);
    // Fetches and waits in a local event loop; for the command line, never for the window.
    static Result getBlocking(const QUrl& url);
    // While held, fetches wait to start (their time-outs too) until the hold is released: the
    // window holds them until its first frame is painted, which needs no network.
    static void holdFetches(bool hold);

  signals:
    void finished(const qz::RemoteResource::Result& result);

  private:
    RemoteResource(QUrl url, int timeoutMs) : url_(std::move(url)), timeoutMs_(timeoutMs) {}
    void start();
    void finish(Result result);

    QUrl url_;
    int timeoutMs_;
    QByteArray body_;
    bool done_ = false;
};

}  // namespace qz
