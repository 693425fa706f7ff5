#include "core/formats/SqliteDatabase.h"

#include <dlfcn.h>
#include <sqlite3.h>

#include <QFile>
#include <QSet>
#include <utility>

namespace qz {

namespace {

// The functions used from the SQLite library, which is loaded on first use rather than with the
// program: the window's start reads no database and so pays neither its loading nor its pages.
// clang-format off
#define QZ_SQLITE_FUNCTIONS(X)                                                                \
    X(bind_int64) X(bind_null) X(bind_text) X(changes64) X(close_v2) X(column_bytes)          \
    X(column_int64) X(column_text) X(column_type) X(db_config) X(errmsg) X(errstr) X(exec)    \
    X(extended_errcode) X(extended_result_codes) X(finalize) X(open_v2) X(prepare_v2)         \
    X(reset) X(step)
// clang-format on

struct SqliteLibrary {
#define QZ_SQLITE_POINTER(name) decltype(&sqlite3_##name) name = nullptr;
    QZ_SQLITE_FUNCTIONS(QZ_SQLITE_POINTER)
#undef QZ_SQLITE_POINTER
    QString error;  // why the library could not be used; empty when it can
};

// Loaded once for the process (from any thread); a library that is missing or lacks a function
// leaves every database unopened with the reason.
const SqliteLibrary& sqlite() {
    static const SqliteLibrary library = [] {
        SqliteLibrary loaded;
        void* handle = ::dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            loaded.error = QStringLiteral("the SQLite library could not be loaded: %1")
                               .arg(QString::fromLocal8Bit(::dlerror()));
            return loaded;
        }
#define QZ_SQLITE_RESOLVE(name)                                                               \
    loaded.name = reinterpret_cast<decltype(loaded.name)>(::dlsym(handle, "sqlite3_" #name)); \
    if (!loaded.name && loaded.error.isEmpty()) {                                             \
        loaded.error = QStringLiteral("the SQLite library lacks sqlite3_" #name);             \
    }
        QZ_SQLITE_FUNCTIONS(QZ_SQLITE_RESOLVE)
#undef QZ_SQLITE_RESOLVE
        return loaded;
    }();
    return library;
}

}  // namespace

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        if (statement_) {
            sqlite().finalize(statement_);
        }
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

SqliteStatement::~SqliteStatement() {
    if (statement_) {
        sqlite().finalize(statement_);
    }
}

bool SqliteStatement::bind(int index, qint64 value) {
    return sqlite().bind_int64(statement_, index, value) == SQLITE_OK;
}

bool SqliteStatement::bind(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    return sqlite().bind_text(statement_, index, utf8.constData(), static_cast<int>(utf8.size()),
                              SQLITE_TRANSIENT) == SQLITE_OK;
}

bool SqliteStatement::bindNull(int index) {
    return sqlite().bind_null(statement_, index) == SQLITE_OK;
}

SqliteStatement::Step SqliteStatement::step() {
    switch (sqlite().step(statement_)) {
        case SQLITE_ROW:
            return Step::Row;
        case SQLITE_DONE:
            return Step::Done;
        default:
            return Step::Failed;
    }
}

void SqliteStatement::reset() {
    sqlite().reset(statement_);
}

qint64 SqliteStatement::int64(int column) const {
    return sqlite().column_int64(statement_, column);
}

QString SqliteStatement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite().column_text(statement_, column));
    return bytes ? QString::fromUtf8(bytes, sqlite().column_bytes(statement_, column)) : QString();
}

bool SqliteStatement::isNull(int column) const {
    return sqlite().column_type(statement_, column) == SQLITE_NULL;
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), error_(std::move(other.error_)) {}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

SqliteDatabase::~SqliteDatabase() {
    close();
}

bool SqliteDatabase::open(const QString& localPath, Access access) {
    return openWith(localPath,
                    access == Access::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
}

bool SqliteDatabase::create(const QString& localPath) {
    return openWith(localPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

bool SqliteDatabase::openWith(const QString& localPath, int flags) {
    close();
    if (!sqlite().error.isEmpty()) {
        error_ = sqlite().error;
        return false;
    }
    // NOFOLLOW makes SQLite refuse the path when any component of it is a symbolic link; each
    // connection keeps to itself (no shared cache, no URI parameters read from the name).
    flags |= SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_PRIVATECACHE | SQLITE_OPEN_NOMUTEX;
    const QByteArray name = QFile::encodeName(localPath);
    const int code = sqlite().open_v2(name.constData(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const int extended = db_ ? sqlite().extended_errcode(db_) : code;
        error_ = extended == SQLITE_CANTOPEN_SYMLINK ? QStringLiteral("a symbolic link on the way")
                 : db_                               ? QString::fromUtf8(sqlite().errmsg(db_))
                                                     : QString::fromUtf8(sqlite().errstr(code));
        if (db_) {
            sqlite().close_v2(db_);
        }
        db_ = nullptr;
        return false;
    }
    sqlite().extended_result_codes(db_, 1);
    return true;
}

void SqliteDatabase::close() {
    if (db_) {
        sqlite().close_v2(db_);
        db_ = nullptr;
    }
}

bool SqliteDatabase::fail() {
    error_ = db_ ? QString::fromUtf8(sqlite().errmsg(db_)) : QStringLiteral("not open");
    return false;
}

bool SqliteDatabase::exec(const QString& sql) {
    if (!db_) {
        return fail();
    }
    return sqlite().exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK ||
           fail();
}

SqliteStatement SqliteDatabase::prepare(const QString& sql) {
    if (!db_) {
        fail();
        return {};
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite().prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &statement,
                            nullptr) != SQLITE_OK) {
        fail();
        if (statement) {
            sqlite().finalize(statement);
        }
        return {};
    }
    return SqliteStatement(statement);
}

std::optional<SqliteStatement> SqliteDatabase::firstRow(const QString& sql) {
    SqliteStatement statement = prepare(sql);
    if (!statement.valid()) {
        return std::nullopt;
    }
    if (statement.step() != SqliteStatement::Step::Row) {
        fail();
        return std::nullopt;
    }
    return statement;
}

std::optional<qint64> SqliteDatabase::scalar(const QString& sql) {
    std::optional<SqliteStatement> row = firstRow(sql);
    return row ? std::optional<qint64>(row->int64(0)) : std::nullopt;
}

std::optional<QString> SqliteDatabase::textValue(const QString& sql) {
    std::optional<SqliteStatement> row = firstRow(sql);
    return row ? std::optional<QString>(row->text(0)) : std::nullopt;
}

void SqliteDatabase::setCheckpointOnClose(bool checkpoint) {
    if (db_) {
        sqlite().db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, checkpoint ? 0 : 1, nullptr);
    }
}

qint64 SqliteDatabase::changes() const {
    return db_ ? sqlite().changes64(db_) : 0;
}

bool SqliteDatabase::hasTable(const QString& table) {
    SqliteStatement statement =
        prepare(QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type IN ('table', 'view') "
                               "AND name = ?1"));
    return statement.valid() && statement.bind(1, table) &&
           statement.step() == SqliteStatement::Step::Row;
}

QString SqliteDatabase::missingFromSchema(const QList<SqliteTable>& needed) {
    // The table-valued pragma names the columns without any text put together from a table name.
    SqliteStatement columns = prepare(QStringLiteral("SELECT name FROM pragma_table_info(?1)"));
    if (!columns.valid()) {
        return error_;
    }
    for (const SqliteTable& table : needed) {
        columns.reset();
        columns.bind(1, table.name);
        QSet<QString> present;
        SqliteStatement::Step step;
        while ((step = columns.step()) == SqliteStatement::Step::Row) {
            present.insert(columns.text(0));
        }
        if (step == SqliteStatement::Step::Failed) {
            fail();
            return error_;
        }
        if (present.isEmpty()) {
            return QStringLiteral("no table %1").arg(table.name);
        }
        for (const QString& column : table.columns) {
            if (!present.contains(column)) {
                return QStringLiteral("no column %1.%2").arg(table.name, column);
            }
        }
    }
    return {};
}

QString SqliteDatabase::integrityProblem() {
    const std::optional<QString> verdict = textValue(QStringLiteral("PRAGMA integrity_check(1)"));
    if (!verdict) {
        return error_;
    }
    return *verdict == QStringLiteral("ok") ? QString() : *verdict;
}

}  // namespace qz
