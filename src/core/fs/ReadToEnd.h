// The one loop that reads an opened file of ours or of a browser's to its end, under a cap.
#pragma once

#include <errno.h>
#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>

namespace qz {

struct ReadToEnd {
    enum class Outcome { Read, TooLarge, Failed };
    Outcome outcome = Outcome::Failed;
    QByteArray data;  // the whole content when read
    int error = 0;    // errno of the failed read
};

// Reads from `fd` until its end; more than maxBytes (a file that grew while being read) is
// refused rather than cut short.
inline ReadToEnd readToEnd(int fd, qint64 maxBytes) {
    ReadToEnd result;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {ReadToEnd::Outcome::Failed, {}, errno};
        }
        if (got == 0) {
            result.outcome = ReadToEnd::Outcome::Read;
            return result;
        }
        result.data.append(buffer, static_cast<qsizetype>(got));
        if (result.data.size() > maxBytes) {
            return {ReadToEnd::Outcome::TooLarge, {}, 0};
        }
    }
}

}  // namespace qz
