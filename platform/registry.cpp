#include "registry.h"

#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "file_rewrite.h"
#include "registry_wait.h"

namespace platform::registry {
namespace {

// Root keys are rows with these fixed ids, created with the database.
struct Root {
    Handle handle;
    int64_t id;
    const char* name;
};
constexpr Root kRoots[] = {
    {HKEY_CLASSES_ROOT, 1, "HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, 2, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, 3, "HKEY_LOCAL_MACHINE"},   {HKEY_USERS, 4, "HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, 5, "HKEY_CURRENT_CONFIG"},
};

// NOCASE folds ASCII letters only, which is the comparison names need. AUTOINCREMENT keeps the
// id of a deleted key from being given to a new one, so old handles see the deletion.
constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS reg_keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER,
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
CREATE TABLE IF NOT EXISTS reg_values(
    key INTEGER NOT NULL,
    name TEXT NOT NULL COLLATE NOCASE,
    kind INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, name)) WITHOUT ROWID;
)";

// A database call failed with SQLite's extended result code and message.
struct DbFailure {
    int code;
    std::string message;
};

DbFailure FailureOf(sqlite3* db) {
    return DbFailure{sqlite3_extended_errcode(db), sqlite3_errmsg(db)};
}

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw FailureOf(db);
}

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw FailureOf(db);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt_); }

    Statement& Bind(int i, int64_t v) {
        Check(sqlite3_bind_int64(stmt_, i, v));
        return *this;
    }
    Statement& Bind(int i, std::string_view text) {
        Check(sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    Statement& BindBlob(int i, const uint8_t* data, uint32_t size) {
        // A null pointer would bind SQL NULL; an empty value is an empty blob.
        static const uint8_t kEmpty = 0;
        Check(sqlite3_bind_blob64(stmt_, i, size ? data : &kEmpty, size, SQLITE_TRANSIENT));
        return *this;
    }
    // True when a row is available.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw FailureOf(db_);
    }
    int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    const uint8_t* Blob(int col) const {
        return static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, col));
    }
    uint32_t Bytes(int col) const {
        return static_cast<uint32_t>(sqlite3_column_bytes(stmt_, col));
    }

  private:
    void Check(int rc) const {
        if (rc != SQLITE_OK)
            throw FailureOf(db_);
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// True once the tables exist; they and the root keys are created in one transaction.
bool SchemaPresent(sqlite3* db) {
    Statement tables(db,
                     "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                     "name IN ('reg_keys', 'reg_values')");
    return tables.Step() && tables.Int(0) == 2;
}

thread_local Failure tLastFailure;
thread_local long tLastFailedStatus = kSuccess;  // the status tLastFailure stands behind

// Records what failed for LastFailure() and returns its status.
long Fail(long status, const std::string& database, const std::string& what, int sqliteCode,
          int systemError, const std::string& message) {
    std::string text = "The registry database";
    if (!database.empty())
        text += " " + database;
    text += " " + what + ": " + message;
    if (sqliteCode != 0)
        text += " (SQLite error " + std::to_string(sqliteCode) + ")";
    tLastFailure = Failure{systemError, sqliteCode, std::move(text)};
    tLastFailedStatus = status;
    return status;
}

long Fail(long status, const std::string& database, const std::string& what, const DbFailure& f) {
    return Fail(status, database, what, f.code, 0, f.message);
}

// Whether an operation reads the registry or changes it.
enum class Access { kRead, kWrite };

// A database failure of a read or a write, by what SQLite said: a lock that stayed taken
// for the whole wait is kBusy.
long Fail(Access access, const std::string& database, const DbFailure& f) {
    if ((f.code & 0xFF) == SQLITE_BUSY || (f.code & 0xFF) == SQLITE_LOCKED)
        return Fail(kBusy, database, "is locked by another process", f);
    return access == Access::kWrite ? Fail(kCantWrite, database, "could not be written", f)
                                    : Fail(kCantRead, database, "could not be read", f);
}

long FailSystem(long status, const std::string& database, const std::string& what, int error,
                const std::string& about) {
    return Fail(status, database, what, 0, error, about + ": " + std::strerror(error));
}

// The path as a URI's path: the characters that end or escape one are percent-encoded.
std::string UriPath(const std::string& path) {
    std::string uri;
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#')
            uri += c == '%' ? "%25" : c == '?' ? "%3f" : "%23";
        else
            uri += c;
    }
    return uri;
}

// Names cross as C strings: anything after a NUL is not part of them.
std::string_view CName(const std::string& s) {
    return std::string_view(s.c_str());
}

// Splits a key path into its parts; nullopt for a leading "\" or an empty part inside.
// One trailing "\" is allowed and names the key before it.
std::optional<std::vector<std::string_view>> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    if (path.empty())
        return parts;
    if (path.front() == '\\')
        return std::nullopt;
    if (path.back() == '\\')
        path.remove_suffix(1);
    for (;;) {
        const size_t sep = path.find('\\');
        const std::string_view part = path.substr(0, sep);
        if (part.empty())
            return std::nullopt;
        parts.push_back(part);
        if (sep == std::string_view::npos)
            return parts;
        path.remove_prefix(sep + 1);
    }
}

std::string DatabasePath() {
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home)
            return {};
        base = std::filesystem::path(home) / ".config";
    }
    return (base / "qfstore" / "registry.sqlite3").string();
}

class Registry;
Registry& TheRegistry();

struct OpenEntry {
    int64_t id;
    uint32_t access;
};

class Registry {
  public:
    Registry() {
        // SQLite must not see a connection carried over fork: its lock bookkeeping is per process
        // and would claim locks the child does not hold. Close before forking; both sides
        // reopen on their next operation.
        pthread_atfork([] { TheRegistry().BeforeFork(); }, [] { TheRegistry().AfterFork(); },
                       [] { TheRegistry().AfterFork(); });
    }
    ~Registry() { Disconnect(); }

    // `creating`: how a missing key's creation waits for another process's lock.
    long CreateKey(Handle key, const std::string& subKey, uint32_t access, Handle* result,
                   uint32_t* disposition, Wait creating) {
        if (!result)
            return kInvalidParameter;
        *result = 0;
        std::lock_guard lock(mutex_);
        bool created = false;
        int64_t id = 0;
        // Opening a key that exists is a read: it needs neither the write lock nor a database
        // that can be written.
        long status = Run(
            key, subKey, Access::kRead,
            [&](const OpenEntry& base, const auto& parts) { return Walk(base.id, parts, &id); });
        if (status == kFileNotFound) {
            status = Run(
                key, subKey, Access::kWrite,
                [&](const OpenEntry& base, const auto& parts) {
                    return CreateParts(base, parts, &id, &created);
                },
                0, creating);
        }
        if (status != kSuccess)
            return status;
        *result = NewHandle(id, access);
        if (disposition)
            *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return kSuccess;
    }

    long OpenKey(Handle key, const std::string& subKey, uint32_t access, Handle* result) {
        if (!result)
            return kInvalidParameter;
        *result = 0;
        std::lock_guard lock(mutex_);
        int64_t id = 0;
        const long status = Run(
            key, subKey, Access::kRead,
            [&](const OpenEntry& base, const auto& parts) { return Walk(base.id, parts, &id); });
        if (status != kSuccess)
            return status;
        *result = NewHandle(id, access);
        return kSuccess;
    }

    long SetValue(Handle key, const std::string& valueName, uint32_t kind, const uint8_t* data,
                  uint32_t size) {
        if (!data && size)
            return kInvalidParameter;
        std::lock_guard lock(mutex_);
        return RunValue(key, KEY_SET_VALUE, Access::kWrite, [&](int64_t id) {
            // On a clash of names the first spelling stays.
            Statement upsert(db_,
                             "INSERT INTO reg_values(key, name, kind, data) VALUES(?, ?, ?, ?) "
                             "ON CONFLICT(key, name) DO UPDATE SET kind = excluded.kind, "
                             "data = excluded.data");
            upsert.Bind(1, id).Bind(2, CName(valueName)).Bind(3, kind).BindBlob(4, data, size);
            upsert.Step();
            return kSuccess;
        });
    }

    long QueryValue(Handle key, const std::string& valueName, uint32_t* kind, uint8_t* data,
                    uint32_t* size) {
        if (data && !size)
            return kInvalidParameter;
        std::lock_guard lock(mutex_);
        return RunValue(key, KEY_QUERY_VALUE, Access::kRead, [&](int64_t id) {
            Statement query(db_, "SELECT kind, data FROM reg_values WHERE key = ? AND name = ?");
            query.Bind(1, id).Bind(2, CName(valueName));
            if (!query.Step())
                return kFileNotFound;
            const uint32_t needed = query.Bytes(1);
            if (kind)
                *kind = static_cast<uint32_t>(query.Int(0));
            if (!data) {
                if (size)
                    *size = needed;
                return kSuccess;
            }
            const bool fits = *size >= needed;
            *size = needed;
            if (!fits)
                return kMoreData;
            if (needed)
                std::memcpy(data, query.Blob(1), needed);
            return kSuccess;
        });
    }

    long DeleteValue(Handle key, const std::string& valueName) {
        std::lock_guard lock(mutex_);
        return RunValue(key, KEY_SET_VALUE, Access::kWrite, [&](int64_t id) {
            Statement erase(db_, "DELETE FROM reg_values WHERE key = ? AND name = ?");
            erase.Bind(1, id).Bind(2, CName(valueName)).Step();
            return sqlite3_changes(db_) ? kSuccess : kFileNotFound;
        });
    }

    long DeleteKey(Handle key, const std::string& subKey) {
        std::lock_guard lock(mutex_);
        return Run(key, subKey, Access::kWrite, [&](const OpenEntry& base, const auto& parts) {
            int64_t id = 0;
            if (const long status = Walk(base.id, parts, &id); status != kSuccess)
                return status;
            if (IsRootId(id))
                return kAccessDenied;
            Statement children(db_, "SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1");
            if (children.Bind(1, id).Step())
                return kAccessDenied;
            Statement values(db_, "DELETE FROM reg_values WHERE key = ?");
            values.Bind(1, id).Step();
            Statement erase(db_, "DELETE FROM reg_keys WHERE id = ?");
            erase.Bind(1, id).Step();
            return kSuccess;
        });
    }

    long CloseKey(Handle key) {
        if (RootId(key))
            return kSuccess;
        std::lock_guard lock(mutex_);
        return handles_.erase(key) ? kSuccess : kInvalidHandle;
    }

    void BeforeFork() {
        mutex_.lock();
        Disconnect();
    }
    void AfterFork() { mutex_.unlock(); }

  private:
    static std::optional<int64_t> RootId(Handle key) {
        for (const Root& root : kRoots) {
            if (root.handle == key)
                return root.id;
        }
        return std::nullopt;
    }
    static bool IsRootId(int64_t id) {
        for (const Root& root : kRoots) {
            if (root.id == id)
                return true;
        }
        return false;
    }

    std::optional<OpenEntry> Lookup(Handle key) const {
        if (const auto id = RootId(key))
            return OpenEntry{*id, KEY_ALL_ACCESS};
        const auto it = handles_.find(key);
        if (it == handles_.end())
            return std::nullopt;
        return it->second;
    }

    Handle NewHandle(int64_t id, uint32_t access) {
        // Handles are never reused, so a closed one stays invalid.
        next_ += 4;
        handles_[next_] = OpenEntry{id, access};
        return next_;
    }

    std::optional<int64_t> Child(int64_t parent, std::string_view name) {
        if (!schemaReady_)
            return std::nullopt;
        Statement find(db_, "SELECT id FROM reg_keys WHERE parent = ? AND name = ?");
        find.Bind(1, parent).Bind(2, name);
        if (!find.Step())
            return std::nullopt;
        return find.Int(0);
    }

    long Walk(int64_t id, const std::vector<std::string_view>& parts, int64_t* result) {
        for (const std::string_view part : parts) {
            const auto child = Child(id, part);
            if (!child)
                return kFileNotFound;
            id = *child;
        }
        *result = id;
        return kSuccess;
    }

    // Walks the path below base, creating the parts that are missing.
    long CreateParts(const OpenEntry& base, const std::vector<std::string_view>& parts,
                     int64_t* result, bool* created) {
        int64_t id = base.id;
        for (const std::string_view part : parts) {
            if (const auto child = Child(id, part)) {
                id = *child;
                continue;
            }
            if (!(base.access & KEY_CREATE_SUB_KEY))
                return kAccessDenied;
            Statement insert(db_, "INSERT INTO reg_keys(parent, name) VALUES(?, ?)");
            insert.Bind(1, id).Bind(2, part).Step();
            id = sqlite3_last_insert_rowid(db_);
            *created = true;
        }
        *result = id;
        return kSuccess;
    }

    bool KeyExists(int64_t id) {
        if (!schemaReady_)
            return IsRootId(id);
        Statement find(db_, "SELECT 1 FROM reg_keys WHERE id = ?");
        return find.Bind(1, id).Step();
    }

    // Runs body(entry, path parts) in one transaction, after checking the handle, its `needed`
    // access (none when 0), the path and that the handle's key still exists. A failing body's
    // changes are rolled back. A lock held by another process is waited for as `wait` says,
    // by default as the access's kind does.
    template <typename Body>
    long Run(Handle key, const std::string& subKey, Access access, Body&& body, uint32_t needed = 0,
             std::optional<Wait> wait = std::nullopt) {
        wait_.Arm(wait.value_or(access == Access::kWrite ? Wait::kWriter : Wait::kReader));
        if (const long status = Connect(access); status != kSuccess)
            return status;
        const auto entry = Lookup(key);
        if (!entry)
            return kInvalidHandle;
        if (needed && !(entry->access & needed))
            return kAccessDenied;
        const auto parts = SplitPath(CName(subKey));
        if (!parts)
            return kBadPathname;
        return Transaction(access, [&] {
            if (!KeyExists(entry->id))
                return kKeyDeleted;
            return static_cast<long>(body(*entry, *parts));
        });
    }

    // Runs body(key id) for a value operation on the handle's own key; no value is found where
    // there are no tables.
    template <typename Body>
    long RunValue(Handle key, uint32_t needed, Access access, Body&& body) {
        return Run(
            key, std::string(), access,
            [&](const OpenEntry& entry, const auto&) {
                return schemaReady_ ? static_cast<long>(body(entry.id)) : kFileNotFound;
            },
            needed);
    }

    // A read starts no transaction of the writer's kind: with the write-ahead log it sees the
    // last commit and never waits for a writer. A write takes the write lock up front, so that
    // a busy writer is waited for instead of failing when a read lock would have to be
    // upgraded. Without a database (nothing written yet) a read finds an empty registry.
    template <typename Body>
    long Transaction(Access access, Body&& body) {
        if (!db_)
            return body();
        long status = kSuccess;
        try {
            Exec(db_, access == Access::kWrite ? "BEGIN IMMEDIATE" : "BEGIN");
        } catch (const DbFailure& f) {
            return Fail(access, path_, f);
        }
        try {
            if (!schemaReady_)
                schemaReady_ = SchemaPresent(db_);
            status = body();
            if (status == kSuccess || access == Access::kRead) {
                Exec(db_, "COMMIT");
                return status;
            }
        } catch (const DbFailure& f) {
            status = Fail(access, path_, f);
        }
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return status;
    }

    void Disconnect() {
        if (db_ && owner_ == getpid())
            sqlite3_close(db_);
        db_ = nullptr;
        writable_ = false;
        immutable_ = false;
        schemaReady_ = false;
    }

    // Connects to the database of the current XDG_CONFIG_HOME: for a write, a connection that
    // may write, creating folder, file and tables when missing; for a read, any connection,
    // opening the file read-only and creating nothing. A connection that is somehow still
    // inherited over fork is left alone.
    long Connect(Access access) {
        const std::string path = DatabasePath();
        if (path.empty()) {
            return Fail(access == Access::kWrite ? kCantWrite : kCantRead, path, "has no folder", 0,
                        0, "neither XDG_CONFIG_HOME nor HOME is set");
        }
        if (db_ && owner_ != getpid())
            db_ = nullptr;  // not this process's to close
        if (path != path_) {
            handles_.clear();
            Disconnect();
            path_ = path;
        }
        if (db_ && (writable_ || access == Access::kRead) && !immutable_)
            return kSuccess;
        Disconnect();
        return access == Access::kWrite ? ConnectForWriting() : ConnectForReading();
    }

    // Opens the database file with `flags`; a failure is reported as `failure`.
    long Open(int flags, long failure, sqlite3*& db) {
        if (sqlite3_open_v2(path_.c_str(), &db, flags, nullptr) == SQLITE_OK)
            return kSuccess;
        const long status = Fail(failure, path_, "could not be opened", FailureOf(db));
        sqlite3_close(db);
        db = nullptr;
        return status;
    }

    long ConnectForReading() {
        struct stat st {};
        if (stat(path_.c_str(), &st) != 0) {
            // Nothing written yet: every read finds an empty registry.
            if (errno == ENOENT || errno == ENOTDIR)
                return kSuccess;
            return FailSystem(kCantRead, path_, "could not be opened", errno, path_);
        }
        sqlite3* db = nullptr;
        if (const long status = Open(SQLITE_OPEN_READONLY, kCantRead, db); status != kSuccess)
            return status;
        wait_.Attach(db, path_);
        bool tables = false;
        try {
            tables = SchemaPresent(db);
        } catch (const DbFailure& f) {
            sqlite3_close(db);
            if ((f.code & 0xFF) == SQLITE_BUSY)
                return Fail(Access::kRead, path_, f);
            // The write-ahead log's shared index could not be set up (a full disk, a folder
            // that cannot be written), so no writer can be at work either: read the file as it
            // stands, for this one operation.
            db = nullptr;
            if (sqlite3_open_v2(("file:" + UriPath(path_) + "?immutable=1").c_str(), &db,
                                SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
                sqlite3_close(db);
                return Fail(Access::kRead, path_, f);
            }
            Adopt(db, false, false);
            immutable_ = true;
            return kSuccess;
        }
        Adopt(db, false, tables);
        return kSuccess;
    }

    long ConnectForWriting() {
        const std::filesystem::path file(path_);
        if (const int error = files::MakeFolders(file.parent_path().string()))
            return FailSystem(kCantWrite, path_, "could not be created", error,
                              file.parent_path().string());
        // SQLite gives its journal files the database file's mode.
        const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            close(fd);
        else if (errno != EEXIST)
            return FailSystem(kCantWrite, path_, "could not be created", errno, path_);
        sqlite3* db = nullptr;
        if (const long status = Open(SQLITE_OPEN_READWRITE, kCantWrite, db); status != kSuccess)
            return status;
        // SQLite opens a file it may not write read-only without saying so.
        if (sqlite3_db_readonly(db, "main") == 1) {
            sqlite3_close(db);
            return Fail(kCantWrite, path_, "could not be written", SQLITE_READONLY, 0,
                        sqlite3_errstr(SQLITE_READONLY));
        }
        wait_.Attach(db, path_);
        try {
            SetUpForWriting(db);
        } catch (const DbFailure& f) {
            sqlite3_close(db);
            return Fail(Access::kWrite, path_, f);
        }
        Adopt(db, true, true);
        return kSuccess;
    }

    // Takes `db` as the connection; `tables`: it is known to hold the tables already.
    void Adopt(sqlite3* db, bool writable, bool tables) {
        db_ = db;
        owner_ = getpid();
        writable_ = writable;
        schemaReady_ = tables;
    }

    // The write-ahead log, durable commits and the tables with their root keys.
    static void SetUpForWriting(sqlite3* db) {
        // Switching to WAL needs a moment alone with a new file; another process creating it
        // at the same time makes that busy without calling the busy handler.
        const auto deadline = std::chrono::steady_clock::now() + kReadWait;
        int rc = SQLITE_BUSY;
        while ((rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr)) ==
                   SQLITE_BUSY &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (rc != SQLITE_OK)
            throw FailureOf(db);
        // Every committed operation is on disk before the call returns.
        Exec(db, "PRAGMA synchronous = FULL");
        if (SchemaPresent(db))
            return;
        Exec(db, "BEGIN IMMEDIATE");
        try {
            Exec(db, kSchema);
            for (const Root& root : kRoots) {
                Statement insert(db,
                                 "INSERT OR IGNORE INTO reg_keys(id, parent, name) "
                                 "VALUES(?, NULL, ?)");
                insert.Bind(1, root.id).Bind(2, root.name).Step();
            }
            Exec(db, "COMMIT");
        } catch (const DbFailure&) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    std::mutex mutex_;
    sqlite3* db_ = nullptr;  // null also when a read found no database file
    std::string path_;
    pid_t owner_ = 0;
    bool writable_ = false;     // db_ was opened for writing and set up
    bool immutable_ = false;    // db_ reads the file without the log's index, for one operation
    bool schemaReady_ = false;  // db_ holds the tables
    std::unordered_map<Handle, OpenEntry> handles_;
    Handle next_ = 0x100;
    LockWait wait_;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

long CreateKey(Handle key, const std::string& subKey, uint32_t access, Handle* result,
               uint32_t* disposition) {
    return TheRegistry().CreateKey(key, subKey, access, result, disposition, Wait::kWriter);
}

long CreateKeyForReading(Handle key, const std::string& subKey, uint32_t access, Handle* result,
                         uint32_t* disposition) {
    return TheRegistry().CreateKey(key, subKey, access, result, disposition, Wait::kReader);
}

long OpenKey(Handle key, const std::string& subKey, uint32_t access, Handle* result) {
    return TheRegistry().OpenKey(key, subKey, access, result);
}

long SetValue(Handle key, const std::string& valueName, uint32_t kind, const uint8_t* data,
              uint32_t size) {
    return TheRegistry().SetValue(key, valueName, kind, data, size);
}

long QueryValue(Handle key, const std::string& valueName, uint32_t* kind, uint8_t* data,
                uint32_t* size) {
    return TheRegistry().QueryValue(key, valueName, kind, data, size);
}

long DeleteValue(Handle key, const std::string& valueName) {
    return TheRegistry().DeleteValue(key, valueName);
}

long DeleteKey(Handle key, const std::string& subKey) {
    return TheRegistry().DeleteKey(key, subKey);
}

long CloseKey(Handle key) {
    return TheRegistry().CloseKey(key);
}

const Failure& LastFailure() {
    return tLastFailure;
}

std::string StatusText(long status) {
    switch (status) {
        case kSuccess:
            return "The operation completed successfully";
        case kFileNotFound:
            return "The key or value does not exist";
        case kAccessDenied:
            return "Access denied";
        case kInvalidHandle:
            return "Invalid handle";
        case kInvalidParameter:
            return "Invalid parameter";
        case kBadPathname:
            return "Invalid key path";
        case kMoreData:
            return "More data is available";
        case kKeyDeleted:
            return "The key has been deleted";
        case kBusy:
        case kCantRead:
        case kCantWrite:
            if (tLastFailedStatus == status)
                return tLastFailure.text;
            return status == kBusy       ? "The registry database is locked by another process"
                   : status == kCantRead ? "The registry database could not be read"
                                         : "The registry database could not be written";
        default:
            return "Registry error " + std::to_string(status);
    }
}

}  // namespace platform::registry
