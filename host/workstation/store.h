// The machine's database (machine.db): one SQLite file that holds the registry and
// the print spooler. Every change is one immediate transaction, so a process killed
// mid-change leaves the store as before or after it, and two processes on one
// machine take turns instead of losing each other's changes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace orv::host::store {

// Fixed key ids of the registry's own roots.
constexpr std::int64_t LocalMachineRootId = 1;
constexpr std::int64_t CurrentUserRootId = 2;
constexpr std::int64_t UsersRootId = 3;
constexpr std::int64_t ClassesKeyId = 5;  // HKEY_LOCAL_MACHINE\SOFTWARE\Classes

// Creates the schema and the given ports in a new database file.
bool Initialise(const std::filesystem::path& file, const std::vector<std::string>& ports, std::string& error);
bool Open(const std::filesystem::path& file, std::string& error);
void Close();
// In a forked child: forgets the parent's connection without closing it, since
// closing it there could disturb the parent's locks and journal.
void Abandon();
bool IsOpen();
sqlite3* Database();
// The last SQLite error message, for error texts.
std::string LastError();

// A prepared statement, cached per SQL text for the life of the connection. Binds
// are 1-based; Step answers true while there is a row.
class Query {
public:
    explicit Query(const char* sql);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    bool Ok() const { return statement_ != nullptr; }
    Query& Bind(int index, std::int64_t value);
    Query& Bind(int index, std::string_view text);
    Query& BindBlob(int index, const void* data, std::size_t size);
    Query& BindNull(int index);
    bool Step();  // true: a row is ready
    bool Run();   // steps to the end; false on an error
    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<unsigned char> Blob(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3_stmt* statement_;
    bool failed_ = false;
};

// BEGIN IMMEDIATE on construction; rolled back unless committed.
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool Ok() const { return begun_; }
    bool Commit();

private:
    bool begun_ = false;
    bool done_ = false;
};

std::int64_t LastInsertId();
// True inside a transaction of this connection.
bool InTransaction();
// Changes whenever another connection committed since the last call.
std::int64_t DataVersion();

// Keeps a key path's letters in one case so that names compare without regard to
// case: ASCII and the ANSI code page's letters upper-cased, double-byte characters
// kept as they are.
std::string FoldName(std::string_view name);

}  // namespace orv::host::store
