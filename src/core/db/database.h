#pragma once
// Company database access over the Firebird OO API.
//
// A Connection is one attachment; a Transaction runs statements on it and rolls back on
// destruction unless committed, so an operation that throws leaves the database as it was.
// Every value goes in as a bound parameter ("?"), never spliced into the SQL text; rows are
// read by column name. NUMERIC(18,2) reads and binds as Amount (exact centavos), DATE as Date.
// A select that returns no row reads as 0 / empty text through the scalar helpers.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/amount.h"
#include "app/date.h"

namespace kesh::db {

// A database error: the server's message text, its codes, and what we were doing.
class DbError : public std::runtime_error {
public:
    DbError(const std::string& serverText, int64_t gdscode = 0, std::string sqlstate = {});
    const std::string& serverText() const { return serverText_; }
    int64_t gdscode() const { return gdscode_; }
    const std::string& sqlstate() const { return sqlstate_; }
    // The chain of context, innermost last ("al abrir la empresa x: ...").
    const std::vector<std::string>& context() const { return context_; }
    // Returns a copy whose message starts with `ctx`.
    DbError withContext(const std::string& ctx) const;

    bool isUniqueViolation() const;  // duplicate primary or unique key
    bool isLockConflict() const;     // update conflict / deadlock with another transaction
    bool isConnectionFailure() const;

private:
    std::string serverText_;
    int64_t gdscode_;
    std::string sqlstate_;
    std::vector<std::string> context_;
};

// A bound parameter value. Null is std::monostate (write `Value()` or `nullptr`).
class Value {
public:
    using Variant = std::variant<std::monostate, int64_t, double, std::string, Amount, Date, bool>;
    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(int64_t(v)) {}
    Value(long v) : v_(int64_t(v)) {}
    Value(long long v) : v_(int64_t(v)) {}
    Value(unsigned v) : v_(int64_t(v)) {}
    Value(unsigned long v) : v_(int64_t(v)) {}
    Value(double v) : v_(v) {}
    Value(bool v) : v_(v) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(Amount v) : v_(v) {}
    Value(Date v) : v_(v) {}
    template <class T> Value(const std::optional<T>& o) { if (o) *this = Value(*o); }
    const Variant& get() const { return v_; }
    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }

private:
    Variant v_;
};
using Params = std::vector<Value>;

enum class Isolation { Snapshot, ReadCommitted };
struct TxOptions {
    Isolation isolation = Isolation::Snapshot;
    bool readOnly = false;
    int lockTimeoutSeconds = -1;  // -1 waits for ever, 0 does not wait
};

class Connection;
class Transaction;

// A prepared statement. Re-executable with new parameters; after open() or execute() of a
// statement that returns values, the getters read the current row.
class Statement {
public:
    Statement(Transaction& tr, std::string_view sql);
    ~Statement();
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Runs a statement that is not a select. When it returns values (insert ... returning,
    // execute procedure) they become the current row. Returns the rows affected.
    uint64_t execute(const Params& params = {});
    // Opens a cursor on a select; then call next() until it returns false.
    void open(const Params& params = {});
    bool next();
    void close();
    bool hasRow() const;

    int columnCount() const;
    std::string columnName(int index) const;
    int columnIndex(std::string_view name) const;  // -1 when absent (case-insensitive)

    bool isNull(std::string_view column) const;
    int64_t getInt(std::string_view column) const;       // null -> 0; scaled values truncated
    double getDouble(std::string_view column) const;     // null -> 0
    Amount getAmount(std::string_view column) const;     // null -> 0, rounded to centavos
    Date getDate(std::string_view column) const;         // null -> zero date
    std::string getText(std::string_view column) const;  // null -> ""; CHAR keeps its padding

    bool isNull(int index) const;
    int64_t getInt(int index) const;
    double getDouble(int index) const;
    Amount getAmount(int index) const;
    Date getDate(int index) const;
    std::string getText(int index) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

class Transaction {
public:
    Transaction(Transaction&&) noexcept;
    Transaction& operator=(Transaction&&) noexcept;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();  // rolls back when still active

    void commit();
    void rollback();
    // Commits the work and keeps the transaction (and its snapshot) open.
    void commitRetaining();
    bool active() const;

    Statement prepare(std::string_view sql) { return Statement(*this, sql); }
    // One statement, no result rows. Returns the rows affected.
    uint64_t execute(std::string_view sql, const Params& params = {});
    // First column of the first row; no row or null gives 0 / "" / zero date.
    int64_t queryInt(std::string_view sql, const Params& params = {});
    std::string queryText(std::string_view sql, const Params& params = {});
    Amount queryAmount(std::string_view sql, const Params& params = {});
    Date queryDate(std::string_view sql, const Params& params = {});
    // Runs `insert ... returning id` (or any statement returning one integer) and gives it.
    int64_t insertReturningId(std::string_view sql, const Params& params = {});

    struct State;

private:
    friend class Connection;
    friend class Statement;
    explicit Transaction(std::shared_ptr<State> st) : st_(std::move(st)) {}
    std::shared_ptr<State> st_;
};

class Connection {
public:
    // The fixed parameters every company connection uses.
    static constexpr const char* kUser = "SYSDBA";
    static constexpr const char* kPassword = "plumtrove";

    // A local path opens the file with the embedded engine; "host:path",
    // "host/port:path" and "inet://..." reach a server.
    static Connection open(const std::string& dsn);
    static Connection open(const std::string& dsn, const std::string& user,
                           const std::string& password);
    // Creates an empty UTF8 database (page size 16 KB).
    static Connection create(const std::string& path);
    static bool isRemoteName(std::string_view dsn);

    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    Transaction begin(const TxOptions& opts = {});
    // DDL and other statements with no parameters, each in its own committed transaction.
    void executeImmediate(std::string_view sql);
    void close();
    bool isOpen() const;
    const std::string& dsn() const;

    struct State;

private:
    explicit Connection(std::shared_ptr<State> st) : st_(std::move(st)) {}
    std::shared_ptr<State> st_;
};

// Runs `work` in a new transaction on a new connection to `dsn` and commits; any exception
// rolls back, closes, and propagates. This is the per-operation connection of the program.
template <class F>
auto WithTransaction(const std::string& dsn, F&& work) {
    Connection conn = Connection::open(dsn);
    Transaction tr = conn.begin();
    if constexpr (std::is_void_v<decltype(work(tr))>) {
        work(tr);
        tr.commit();
    } else {
        auto result = work(tr);
        tr.commit();
        return result;
    }
}

// The embedded engine runs in SuperClassic mode from a private root folder, so several
// processes of this user (the program, isql-fb, a second copy) can open one file at once.
// Called by the first connection; call it earlier to choose the folder. Does nothing when
// FIREBIRD is already set in the environment (a test harness or the user chose a root).
void PrepareEngine(const std::string& rootDir = {});
// Detaches the engine cleanly; registered to run at exit by the first connection.
void ShutdownEngine();

} // namespace kesh::db
