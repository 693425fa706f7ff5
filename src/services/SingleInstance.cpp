#include "services/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QVariant>
#include <cerrno>
#include <cstring>

#include "services/InstanceName.h"

namespace qz {

namespace {

const QByteArray kReopen = QByteArrayLiteral("reopen\n");
// The longest line a peer may send before it is turned away.
constexpr qsizetype kLineLimit = 64;

bool addressOf(const QString& name, sockaddr_un* address) {
    const QByteArray path = QFile::encodeName(name);
    if (path.isEmpty() || path.size() >= static_cast<qsizetype>(sizeof address->sun_path)) {
        return false;
    }
    *address = {};
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// The time left of `timeoutMs` since `timer` started, never below 0.
int remaining(const QElapsedTimer& timer, int timeoutMs) {
    return static_cast<int>(qMax<qint64>(0, timeoutMs - timer.elapsed()));
}

bool waitFor(int fd, short events, const QElapsedTimer& timer, int timeoutMs) {
    pollfd wanted{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&wanted, 1, remaining(timer, timeoutMs));
    } while (ready < 0 && errno == EINTR);
    return ready == 1;
}

// A connected socket to the instance at `name` whose peer runs as this user, or -1.
int connectToInstance(const QString& name, const QElapsedTimer& timer, int timeoutMs) {
    sockaddr_un address{};
    if (!addressOf(name, &address)) {
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return -1;
    }
    bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!connected && (errno == EINPROGRESS || errno == EAGAIN)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = waitFor(fd, POLLOUT, timer, timeoutMs) &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    // A socket held by another user is nobody's window: it neither counts nor blocks.
    if (!connected || !peerIsThisUser(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), name_(name) {}

SingleInstance::~SingleInstance() {
    for (const QSocketNotifier* peer : findChildren<QSocketNotifier*>()) {
        if (peer->socket() != server_) {
            ::close(static_cast<int>(peer->socket()));
        }
    }
    if (server_ >= 0) {
        ::close(server_);
        ::unlink(QFile::encodeName(name_).constData());
    }
}

bool SingleInstance::handOver(int timeoutMs) const {
    QElapsedTimer timer;
    timer.start();
    const int fd = connectToInstance(name_, timer, timeoutMs);
    if (fd < 0) {
        return false;
    }
    qsizetype sent = 0;
    while (sent < kReopen.size()) {
        const ssize_t wrote = ::send(fd, kReopen.constData() + sent,
                                     static_cast<std::size_t>(kReopen.size() - sent), MSG_NOSIGNAL);
        if (wrote > 0) {
            sent += wrote;
        } else if (wrote < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        } else if (!waitFor(fd, POLLOUT, timer, timeoutMs)) {
            break;
        }
    }
    // The instance closes the connection once it has read the line.
    char ignored[16];
    while (sent == kReopen.size() && waitFor(fd, POLLIN, timer, timeoutMs) &&
           ::read(fd, ignored, sizeof ignored) > 0) {
    }
    ::close(fd);
    return sent == kReopen.size();
}

bool SingleInstance::isRunning(int timeoutMs) const {
    QElapsedTimer timer;
    timer.start();
    const int fd = connectToInstance(name_, timer, timeoutMs);
    if (fd >= 0) {
        ::close(fd);
    }
    return fd >= 0;
}

bool SingleInstance::listen() {
    if (name_.isEmpty() || server_ >= 0) {
        return server_ >= 0;
    }
    if (bindAndListen()) {
        return true;
    }
    // A socket left behind by an instance that ended without closing it.
    ::unlink(QFile::encodeName(name_).constData());
    return bindAndListen();
}

bool SingleInstance::bindAndListen() {
    sockaddr_un address{};
    if (!addressOf(name_, &address)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    // Only this user may connect (the folder is private as well).
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        return false;
    }
    server_ = fd;
    auto* incoming = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(incoming, &QSocketNotifier::activated, this, &SingleInstance::acceptPending);
    return true;
}

void SingleInstance::acceptPending() {
    for (;;) {
        const int fd = ::accept4(server_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        // Only this user's own starts may bring the window forward.
        if (!peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        auto* peer = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        peer->setProperty("line", QByteArray());
        connect(peer, &QSocketNotifier::activated, this, [this, peer] { readFrom(peer); });
    }
}

void SingleInstance::readFrom(QSocketNotifier* peer) {
    const int fd = static_cast<int>(peer->socket());
    QByteArray line = peer->property("line").toByteArray();
    char buffer[kLineLimit];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    line.append(buffer, got > 0 ? got : 0);
    const qsizetype end = line.indexOf('\n');
    if (got > 0 && end < 0 && line.size() < kLineLimit) {
        peer->setProperty("line", line);
        return;  // the rest of the line is still to come
    }
    // One line, then the connection ends: the later start waits for that.
    if (end >= 0 && line.left(end + 1) == kReopen) {
        emit reopenRequested();
    }
    peer->setEnabled(false);
    ::close(fd);
    peer->deleteLater();
}

}  // namespace qz
