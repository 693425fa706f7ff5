#include "services/UpdateCheck.h"

#include "core/formats/Bundle.h"
#include "core/monitor/VersionOrder.h"

namespace qz {

UpdateAnswer decideUpdate(const QString& installed, const std::optional<PublishedVersions>& list) {
    UpdateAnswer answer;
    answer.installed = installed;
    if (list) {
        const QString published = list->value(kAppUpdateKey);
        if (!published.isEmpty()) {
            answer.published = published;
            answer.updateRequired = isNewerVersion(published, installed);
        }
    }
    return answer;
}

UpdateCheck::UpdateCheck(QObject* parent) : QObject(parent) {
    qRegisterMetaType<qz::UpdateAnswer>();
}

void UpdateCheck::start() {
    const quint64 generation = ++generation_;
    running_ = true;
    const QString installed = installed_.value_or(Bundle::shortVersion());
    RemoteVersionList::fetch(
        listUrl_.value_or(RemoteVersionList::url()), this,
        [this, generation, installed](const std::optional<PublishedVersions>& list) {
            if (generation != generation_) {
                return;  // a later check is under way
            }
            running_ = false;
            emit answered(decideUpdate(installed, list));
        });
}

}  // namespace qz
