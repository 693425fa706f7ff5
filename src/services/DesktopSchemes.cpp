#include "services/DesktopSchemes.h"

#include <dlfcn.h>

#include <QByteArray>
#include <mutex>

namespace qz {

namespace {

// GIO answers from the desktop's MIME associations. It is opened on the first question rather
// than linked, so that a start of the window does not load it and the libraries it pulls in.
struct Gio {
    using DefaultForScheme = void* (*)(const char*);
    using Unref = void (*)(void*);
    DefaultForScheme defaultForScheme = nullptr;
    Unref unref = nullptr;
};

const Gio& gio() {
    static Gio loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = ::dlopen("libgio-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (!library) {
            return;
        }
        loaded.defaultForScheme = reinterpret_cast<Gio::DefaultForScheme>(
            ::dlsym(library, "g_app_info_get_default_for_uri_scheme"));
        loaded.unref = reinterpret_cast<Gio::Unref>(::dlsym(library, "g_object_unref"));
        if (!loaded.defaultForScheme || !loaded.unref) {
            loaded = {};
        }
    });
    return loaded;
}

}  // namespace

bool desktopHandlesScheme(const QString& scheme) {
    const Gio& library = gio();
    if (!library.defaultForScheme) {
        return false;
    }
    const QByteArray name = scheme.toUtf8();
    void* handler = library.defaultForScheme(name.constData());
    if (!handler) {
        return false;
    }
    library.unref(handler);
    return true;
}

}  // namespace qz
