// The application bundle: Info.plist values, the web site, and where its images are.
#pragma once

#include <QString>
#include <QVariantMap>

namespace qz {

class Bundle {
  public:
    static const QVariantMap& infoDictionary();
    static QString objectForInfoDictionaryKey(const QString& key);
    // "CFBundleShortVersionString", e.g. "2.0".
    static QString shortVersion();
    // "CFBundleVersion", e.g. "2.0.0".
    static QString version();
    // The maker's web site without a trailing slash: QUENZEL_WEBSITE, else Info.plist
    // "QZWebSite", else the pages installed with the program as a file: address.
    static QString webSite();
    // The folder of the installed pages: <applicationDir>/../share/quenzel/site, else the copy
    // in the build tree; empty when neither holds support.html.
    static QString siteFolder(const QString& applicationDir);
    // The resource path of an image name; "qzb.pdf" and "qzb" both name images/qzb.svg.
    static QString imagePath(const QString& name);
};

}  // namespace qz
