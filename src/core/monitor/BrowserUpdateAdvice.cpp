#include "core/monitor/BrowserUpdateAdvice.h"

#include "core/browsers/BrowserProfiles.h"
#include "core/formats/Localization.h"
#include "core/formats/PropertyList.h"
#include "core/fs/FileManager.h"
#include "core/monitor/VersionOrder.h"

namespace qz {

namespace {
// A text value of a property list's root dictionary.
std::optional<QString> plistText(const QString& platformPath, const QString& key,
                                 const FileManager& files) {
    const std::optional<QVariant> root = PropertyList::readFile(files.localPath(platformPath));
    if (!root || root->typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    const QVariant value = root->toMap().value(key);
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The published version under the browser's key, whether or not the browser is installed.
UpdateAdvice withPublishedVersion(BrowserId browser, const FileManager& files,
                                  const VersionList& list) {
    UpdateAdvice result;
    result.browser = browser;
    result.key = versionListKey(browser, files);
    if (list && list->contains(result.key)) {
        result.published = list->value(result.key);
    }
    return result;
}

void evaluate(UpdateAdvice& result, const QString& appPath, const FileManager& files) {
    result.evaluated = true;
    result.bundle = appPath;
    result.installed = bundleShortVersion(appPath, files);
    result.advice = result.installed && result.published &&
                    isNewerVersion(*result.published, *result.installed);
}
}  // namespace

double leadingDecimalValue(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    qsizetype end = i;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
        end = i;
    }
    if (digits == 0) {
        return 0;
    }
    return text.mid(start, end - start).toDouble();
}

QString safariKeyForSystemVersion(const QString& productVersion) {
    return leadingDecimalValue(productVersion) == leadingDecimalValue(QStringLiteral("10.9"))
               ? kSafariMavericksKey
               : kSafariOtherKey;
}

QString safariKey(const FileManager& files) {
    return safariKeyForSystemVersion(
        plistText(kSystemVersionFile, QStringLiteral("ProductVersion"), files).value_or(QString()));
}

QString versionListKey(BrowserId browser, const FileManager& files) {
    const BrowserInfo& row = browserInfo(browser);
    return row.systemBrowser ? safariKey(files) : row.updateListKey;
}

std::optional<QString> bundleShortVersion(const QString& appPath, const FileManager& files) {
    return plistText(appPath + QStringLiteral("/Contents/Info.plist"),
                     QStringLiteral("CFBundleShortVersionString"), files);
}

std::optional<QString> linuxInstalledVersion(BrowserId browser, const FileManager& files,
                                             QString* source) {
    constexpr qint64 kLimit = 64 * 1024;
    const BrowserFamily& family = browserFamily(browser);
    if (family.version.name.isEmpty()) {
        return std::nullopt;
    }
    QStringList folders;
    if (family.version.in == FamilyFile::In::Profile) {
        for (const BrowserProfile& profile : usableProfiles(browserProfiles(browser, files))) {
            folders.append(profile.folder);
        }
    } else {
        for (const LinuxInstall& install : browserInfo(browser).linuxInstalls) {
            folders.append(linuxPath(install.dataFolder, files));
        }
    }
    const QByteArray key = family.versionKey.toUtf8();
    for (const QString& folder : folders) {
        const QString file = folder + u'/' + family.version.name;
        const auto text = files.readSmallFile(file, kLimit);
        if (!text) {
            continue;
        }
        if (key.isEmpty()) {
            if (!text->trimmed().isEmpty()) {
                *source = file;
                return QString::fromUtf8(text->trimmed());
            }
        } else if (const qsizetype at = text->indexOf(key); at >= 0) {
            // The key's line: the version, then "_" and the build.
            *source = file;
            const QByteArray value = text->mid(at + key.size()).split('\n').first().trimmed();
            return QString::fromUtf8(value.split('_').first());
        }
    }
    return std::nullopt;
}

UpdateAdvice checkBrowserUpdate(BrowserId browser, const FileManager& files,
                                const VersionList& list) {
    UpdateAdvice result = withPublishedVersion(browser, files, list);
    if (files.layout() == Layout::Linux) {
        // No application bundle here: the browser writes its version into its own data.
        if (isInstalled(browser, files)) {
            result.evaluated = true;
            result.installed = linuxInstalledVersion(browser, files, &result.bundle);
            result.advice = result.installed && result.published &&
                            isNewerVersion(*result.published, *result.installed);
        }
        return result;
    }
    const QStringList& bundles = browserInfo(browser).applicationPaths;
    if (browserInfo(browser).systemBrowser) {
        evaluate(result, files.userPath(bundles.first()), files);
        return result;
    }
    for (const QString& bundle : bundles) {
        const QString appPath = files.userPath(bundle);
        if (files.fileExistsAtPath(appPath)) {
            evaluate(result, appPath, files);
        }
    }
    return result;
}

UpdateSheet updateSheet(BrowserId browser, const std::optional<QString>& published,
                        const Localization& texts) {
    const QString version = published ? *published : texts.text(QStringLiteral("UnknownVersion"));
    return {texts.text(QStringLiteral("Done")),
            texts.text(QStringLiteral("Update") + browserInfo(browser).suffix),
            texts.format(browserInfo(browser).updateTextKey, {version})};
}

}  // namespace qz
