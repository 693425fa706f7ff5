// The bundle's images as icons: one shared icon per name.
#pragma once

#include <QIcon>
#include <QString>

namespace qz {

// "qzb.pdf" and "qzb" both name images/qzb.svg (GUI thread only); a null icon when the bundle
// has none.
QIcon bundleImage(const QString& name);

}  // namespace qz
