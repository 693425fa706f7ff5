// GIO first: its headers use names that Qt defines as macros.
#include <gio/gio.h>

#include "services/DesktopSchemes.h"

namespace qz {

bool desktopHandlesScheme(const QString& scheme) {
    const QByteArray name = scheme.toUtf8();
    GAppInfo* handler = g_app_info_get_default_for_uri_scheme(name.constData());
    if (!handler) {
        return false;
    }
    g_object_unref(handler);
    return true;
}

}  // namespace qz
