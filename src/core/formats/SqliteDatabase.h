// One SQLite database opened through the C library: prepared statements, plain SQL, and the
// check that the tables and columns an edit relies on are there before it runs. The library is
// loaded with the first database opened: the window's start reads none.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace qz {

// A table and the columns a caller reads or writes in it.
struct SqliteTable {
    QString name;
    QStringList columns;
};

// One prepared statement; finalized when it goes out of scope.
class SqliteStatement {
  public:
    enum class Step { Row, Done, Failed };

    SqliteStatement() = default;
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    bool valid() const { return statement_ != nullptr; }

    // Parameters count from 1, as in SQL's "?1".
    bool bind(int index, qint64 value);
    bool bind(int index, const QString& value);
    bool bindNull(int index);

    Step step();
    // Makes the statement ready to run again; the bound values stay.
    void reset();

    // Columns count from 0.
    qint64 int64(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

  private:
    friend class SqliteDatabase;
    explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}

    sqlite3_stmt* statement_ = nullptr;
};

class SqliteDatabase {
  public:
    enum class Access { ReadOnly, ReadWrite };

    SqliteDatabase() = default;
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    // Opens an existing database at a path on this disk; never creates one, and refuses a path
    // with a symbolic link in any of its components. SQLite's own busy wait is not used: a
    // locked database fails at once.
    bool open(const QString& localPath, Access access);
    // Creates the database when it is missing (for tests and benches that build fixtures).
    bool create(const QString& localPath);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // The last failure's text: SQLite's message, or why open() refused.
    const QString& errorText() const { return error_; }

    // Runs one or more statements, dropping any rows they return.
    bool exec(const QString& sql);
    // An invalid statement when the text does not compile (the reason in errorText()).
    SqliteStatement prepare(const QString& sql);
    // The first column of the first row, as a number; nothing on failure or without a row.
    std::optional<qint64> scalar(const QString& sql);
    // The first column of the first row, as a text; nothing on failure or without a row.
    std::optional<QString> textValue(const QString& sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    qint64 changes() const;

    // Whether the database has the table (views and virtual tables included).
    bool hasTable(const QString& table);
    // Empty when every named table has every named column, else what is missing, e.g.
    // "no table moz_places" or "no column moz_places.url".
    QString missingFromSchema(const QList<SqliteTable>& needed);
    // Empty when PRAGMA integrity_check says "ok", else its first complaint.
    QString integrityProblem();

    // Whether closing the last connection folds the write-ahead log into the database (SQLite's
    // default) or leaves it as it is.
    void setCheckpointOnClose(bool checkpoint);

  private:
    bool openWith(const QString& localPath, int flags);
    bool fail();
    // The statement stepped onto its first row; nothing on failure or without a row.
    std::optional<SqliteStatement> firstRow(const QString& sql);

    sqlite3* db_ = nullptr;
    QString error_;
};

}  // namespace qz
