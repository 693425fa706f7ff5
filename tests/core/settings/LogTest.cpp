// Log lines go to the system log; the terminal sees them only when asked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <QTemporaryFile>
#include <cstdio>
#include <cstdlib>

#include "core/settings/Log.h"

namespace qz {
namespace {

// What Log::write puts on stderr, read back from a file standing in for it.
QByteArray stderrOf(const QString& line) {
    QTemporaryFile file;
    if (!file.open()) {
        return "<no file>";
    }
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(file.handle(), STDERR_FILENO);
    Log::write(line);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

TEST(LogTest, TheTerminalSeesLinesOnlyWhenAsked) {
    const struct {
        const char* name;
        bool echo;
        const char* environment;  // QUENZEL_LOG, or nullptr for unset
        QByteArray expected;
    } cases[] = {
        {"by default", false, nullptr, ""},
        {"--verbose", true, nullptr, "quenzel: else\n"},
        {"QUENZEL_LOG=stderr", false, "stderr", "quenzel: else\n"},
        {"another QUENZEL_LOG", false, "journal", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.environment) {
            ::setenv("QUENZEL_LOG", c.environment, 1);
        } else {
            ::unsetenv("QUENZEL_LOG");
        }
        Log::setEcho(c.echo);
        EXPECT_EQ(stderrOf(QStringLiteral("else")), c.expected);
    }
    ::unsetenv("QUENZEL_LOG");
    Log::setEcho(false);
}

}  // namespace
}  // namespace qz
