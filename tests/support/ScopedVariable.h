// Sets an environment variable, or unsets it for a null value, for one scope.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace qz::test {

class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::optional<QString>& value)
        : name_(name), previous_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        if (value) {
            qputenv(name, QFile::encodeName(*value));
        } else {
            qunsetenv(name);
        }
    }
    ~ScopedVariable() { had_ ? qputenv(name_, previous_) : qunsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    QByteArray previous_;
    bool had_;
};

}  // namespace qz::test
