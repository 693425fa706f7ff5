#include "core/fs/ApplicationSupport.h"

#include <QStandardPaths>

namespace qz {

QString applicationSupportDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

}  // namespace qz
