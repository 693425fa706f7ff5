// The program's few owned workers: one pool for measuring (and the logos' small file reads),
// and one worker per running care (at most one care per browser at a time). Results go back to
// the main thread with queued calls; nothing on the main thread joins or waits on these workers
// while the program runs.
#pragma once

#include <QThreadPool>

namespace qz {

class Workers {
  public:
    // Created on first use and kept for the process.
    static QThreadPool& measuring();
    static QThreadPool& care();
};

}  // namespace qz
