#include "gui/window/TitleBarMenu.h"

#include <QAction>

#include "core/formats/Localization.h"
#include "gui/window/AppDelegate.h"

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
    const QList<QAction*> entries{
        add("menuAbout", vista, &AppController::orderFrontCustomAboutPanel),
        add("menuPreferences", vista, &AppController::preferences),
        add("menuShare", &delegate, &AppDelegate::showShare),
        add("menuWelcome", &delegate, &AppDelegate::welcomeVideo),
    };
    bar->setContextMenuPolicy(Qt::ActionsContextMenu);
    return entries;
}

}  // namespace qz
