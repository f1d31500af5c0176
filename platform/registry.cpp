#include "registry.h"

#include <pthread.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

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

// Other processes may hold the write lock for a while; wait for them rather than fail.
constexpr int kBusyTimeoutMs = 60'000;

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

// A database call failed; the operation ends with kRegistryIoFailed.
struct DbFailure {};

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw DbFailure{};
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
        throw DbFailure{};
    }
    int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    const uint8_t* Blob(int col) const {
        return static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, col));
    }
    uint32_t Bytes(int col) const {
        return static_cast<uint32_t>(sqlite3_column_bytes(stmt_, col));
    }

  private:
    static void Check(int rc) {
        if (rc != SQLITE_OK)
            throw DbFailure{};
    }
    sqlite3_stmt* stmt_ = nullptr;
};

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
    ~Registry() {
        if (db_ && owner_ == getpid())
            sqlite3_close(db_);
    }

    long CreateKey(Handle key, const std::string& subKey, uint32_t access, Handle* result,
                   uint32_t* disposition) {
        if (!result)
            return kInvalidParameter;
        *result = 0;
        std::lock_guard lock(mutex_);
        bool created = false;
        int64_t id = 0;
        const long status =
            Run(key, subKey, true,
                [&](const OpenEntry& base, const std::vector<std::string_view>& parts) {
                    id = base.id;
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
                        created = true;
                    }
                    return kSuccess;
                });
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
        const long status = Run(key, subKey, false, [&](const OpenEntry& base, const auto& parts) {
            return Walk(base.id, parts, &id);
        });
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
        return RunValue(key, KEY_SET_VALUE, true, [&](int64_t id) {
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
        return RunValue(key, KEY_QUERY_VALUE, false, [&](int64_t id) {
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
        return RunValue(key, KEY_SET_VALUE, true, [&](int64_t id) {
            Statement erase(db_, "DELETE FROM reg_values WHERE key = ? AND name = ?");
            erase.Bind(1, id).Bind(2, CName(valueName)).Step();
            return sqlite3_changes(db_) ? kSuccess : kFileNotFound;
        });
    }

    long DeleteKey(Handle key, const std::string& subKey) {
        std::lock_guard lock(mutex_);
        return Run(key, subKey, true, [&](const OpenEntry& base, const auto& parts) {
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
        if (db_ && owner_ == getpid())
            sqlite3_close(db_);
        db_ = nullptr;
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

    bool KeyExists(int64_t id) {
        Statement find(db_, "SELECT 1 FROM reg_keys WHERE id = ?");
        return find.Bind(1, id).Step();
    }

    // Runs body(entry, path parts) in one transaction, after checking the handle, the path and
    // that the handle's key still exists. A failing body's changes are rolled back.
    template <typename Body>
    long Run(Handle key, const std::string& subKey, bool write, Body&& body) {
        if (!Connect())
            return kRegistryIoFailed;
        const auto entry = Lookup(key);
        if (!entry)
            return kInvalidHandle;
        const auto parts = SplitPath(CName(subKey));
        if (!parts)
            return kBadPathname;
        return Transaction(write, [&] {
            if (!KeyExists(entry->id))
                return kKeyDeleted;
            return static_cast<long>(body(*entry, *parts));
        });
    }

    // Runs body(key id) for a value operation that needs `needed` access on the handle.
    template <typename Body>
    long RunValue(Handle key, uint32_t needed, bool write, Body&& body) {
        if (!Connect())
            return kRegistryIoFailed;
        const auto entry = Lookup(key);
        if (!entry)
            return kInvalidHandle;
        if (!(entry->access & needed))
            return kAccessDenied;
        return Transaction(write, [&] {
            if (!KeyExists(entry->id))
                return kKeyDeleted;
            return static_cast<long>(body(entry->id));
        });
    }

    template <typename Body>
    long Transaction(bool write, Body&& body) {
        // Taking the write lock up front lets a busy writer be waited for instead of failing
        // when a read lock would have to be upgraded.
        if (sqlite3_exec(db_, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            return kRegistryIoFailed;
        }
        long status = kRegistryIoFailed;
        try {
            status = body();
        } catch (const DbFailure&) {
            status = kRegistryIoFailed;
        }
        if (status == kSuccess || !write) {
            if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
                return status;
            status = kRegistryIoFailed;
        }
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return status;
    }

    // Opens the database for the current XDG_CONFIG_HOME, creating folder, file and tables when
    // missing. A connection that is somehow still inherited over fork is left alone.
    bool Connect() {
        const std::string path = DatabasePath();
        if (path.empty())
            return false;
        if (db_ && (owner_ != getpid() || path != path_)) {
            if (owner_ == getpid())
                sqlite3_close(db_);
            if (path != path_)
                handles_.clear();
            db_ = nullptr;
        }
        if (db_)
            return true;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK ||
            !Prepare(db)) {
            sqlite3_close(db);
            return false;
        }
        db_ = db;
        path_ = path;
        owner_ = getpid();
        return true;
    }

    static bool Prepare(sqlite3* db) {
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        // Switching to WAL needs a moment alone with a new file; another process creating it
        // at the same time makes that busy without calling the busy handler.
        int rc = SQLITE_BUSY;
        for (int attempt = 0; attempt < 1000 && rc == SQLITE_BUSY; ++attempt) {
            rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
            if (rc == SQLITE_BUSY)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (rc != SQLITE_OK)
            return false;
        // Every committed operation is on disk before the call returns.
        if (sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        bool ok = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
        for (const Root& root : kRoots) {
            if (!ok)
                break;
            sqlite3_stmt* stmt = nullptr;
            ok = sqlite3_prepare_v2(db,
                                    "INSERT OR IGNORE INTO reg_keys(id, parent, name) "
                                    "VALUES(?, NULL, ?)",
                                    -1, &stmt, nullptr) == SQLITE_OK &&
                 sqlite3_bind_int64(stmt, 1, root.id) == SQLITE_OK &&
                 sqlite3_bind_text(stmt, 2, root.name, -1, SQLITE_STATIC) == SQLITE_OK &&
                 sqlite3_step(stmt) == SQLITE_DONE;
            sqlite3_finalize(stmt);
        }
        ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!ok)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return ok;
    }

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    std::string path_;
    pid_t owner_ = 0;
    std::unordered_map<Handle, OpenEntry> handles_;
    Handle next_ = 0x100;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

long CreateKey(Handle key, const std::string& subKey, uint32_t access, Handle* result,
               uint32_t* disposition) {
    return TheRegistry().CreateKey(key, subKey, access, result, disposition);
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

}  // namespace platform::registry
