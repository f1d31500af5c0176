// The registry: keys holding named values, kept in a SQLite database shared by all processes
// of the user at $XDG_CONFIG_HOME/qfstore/registry.sqlite3 (default ~/.config/qfstore/), created
// 0600 in a 0700 folder by the first write. The seven operations return the platform's status
// codes; each is one transaction. Reads never wait for a writer, and a read-only database (or a
// full disk) still reads. A read waits 5 seconds for another process's lock; a write waits while
// other processes keep committing, and 30 seconds past the last commit; then the operation fails
// with kBusy.
#pragma once

#include <cstdint>
#include <string>

#include "status.h"

namespace platform::registry {

// A key opened by CreateKey/OpenKey, or one of the predefined roots; 0 is the null handle.
using Handle = std::uintptr_t;

// Predefined roots, always open; CloseKey on them succeeds and changes nothing.
inline constexpr Handle HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr Handle HKEY_CURRENT_USER = 0x80000001;
inline constexpr Handle HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr Handle HKEY_USERS = 0x80000003;
inline constexpr Handle HKEY_CURRENT_CONFIG = 0x80000005;

// Status codes.
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;       // key or value does not exist
inline constexpr long kAccessDenied = 5;       // handle lacks the access, or key still has subkeys
inline constexpr long kInvalidHandle = 6;      // null, unknown or closed handle
inline constexpr long kInvalidParameter = 87;  // null result pointer, data missing for its size
inline constexpr long kBadPathname = 161;  // key path starts with "\" or has an empty part inside
inline constexpr long kBusy = 170;         // another process held the database's lock too long
inline constexpr long kMoreData = 234;     // buffer too small; the size says how much is needed
inline constexpr long kCantRead = 1012;    // the database could not be opened or read
inline constexpr long kCantWrite = 1013;   // the database could not be created or written
inline constexpr long kKeyDeleted = 1018;  // the handle's key was deleted meanwhile

// Access masks.
inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

// Value kinds.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

// Dispositions reported by CreateKey.
inline constexpr uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

// Key paths are parts separated by "\"; names (keys and values) compare without regard to
// ASCII case and keep the spelling first written. An empty subKey opens the key itself again.

// Opens subKey below key, creating it and its missing parents; disposition (may be null) says
// whether it was new; creating needs KEY_CREATE_SUB_KEY on key. The returned handle carries
// access and must be closed with CloseKey.
long CreateKey(Handle key, const std::string& subKey, uint32_t access, Handle* result,
               uint32_t* disposition);

// CreateKey for a caller about to read through the key: where the key is missing, creating it
// waits for another process's lock no longer than a read does, and fails with kBusy after that.
long CreateKeyForReading(Handle key, const std::string& subKey, uint32_t access, Handle* result,
                         uint32_t* disposition);

// Opens an existing subKey below key; 2 when it does not exist.
long OpenKey(Handle key, const std::string& subKey, uint32_t access, Handle* result);

// Stores size bytes of data (null allowed when size is 0) under valueName with the given kind,
// replacing any earlier value. Needs KEY_SET_VALUE on key.
long SetValue(Handle key, const std::string& valueName, uint32_t kind, const uint8_t* data,
              uint32_t size);

// Reads a value: kind (may be null) gets its kind, *size the byte count. With data null only
// kind and size are answered; with a buffer smaller than the value, 234 and *size = needed.
// A value stored with size 0 reads back as REG_SZ with size 0. Needs KEY_QUERY_VALUE on key.
long QueryValue(Handle key, const std::string& valueName, uint32_t* kind, uint8_t* data,
                uint32_t* size);

// Removes a value; 2 when it does not exist. Needs KEY_SET_VALUE on key.
long DeleteValue(Handle key, const std::string& valueName);

// Removes subKey below key with its values; 5 when it still has subkeys, 2 when missing.
long DeleteKey(Handle key, const std::string& subKey);

// Releases a handle; 6 when it is not open.
long CloseKey(Handle key);

// The database failure behind the last kBusy, kCantRead or kCantWrite that an operation of
// this thread returned: SQLite's code or the system's error number, and a text such as
// "The registry database FILE could not be written: MESSAGE (SQLite error 8)".
const Failure& LastFailure();

// What a status means, in one sentence; for kBusy, kCantRead and kCantWrite the text of
// LastFailure() when that is the failure behind it.
std::string StatusText(long status);

}  // namespace platform::registry
