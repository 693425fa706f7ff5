#include "platform/Workers.h"

#include <QThread>
#include <algorithm>

namespace qz {

QThreadPool& Workers::measuring() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        created->setObjectName(QStringLiteral("measuring"));
        return created;
    }();
    return *pool;
}

QThreadPool& Workers::care() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(4);  // one per browser module
        created->setObjectName(QStringLiteral("care"));
        return created;
    }();
    return *pool;
}

}  // namespace qz
