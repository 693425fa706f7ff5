// `quenzel check-updates`: fetches the published version list once and says whether a newer
// Quenzel is out. Being offline is an answer too, so it still exits 0.
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/MonitorJson.h"
#include "cli/TerminalText.h"
#include "core/formats/Bundle.h"
#include "services/RemoteVersionList.h"
#include "services/UpdateCheck.h"

namespace qz {

namespace {
Json answerJson(const UpdateAnswer& answer) {
    Json app = Json::object();
    app.set("installed", answer.installed);
    app.set("published", answer.published ? Json(*answer.published) : Json());
    app.set("update_required", answer.updateRequired);
    Json root = Json::object();
    root.set("app", std::move(app));
    return root;
}

void printAnswer(QTextStream& out, const UpdateAnswer& answer) {
    out << "Quenzel " << answer.installed << " installed";
    if (!answer.published) {
        out << "; no published version could be read\n";
    } else if (answer.updateRequired) {
        out << "; " << terminalText(*answer.published) << " is published: update required\n";
    } else {
        out << "; " << terminalText(*answer.published) << " is published: up to date\n";
    }
    out.flush();
}
}  // namespace

int runCheckUpdates(CliContext& context, const QStringList& arguments) {
    bool json = false;
    if (!CommandLine::takeJsonFlag(context, QStringLiteral("check-updates"), arguments, &json)) {
        return CommandLine::kUsage;
    }
    const std::optional<PublishedVersions> list =
        RemoteVersionList::fetchBlocking(RemoteVersionList::url());
    const UpdateAnswer answer = decideUpdate(Bundle::shortVersion(), list);
    if (json) {
        Json root = answerJson(answer);
        root.set("browsers", browserUpdatesJson(context.files, list));
        context.out << root.serialize() << Qt::endl;
    } else {
        printAnswer(context.out, answer);
    }
    return CommandLine::kOk;
}

}  // namespace qz
