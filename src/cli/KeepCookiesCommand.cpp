// `quenzel keep-cookies [add|remove SITE...]`: lists or changes the sites whose cookies a care
// leaves in place.
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "core/care/CookieKeepList.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {

int runKeepCookies(CliContext& context, const QStringList& arguments) {
    Settings settings = Settings::standard();
    CookieKeepList list = CookieKeepList::fromSettings(settings);
    if (arguments.isEmpty()) {
        for (const QString& site : list.sites()) {
            context.out << terminalText(site) << "\n";
        }
        context.out.flush();
        return CommandLine::kOk;
    }
    const QString verb = arguments.first();
    if (verb != QStringLiteral("add") && verb != QStringLiteral("remove")) {
        return CommandLine::usageError(
            context, QStringLiteral("keep-cookies: expected add or remove, not \"%1\"").arg(verb));
    }
    const QStringList sites = arguments.mid(1);
    if (sites.isEmpty()) {
        return CommandLine::usageError(
            context, QStringLiteral("keep-cookies: %1 needs at least one SITE").arg(verb));
    }
    // Every site is checked before the list changes, so a bad one changes nothing.
    for (const QString& site : sites) {
        if (CookieKeepList::normalizedSite(site).isEmpty()) {
            return CommandLine::usageError(
                context, QStringLiteral("keep-cookies: \"%1\" is not a site; give a host name "
                                        "such as example.org, without a scheme, path or space")
                             .arg(terminalText(site)));
        }
    }
    const bool adding = verb == QStringLiteral("add");
    for (const QString& site : sites) {
        const QString name = CookieKeepList::normalizedSite(site);
        const bool changed = adding ? list.add(name) : list.remove(name);
        if (adding) {
            context.out << (changed ? "keeping the cookies of " : "already kept: ") << name << "\n";
        } else {
            context.out << (changed ? "no longer keeping the cookies of " : "not in the list: ")
                        << name << "\n";
        }
    }
    list.store(settings);
    if (!settings.synchronize()) {
        context.err << "quenzel: keep-cookies: the settings file "
                    << UserDefaults::standard().filePath()
                    << " could not be written: " << UserDefaults::standard().lastError()
                    << Qt::endl;
        return 1;
    }
    context.out.flush();
    return CommandLine::kOk;
}

}  // namespace qz
