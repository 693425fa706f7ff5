// Qt's own texts (standard buttons, file dialogs) follow the program's language.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

#include "app/Application.h"

namespace qz {
namespace {

TEST(QtTranslationsTest, QtsOwnButtonsSpeakThePrograms) {
    const bool italianInstalled =
        QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists("qtbase_it.qm");
    const struct {
        const char* language;
        bool installs;
        const char* cancel;  // Qt's standard Cancel button
    } rows[] = {{"en", false, "Cancel"},
                {"xx", false, "Cancel"},
                {"it", italianInstalled, italianInstalled ? "Annulla" : "Cancel"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.language);
        EXPECT_EQ(Application::installQtTranslations(QLatin1String(row.language)), row.installs);
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                  QLatin1String(row.cancel));
    }
}

}  // namespace
}  // namespace qz
