#include "gui/window/TitleBarMenu.h"

#include <QAction>

#include "core/formats/Localization.h"
#include "gui/window/AppDelegate.h"
#include "services/AccessLinks.h"

namespace qz {

QList<QAction*> installTitleBarMenu(AppDelegate& delegate) {
    QWidget* bar = delegate.window()->titleBarView();
    AppController* vista = delegate.vista();
    const Localization& texts = Localization::shared();
    const auto add = [bar, &texts](const char* key, auto receiver, auto action) {
        auto* entry = new QAction(texts.text(QLatin1String(key)), bar);
        entry->setObjectName(QLatin1String(key));
        QObject::connect(entry, &QAction::triggered, receiver, action);
        bar->addAction(entry);
        return entry;
    };
    QList<QAction*> entries{
        add("menuAbout", vista, &AppController::orderFrontCustomAboutPanel),
        add("menuPreferences", vista, &AppController::preferences),
        add("menuShare", &delegate, &AppDelegate::showShare),
        add("menuWelcome", &delegate, &AppDelegate::welcomeVideo),
    };
    // The links, each only where its address is known: an entry that sends nowhere is left out.
    const struct {
        const char* key;
        Endpoint endpoint;
        void (AppController::*action)();
    } links[] = {{"menuWebsite", Endpoint::WebSite, &AppController::website},
                 {"menuSupport", Endpoint::SupportPage, &AppController::support},
                 {"menuBlog", Endpoint::Blog, &AppController::blog},
                 {"menuReview", Endpoint::RatingPage, &AppController::review}};
    bool separated = false;
    for (const auto& link : links) {
        if (endpointUrl(link.endpoint).isEmpty()) {
            continue;
        }
        if (!separated) {
            auto* separator = new QAction(bar);
            separator->setSeparator(true);
            bar->addAction(separator);
            separated = true;
        }
        entries.append(add(link.key, vista, link.action));
    }
    bar->setContextMenuPolicy(Qt::ActionsContextMenu);
    return entries;
}

}  // namespace qz
