// A 64 KiB tmpfs mounted on a temporary folder while the object lives (root only), to see what
// a writer does when the disk fills up. Unmounted in the destructor, whatever the test did.
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

namespace qz::test {

class SmallDisk {
  public:
    SmallDisk() {
        if (::geteuid() != 0) {
            why_ = QStringLiteral("mounting a small tmpfs needs root");
        } else if (!folder_.isValid() ||
                   ::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", 0,
                           "size=64k,mode=0755") != 0) {
            why_ = QStringLiteral("a small tmpfs cannot be mounted here: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        } else {
            mounted_ = true;
        }
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const QString& why() const { return why_; }
    QString path() const { return folder_.path(); }

    // Takes every free byte with a file of its own; true once a write met ENOSPC.
    bool fill() const {
        const int fd = ::open(QFile::encodeName(filler()).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0) {
            return false;
        }
        static const char block[4096] = {};
        for (size_t size : {sizeof block, size_t{1}}) {
            while (::write(fd, block, size) > 0) {
            }
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    // Gives the space back.
    void free() const { QFile::remove(filler()); }

  private:
    QString filler() const { return folder_.path() + QStringLiteral("/.filler"); }

    QTemporaryDir folder_;
    bool mounted_ = false;
    QString why_;
};

}  // namespace qz::test
