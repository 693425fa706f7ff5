// The one status item of the process: replaced only when its icon changes, and one owner's item
// replaced by another's.
#include "core/monitor/StatusItemSlot.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <vector>

namespace qz {
namespace {

TEST(StatusItemSlot, ReplacedOnlyWhenTheIconChanges) {
    StatusItemSlot::clearInstalled();
    QList<QString> created;
    StatusItemSlot slot([&](const QString& icon) {
        created.append(icon);
        return new QObject;
    });
    struct Step {
        const char* icon;
        bool replaced;
    };
    const std::vector<Step> steps = {
        {"qzb.pdf", true},  {"qzb.pdf", false}, {"qza.pdf", true},
        {"qza.pdf", false}, {"qzb.pdf", true},
    };
    for (const Step& step : steps) {
        QPointer<QObject> before = slot.item();
        EXPECT_EQ(slot.setmenuitembar(QString::fromUtf8(step.icon)), step.replaced);
        EXPECT_EQ(StatusItemSlot::installed(), slot.item());
        // A replaced item went away; a kept one is the very same.
        EXPECT_EQ(before.data(), step.replaced ? nullptr : slot.item());
    }
    EXPECT_EQ(created, (QList<QString>{"qzb.pdf", "qza.pdf", "qzb.pdf"}));

    // A second owner's item replaces the first one's in the one process-wide place.
    StatusItemSlot other([](const QString&) { return new QObject; });
    QPointer<QObject> first = slot.item();
    EXPECT_TRUE(other.setmenuitembar(QStringLiteral("qzb.pdf")));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(StatusItemSlot::installed(), other.item());
    StatusItemSlot::clearInstalled();
}

}  // namespace
}  // namespace qz
