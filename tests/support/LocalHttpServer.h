// A small HTTP/1.1 server on 127.0.0.1 for fetch tests: a fixed answer per path, a silent
// mode that accepts and never answers, one that sends header lines for ever, a cap on connections
// and a lifetime after which it closes by itself.
#pragma once

#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace qz::test {

class LocalHttpServer {
  public:
    struct Answer {
        int status = 200;
        QByteArray body;
        // With a Content-Length header; without it the body ends when the connection closes.
        bool withLength = true;
        // Reads the request and never answers.
        bool silent = false;
        // Answers the status line, then one more header line every few milliseconds, for ever.
        bool endlessHeaders = false;
    };

    explicit LocalHttpServer(int maxConnections = 64, int lifetimeMs = 60000)
        : maxConnections_(maxConnections) {
        server_->listen(QHostAddress::LocalHost, 0);
        port_ = server_->serverPort();
        QObject::connect(server_.get(), &QTcpServer::newConnection, server_.get(),
                         [this] { acceptPending(); });
        lifetime_.setSingleShot(true);
        QObject::connect(&lifetime_, &QTimer::timeout, server_.get(), [this] { close(); });
        lifetime_.start(lifetimeMs);
    }
    ~LocalHttpServer() { close(); }

    bool isListening() const { return server_->isListening(); }
    void serve(const QString& path, Answer answer) { answers_.insert(path, std::move(answer)); }
    // The address of a path on this server, e.g. url("/list.plist").
    QUrl url(const QString& path = QString()) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
    }
    QString site() const { return url().toString(); }
    int requests(const QString& path) const { return requests_.value(path); }
    int totalRequests() const { return total_; }

    // Stops listening and drops every connection.
    void close() {
        server_->close();
        for (QTcpSocket* socket : server_->findChildren<QTcpSocket*>()) {
            socket->abort();
            socket->deleteLater();
        }
    }

  private:
    void acceptPending() {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            if (++connections_ > maxConnections_) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            auto received = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                if (received->contains("\r\n\r\n")) {
                    return;  // already answered (or deliberately silent)
                }
                *received += socket->readAll();
                if (received->contains("\r\n\r\n")) {
                    answer(socket, *received);
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void answer(QTcpSocket* socket, const QByteArray& request) {
        const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
        QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
        path = path.left(path.indexOf(u'?') < 0 ? path.size() : path.indexOf(u'?'));
        ++total_;
        requests_[path] += 1;
        const Answer found =
            answers_.value(path, Answer{404, QByteArrayLiteral("not found"), true, false});
        if (found.silent) {
            return;
        }
        if (found.endlessHeaders) {
            socket->write("HTTP/1.1 200 OK\r\n");
            auto* drip = new QTimer(socket);
            QObject::connect(drip, &QTimer::timeout, socket, [socket, line = 0]() mutable {
                socket->write("X-Line-" + QByteArray::number(++line) + ": more\r\n");
            });
            drip->start(5);
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(found.status) + " Status\r\n" +
                          "Content-Type: application/octet-stream\r\nConnection: close\r\n";
        if (found.withLength) {
            head += "Content-Length: " + QByteArray::number(found.body.size()) + "\r\n";
        }
        socket->write(head + "\r\n");
        socket->write(found.body);
        socket->disconnectFromHost();
    }

    std::unique_ptr<QTcpServer> server_ = std::make_unique<QTcpServer>();
    quint16 port_ = 0;
    QTimer lifetime_;
    QHash<QString, Answer> answers_;
    QHash<QString, int> requests_;
    int maxConnections_;
    int connections_ = 0;
    int total_ = 0;
};

}  // namespace qz::test
