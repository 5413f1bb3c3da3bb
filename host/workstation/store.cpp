// The machine's SQLite store: schema, connection, cached statements, transactions.
#include "host/workstation/store.h"

#include <map>
#include <memory>
#include <sqlite3.h>

#include "host/text/ansi_text.h"

namespace orv::host::store {
namespace {

sqlite3* g_database = nullptr;
std::map<std::string, sqlite3_stmt*, std::less<>> g_statements;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys (
    id INTEGER PRIMARY KEY,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    class TEXT NOT NULL DEFAULT '',
    written INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS keys_by_parent ON keys(parent, folded);
CREATE TABLE IF NOT EXISTS key_values (
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, folded)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS ports (
    seq INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
CREATE TABLE IF NOT EXISTS drivers (
    seq INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE,
    version INTEGER NOT NULL,
    environment TEXT NOT NULL,
    driver_path TEXT NOT NULL,
    data_file TEXT NOT NULL,
    config_file TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS printers (
    seq INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE COLLATE NOCASE,
    port TEXT NOT NULL,
    driver TEXT NOT NULL,
    share_name TEXT NOT NULL DEFAULT '',
    comment TEXT NOT NULL DEFAULT '',
    location TEXT NOT NULL DEFAULT '',
    sep_file TEXT NOT NULL DEFAULT '',
    print_processor TEXT NOT NULL DEFAULT 'winprint',
    datatype TEXT NOT NULL DEFAULT 'RAW',
    parameters TEXT NOT NULL DEFAULT '',
    attributes INTEGER NOT NULL,
    priority INTEGER NOT NULL,
    default_priority INTEGER NOT NULL,
    start_time INTEGER NOT NULL DEFAULT 0,
    until_time INTEGER NOT NULL DEFAULT 0,
    jobs INTEGER NOT NULL DEFAULT 0,
    pending_deletion INTEGER NOT NULL DEFAULT 0
);
INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES
    (1, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (3, 0, 'HKEY_USERS', 'HKEY_USERS');
)sql";

// The keys a new workstation has: the view behind HKEY_CLASSES_ROOT, the parent of
// the spooler's printer keys, and the default user.
constexpr const char* kNewMachineKeys = R"sql(
INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES
    (4, 1, 'SOFTWARE', 'SOFTWARE'),
    (5, 4, 'Classes', 'CLASSES'),
    (6, 1, 'SYSTEM', 'SYSTEM'),
    (7, 6, 'CurrentControlSet', 'CURRENTCONTROLSET'),
    (8, 7, 'Control', 'CONTROL'),
    (9, 8, 'Print', 'PRINT'),
    (10, 9, 'Printers', 'PRINTERS'),
    (11, 3, '.DEFAULT', '.DEFAULT');
)sql";

void FinaliseStatements()
{
    for (auto& [sql, statement] : g_statements) sqlite3_finalize(statement);
    g_statements.clear();
}

bool Execute(sqlite3* database, const char* sql, std::string& error)
{
    char* message = nullptr;
    if (sqlite3_exec(database, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(database);
    sqlite3_free(message);
    return false;
}

bool Connect(const std::filesystem::path& file, int flags, sqlite3*& database, std::string& error)
{
    database = nullptr;
    if (sqlite3_open_v2(file.c_str(), &database, flags, nullptr) != SQLITE_OK) {
        error = "cannot open the machine database \"" + file.string() + "\": " +
                (database ? sqlite3_errmsg(database) : "out of memory");
        sqlite3_close(database);
        database = nullptr;
        return false;
    }
    // Writers wait for each other instead of failing; WAL keeps readers off their way
    // and a commit is whole or absent after a kill.
    sqlite3_busy_timeout(database, 30000);
    std::string sqlError;
    if (!Execute(database, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=8192;",
                 sqlError)) {
        error = "cannot use the machine database \"" + file.string() + "\": " + sqlError;
        sqlite3_close(database);
        database = nullptr;
        return false;
    }
    return true;
}

}  // namespace

bool Initialise(const std::filesystem::path& file, const std::vector<std::string>& ports, std::string& error)
{
    sqlite3* database = nullptr;
    if (!Connect(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, database, error)) return false;
    std::string sqlError;
    bool ok = Execute(database, "BEGIN IMMEDIATE", sqlError) && Execute(database, kSchema, sqlError) &&
              Execute(database, kNewMachineKeys, sqlError);
    for (std::size_t i = 0; ok && i < ports.size(); ++i) {
        sqlite3_stmt* insert = nullptr;
        ok = sqlite3_prepare_v2(database, "INSERT OR IGNORE INTO ports(name) VALUES (?)", -1, &insert, nullptr) ==
             SQLITE_OK;
        if (ok) {
            sqlite3_bind_text(insert, 1, ports[i].data(), static_cast<int>(ports[i].size()), SQLITE_TRANSIENT);
            ok = sqlite3_step(insert) == SQLITE_DONE;
        }
        if (!ok) sqlError = sqlite3_errmsg(database);
        sqlite3_finalize(insert);
    }
    ok = ok && Execute(database, "COMMIT", sqlError);
    if (!ok) error = "cannot create the machine database \"" + file.string() + "\": " + sqlError;
    sqlite3_close(database);
    return ok;
}

bool Open(const std::filesystem::path& file, std::string& error)
{
    Close();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        error = "the machine database \"" + file.string() + "\" is missing";
        return false;
    }
    sqlite3* database = nullptr;
    if (!Connect(file, SQLITE_OPEN_READWRITE, database, error)) return false;
    std::string sqlError;
    // An older or foreign file shows here rather than in the first registry call.
    if (!Execute(database, "SELECT count(*) FROM keys; SELECT count(*) FROM printers;", sqlError)) {
        error = "\"" + file.string() + "\" is not a machine database: " + sqlError;
        sqlite3_close(database);
        return false;
    }
    g_database = database;
    return true;
}

void Close()
{
    FinaliseStatements();
    if (g_database) sqlite3_close(g_database);
    g_database = nullptr;
}

void Abandon()
{
    g_statements.clear();
    g_database = nullptr;
}

bool IsOpen() { return g_database != nullptr; }
sqlite3* Database() { return g_database; }
std::string LastError() { return g_database ? sqlite3_errmsg(g_database) : "the machine is not open"; }
bool InTransaction() { return g_database && sqlite3_get_autocommit(g_database) == 0; }

std::int64_t DataVersion()
{
    Query query("PRAGMA data_version");
    return query.Step() ? query.Int(0) : -1;
}

std::int64_t LastInsertId() { return g_database ? sqlite3_last_insert_rowid(g_database) : 0; }

Query::Query(const char* sql) : statement_(nullptr)
{
    if (!g_database) return;
    auto found = g_statements.find(std::string_view(sql));
    if (found != g_statements.end()) {
        statement_ = found->second;
        return;
    }
    if (sqlite3_prepare_v2(g_database, sql, -1, &statement_, nullptr) != SQLITE_OK) {
        statement_ = nullptr;
        return;
    }
    g_statements.emplace(sql, statement_);
}

Query::~Query()
{
    if (statement_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

Query& Query::Bind(int index, std::int64_t value)
{
    if (statement_) sqlite3_bind_int64(statement_, index, value);
    return *this;
}

Query& Query::Bind(int index, std::string_view text)
{
    if (statement_) sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Query& Query::BindBlob(int index, const void* data, std::size_t size)
{
    // A zero-length blob must still be a blob, not NULL.
    static const unsigned char empty = 0;
    if (statement_)
        sqlite3_bind_blob(statement_, index, size ? data : &empty, static_cast<int>(size), SQLITE_TRANSIENT);
    return *this;
}

Query& Query::BindNull(int index)
{
    if (statement_) sqlite3_bind_null(statement_, index);
    return *this;
}

bool Query::Step()
{
    if (!statement_ || failed_) return false;
    int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result != SQLITE_DONE) failed_ = true;
    return false;
}

bool Query::Run()
{
    if (!statement_) return false;
    while (Step()) {
    }
    return !failed_;
}

std::int64_t Query::Int(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Query::Text(int column) const
{
    const unsigned char* text = sqlite3_column_text(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)) : std::string();
}

std::vector<unsigned char> Query::Blob(int column) const
{
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(statement_, column));
    int size = sqlite3_column_bytes(statement_, column);
    return data ? std::vector<unsigned char>(data, data + size) : std::vector<unsigned char>();
}

bool Query::IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

Transaction::Transaction()
{
    if (g_database) begun_ = sqlite3_exec(g_database, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

Transaction::~Transaction()
{
    if (begun_ && !done_) sqlite3_exec(g_database, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Transaction::Commit()
{
    if (!begun_ || done_) return false;
    done_ = sqlite3_exec(g_database, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    return done_;
}

std::string FoldName(std::string_view name)
{
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        auto byte = static_cast<unsigned char>(folded[i]);
        if (orv::text::IsDbcsLeadByte(byte) && i + 1 < folded.size()) {
            ++i;
            continue;
        }
        folded[i] = static_cast<char>(orv::text::UpperByte(byte));
    }
    return folded;
}

}  // namespace orv::host::store
