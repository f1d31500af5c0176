// The registry store's own interface and its outgoing event interface. Create it with
// CLSID_QfRegistryKey; it also answers QfstoreStdInterface, whose Path is "ROOT\Key\Name" and
// whose Section is the key's last part.
//
// Registry failures raise no exception: ErrorState takes the platform's status code (-1 for a
// value of a kind the store cannot read) and every subscriber hears Error(code), synchronously,
// inside the failing operation.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"
#include "qfstore/variant.h"

namespace qfstore {

// The predefined roots, as the platform's root handles.
enum RegRootKey : int32_t {
    HKEY_CLASSES_ROOT = static_cast<int32_t>(0x80000000u),
    HKEY_CURRENT_USER = static_cast<int32_t>(0x80000001u),
    HKEY_LOCAL_MACHINE = static_cast<int32_t>(0x80000002u),
    HKEY_USERS = static_cast<int32_t>(0x80000003u),
};

// Named status codes; ErrorState and the event carry any status unchanged, named or not.
enum RegError : int32_t {
    ERROR_NONE = 0,
    ERROR_BADDB = 1,
    ERROR_BADKEY = 2,
    ERROR_CANTOPEN = 3,
    ERROR_CANTREAD = 4,
    ERROR_CANTWRITE = 5,
    ERROR_OUTOFMEMORY = 6,
    ERROR_ARENA_TRASHED = 7,
    ERROR_ACCESS_DENIED = 8,
    ERROR_INVALID_PARAMETERS = 87,
    ERROR_NO_MORE_ITEMS = 259,
};

// The outgoing event interface that a subscriber implements.
class QfRegistryKeyEvents : public Unknown {
  public:
    static constexpr const Guid& kIid = DIID_QfRegistryKeyEvents;
    // A registry step of the store failed with ErrorCode; ErrorState already holds it. An
    // exception thrown here leaves the store's operation and reaches its caller.
    virtual void Error(RegError ErrorCode) = 0;

  protected:
    ~QfRegistryKeyEvents() = default;
};

class QfRegistryKey : public Unknown {
  public:
    static constexpr const Guid& kIid = IID_QfRegistryKey;
    using ErrorCallback = std::function<void(RegError ErrorCode)>;

    // The root; only the first assignment counts until DeleteKey. No check of the value.
    virtual void RootKey(RegRootKey root) = 0;
    virtual RegRootKey RootKey() = 0;
    // The key's path below the root, parts separated by "\". The first non-empty assignment
    // creates the key (where the database cannot take it now, the key reads as empty and the
    // first SetValue creates it); later ones are ignored until DeleteKey; "" is always ignored.
    virtual void KeyName(const std::string& s) = 0;
    virtual std::string KeyName() = 0;
    // The value last given to SetValue or returned by GetValue.
    virtual Variant Value() = 0;
    // The status of the last registry step recorded, 0 for success.
    virtual RegError ErrorState() = 0;
    virtual std::string Version(bool bShow = false) = 0;
    // Sets ErrorState to 0 without an event.
    virtual void ErrorStateClear() = 0;
    // Writes vValue under sValueName: whole numbers, bytes and Booleans as 32-bit numbers (True
    // is -1), other numbers, dates, texts and arrays as the text the INI store writes (arrays
    // joined by sArrayDelim); the empty value, Null and error values write nothing. Returns true
    // when the write failed. Error 6 for infinities and NaN, 5 for an element holding the
    // delimiter.
    virtual bool SetValue(const std::string& sValueName, const Variant& vValue,
                          const std::string& sArrayDelim = "\t") = 0;
    // Reads a value as text, number or array; vDefaultReturn when it is missing, unreadable or
    // the key cannot be opened.
    virtual Variant GetValue(const std::string& ValueName, const std::string& sArrayDelim = "\t",
                             bool bDetectArray = true, bool bDetectNum = true,
                             const Variant& vDefaultReturn = Variant::Missing()) = 0;
    // Deletes one value; always returns the empty value.
    virtual Variant DeleteValue(const std::string& ValueName) = 0;
    // Deletes the key (it must have no subkeys) and lets RootKey and KeyName be set again;
    // always returns the empty value.
    virtual Variant DeleteKey() = 0;

    // Subscribes a sink to the Error event, holding a reference to it until Unadvise or the
    // store's end; returns a cookie, 0 when sink is null.
    virtual uint32_t Advise(QfRegistryKeyEvents* sink) = 0;
    // Subscribes a callback to the Error event; returns a cookie, 0 when it is empty.
    virtual uint32_t Advise(ErrorCallback callback) = 0;
    // Ends the subscription with this cookie; unknown cookies are ignored.
    virtual void Unadvise(uint32_t cookie) = 0;

    // What ErrorState means, in one sentence ("" for 0); for a failure of the registry's
    // database it says what failed, names the database file and gives SQLite's reason.
    virtual std::string ErrorDescription() = 0;

  protected:
    ~QfRegistryKey() = default;
};

}  // namespace qfstore
