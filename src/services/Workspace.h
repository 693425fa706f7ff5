// Opens web pages and mail in the user's own programs.
#pragma once

#include <QUrl>
#include <functional>

namespace qz {

class Workspace {
  public:
    using Opener = std::function<bool(const QUrl&)>;

    static bool openURL(const QUrl& url);
    // Replaces the desktop's opener (tests record the addresses instead); returns the previous.
    static Opener setOpener(Opener opener);
};

}  // namespace qz
