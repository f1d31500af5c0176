// QfRegistryKey: the store that keeps values as named values of one registry key.
#include "qfstore/registry_key.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "creators.h"
#include "library_functions.h"
#include "object.h"
#include "platform/refusal.h"
#include "platform/registry.h"
#include "qfstore/conversions.h"
#include "trace.h"

namespace qfstore::core {
namespace {

namespace reg = platform::registry;

constexpr std::string_view kClass = "QfRegistryKey";

// The kind SetValue chooses for a value it writes nothing for.
constexpr uint32_t kNoKind = 0;
// Access asked for when creating a key: every value and subkey right, no standard rights.
constexpr uint32_t kCreateAccess = 0x3F;
// ErrorState of a stored value whose kind the store cannot read.
constexpr int32_t kUnreadableKind = -1;
constexpr std::string_view kUnreadableKindText = "The value is of a kind the store cannot read";

constexpr std::array<std::pair<RegRootKey, std::string_view>, 4> kRootNames = {{
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS"},
}};
// Separators between root and key, and before a section, in the order they are tried.
constexpr std::array<std::string_view, 4> kSeparators = {"/", "\\", "|", "."};

reg::Handle RootHandle(RegRootKey root) {
    return static_cast<reg::Handle>(static_cast<uint32_t>(root));
}

// An open key, closed when it goes; the close status is of no interest.
class OpenKey {
  public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (handle_ != 0)
            reg::CloseKey(handle_);
    }
    reg::Handle* Out() { return &handle_; }
    reg::Handle Get() const { return handle_; }

  private:
    reg::Handle handle_ = 0;
};

// The type code of a single value.
constexpr int Code(VarType type) {
    return static_cast<int>(type);
}

// The kind a value is written as, by its variant type: whole numbers as 32-bit numbers, every
// other number, date, text and array as the text the INI store would write, so that each reads
// back as it does from there. The empty value, Null and error values write nothing.
uint32_t KindOf(const Variant& v) {
    if (v.IsArray())
        return reg::REG_SZ;
    switch (v.VarTypeCode()) {
        case Code(VarType::Integer):
        case Code(VarType::Long):
        case Code(VarType::Boolean):
        case Code(VarType::Byte):
            return reg::REG_DWORD;
        case Code(VarType::Single):
        case Code(VarType::Double):
        case Code(VarType::Currency):
        case Code(VarType::Date):
        case Code(VarType::String):
        case Code(VarType::Variant):
            return reg::REG_SZ;
        default:
            return kNoKind;
    }
}

class RegistryKey final : public Object<QfRegistryKey>,
                          public StdValueMembers<RegistryKey, kClass> {
  public:
    void RootKey(RegRootKey root) override {
        Traced(kClass, ".RootKey (Let)", [&] {
            if (rootSet_ && !readdressing_)
                return;
            root_ = root;
            rootSet_ = true;
        });
    }
    RegRootKey RootKey() override {
        return Traced(kClass, ".RootKey (Get)", [&] { return root_; });
    }

    void KeyName(const std::string& s) override {
        Traced(kClass, ".KeyName (Let)", [&] {
            if ((keySet_ && !readdressing_) || s.empty())
                return;
            keyName_ = s;
            CreateNewKey(root_, s);
            keySet_ = true;
            keyValid_ = true;
        });
    }
    std::string KeyName() override {
        return Traced(kClass, ".KeyName (Get)", [&] { return keyName_; });
    }

    Variant Value() override {
        return Traced(kClass, ".Value (Get)", [&] { return value_; });
    }
    RegError ErrorState() override {
        return Traced(kClass, ".ErrorState (Get)", [&] { return errorState_; });
    }

    std::string Version(bool bShow) override {
        return Traced(kClass, ".Version", [&] {
            std::string text = ClassVersionText(kClass, "1.2");
            if (bShow)
                ShowVersion(text);
            return text;
        });
    }

    void ErrorStateClear() override {
        Traced(kClass, ".ErrorStateClear", [&] {
            errorState_ = ERROR_NONE;
            errorDescription_.clear();
        });
    }

    bool SetValue(const std::string& sValueName, const Variant& vValue,
                  const std::string& sArrayDelim) override {
        return Traced(kClass, ".SetValue", [&] {
            ErrorStateClear();
            const uint32_t kind = keyValid_ ? KindOf(vValue) : kNoKind;
            value_ = vValue;
            const Variant prepared = PrepForSet(vValue, sArrayDelim);
            SetKeyValue(root_, keyName_, sValueName, prepared, kind);
            return errorState_ != ERROR_NONE;
        });
    }

    Variant GetValue(const std::string& ValueName, const std::string& sArrayDelim,
                     bool bDetectArray, bool bDetectNum, const Variant& vDefaultReturn) override {
        return Traced(kClass, ".GetValue", [&] {
            ErrorStateClear();
            const Variant v = QueryValue(root_, keyName_, ValueName);
            Variant r = PrepForGet(v, sArrayDelim, bDetectArray, bDetectNum);
            if (r.IsEmpty())
                r = vDefaultReturn;
            value_ = r;
            return r;
        });
    }

    Variant DeleteValue(const std::string& ValueName) override {
        return Traced(kClass, ".DeleteValue", [&] {
            OpenKey key;
            reg::OpenKey(RootHandle(root_), keyName_, reg::KEY_SET_VALUE, key.Out());
            SetErrorState(static_cast<int32_t>(
                NotCreatedYet(key) ? reg::kFileNotFound : reg::DeleteValue(key.Get(), ValueName)));
            return Variant();
        });
    }

    Variant DeleteKey() override {
        return Traced(kClass, ".DeleteKey", [&] {
            SetErrorState(static_cast<int32_t>(reg::DeleteKey(RootHandle(root_), keyName_)));
            rootSet_ = false;
            keySet_ = false;
            keyName_.clear();
            keyPending_ = false;
            return Variant();
        });
    }

    uint32_t Advise(QfRegistryKeyEvents* sink) override {
        if (!sink)
            return 0;
        sink->AddRef();
        Subscriber s;
        s.cookie = ++lastCookie_;
        s.sink = Ptr<QfRegistryKeyEvents>::Attach(sink);
        subscribers_.push_back(std::move(s));
        return lastCookie_;
    }
    uint32_t Advise(ErrorCallback callback) override {
        if (!callback)
            return 0;
        Subscriber s;
        s.cookie = ++lastCookie_;
        s.callback = std::move(callback);
        subscribers_.push_back(std::move(s));
        return lastCookie_;
    }
    void Unadvise(uint32_t cookie) override {
        std::erase_if(subscribers_, [&](const Subscriber& s) { return s.cookie == cookie; });
    }

    std::string ErrorDescription() override { return errorDescription_; }

    void QfstoreStdInterface_Path(const std::string& s) {
        Traced(kClass, ".QfstoreStdInterface_Path (Let)", [&] { Path(s); });
    }
    std::string QfstoreStdInterface_Path() {
        return Traced(kClass, ".QfstoreStdInterface_Path (Get)", [&] { return Path(); });
    }
    void QfstoreStdInterface_Section(const std::string& s) {
        Traced(kClass, ".QfstoreStdInterface_Section (Let)", [&] { Section(s); });
    }
    std::string QfstoreStdInterface_Section() {
        return Traced(kClass, ".QfstoreStdInterface_Section (Get)", [&] { return Section(); });
    }
    Variant QfstoreStdInterface_Version(bool bShow) {
        return Traced(kClass, ".QfstoreStdInterface_Version",
                      [&] { return Variant(Version(bShow)); });
    }

  protected:
    void* QueryExtra(const Guid& iid) override { return stdInterface_.For(iid); }

  private:
    struct Subscriber {
        uint32_t cookie = 0;
        Ptr<QfRegistryKeyEvents> sink;
        ErrorCallback callback;
    };

    // Raises the re-addressing flag for its lifetime, also when an assignment fails.
    class Readdressing {
      public:
        explicit Readdressing(bool& flag) : flag_(flag) { flag_ = true; }
        Readdressing(const Readdressing&) = delete;
        Readdressing& operator=(const Readdressing&) = delete;
        ~Readdressing() { flag_ = false; }

      private:
        bool& flag_;
    };

    // Records a status: ErrorState takes it, and a failure is announced to every subscriber.
    void SetErrorState(int32_t status) {
        Traced(kClass, ".ErrorState (Let)", [&] {
            errorState_ = static_cast<RegError>(status);
            // Taken now: the platform describes a database failure only until its next one.
            errorDescription_ = status == 0                 ? std::string()
                                : status == kUnreadableKind ? std::string(kUnreadableKindText)
                                                            : reg::StatusText(status);
            if (status == 0)
                return;
            // A subscriber may unsubscribe while being called.
            const std::vector<Subscriber> now = subscribers_;
            for (const Subscriber& s : now) {
                if (s.sink) {
                    s.sink->Error(errorState_);
                } else {
                    s.callback(errorState_);
                }
            }
        });
    }

    // A key that cannot be created now (the database cannot be written, or another process
    // holds its lock past a reader's wait) is no failure of the addressing: it reads as empty
    // and the first write creates it.
    void CreateNewKey(RegRootKey root, const std::string& name) {
        Traced(kClass, ".CreateNewKey", [&] {
            OpenKey key;
            uint32_t disposition = 0;
            const long status = reg::CreateKeyForReading(RootHandle(root), name, kCreateAccess,
                                                         key.Out(), &disposition);
            keyPending_ = status == reg::kCantWrite || status == reg::kBusy;
            SetErrorState(keyPending_ ? 0 : static_cast<int32_t>(status));
        });
    }

    void SetKeyValue(RegRootKey root, const std::string& keyName, const std::string& valueName,
                     const Variant& value, uint32_t kind) {
        Traced(kClass, ".SetKeyValue", [&] {
            OpenKey key;
            if (keyPending_) {
                const long status =
                    reg::CreateKey(RootHandle(root), keyName, kCreateAccess, key.Out(), nullptr);
                if (status != reg::kSuccess)
                    return SetErrorState(static_cast<int32_t>(status));
                keyPending_ = false;
            } else {
                // A key that does not open leaves the null handle, on which the write fails.
                reg::OpenKey(RootHandle(root), keyName, reg::KEY_SET_VALUE, key.Out());
            }
            SetErrorState(SetValueEx(key.Get(), valueName, kind, value));
        });
    }

    // Whether `key` did not open because the key is still to be created: it holds no values.
    bool NotCreatedYet(const OpenKey& key) const { return keyPending_ && key.Get() == 0; }

    Variant QueryValue(RegRootKey root, const std::string& keyName, const std::string& valueName) {
        return Traced(kClass, ".QueryValue", [&] {
            OpenKey key;
            reg::OpenKey(RootHandle(root), keyName, reg::KEY_QUERY_VALUE, key.Out());
            Variant v;
            SetErrorState(QueryValueEx(key.Get(), valueName, v, NotCreatedYet(key)));
            return v;
        });
    }

    int32_t SetValueEx(reg::Handle key, const std::string& valueName, uint32_t kind,
                       const Variant& value) {
        return Traced(kClass, ".SetValueEx", [&]() -> int32_t {
            if (kind == reg::REG_SZ) {
                std::string text = ToText(value, kComponentName);
                text.push_back('\0');
                return static_cast<int32_t>(reg::SetValue(
                    key, valueName, reg::REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                    static_cast<uint32_t>(text.size())));
            }
            if (kind == reg::REG_DWORD) {
                const uint32_t n = static_cast<uint32_t>(ToLong(value, kComponentName));
                const uint8_t bytes[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                                          static_cast<uint8_t>(n >> 16),
                                          static_cast<uint8_t>(n >> 24)};
                return static_cast<int32_t>(
                    reg::SetValue(key, valueName, reg::REG_DWORD, bytes, sizeof bytes));
            }
            return 0;
        });
    }

    int32_t QueryValueEx(reg::Handle key, const std::string& valueName, Variant& v,
                         bool notCreatedYet) {
        return Traced(kClass, ".QueryValueEx", [&]() -> int32_t {
            uint32_t kind = 0;
            uint32_t size = 0;
            int32_t status = static_cast<int32_t>(
                notCreatedYet ? reg::kFileNotFound
                              : reg::QueryValue(key, valueName, &kind, nullptr, &size));
            if (status != 0) {
                SetErrorState(status);
                return status;
            }
            if (kind == reg::REG_SZ) {
                std::vector<uint8_t> buffer(size, 0);
                status = static_cast<int32_t>(
                    reg::QueryValue(key, valueName, &kind, buffer.data(), &size));
                if (status != 0) {
                    v = Variant();
                    SetErrorState(status);
                    return status;
                }
                // The text without its terminating NUL; a value without even that is refused.
                if (size == 0)
                    throw RuntimeError(kErrInvalidCall, "value " + platform::Quoted(valueName) +
                                                            " is text without its ending NUL");
                v = Variant(std::string(reinterpret_cast<const char*>(buffer.data()), size - 1));
                return status;
            }
            if (kind == reg::REG_DWORD) {
                // Never more than the number's four bytes: a longer value reports "more data".
                uint8_t bytes[4] = {0, 0, 0, 0};
                uint32_t want = size < sizeof bytes ? size : static_cast<uint32_t>(sizeof bytes);
                status = static_cast<int32_t>(reg::QueryValue(key, valueName, &kind, bytes, &want));
                if (status != 0) {
                    SetErrorState(status);
                    return status;
                }
                v = Variant(static_cast<int32_t>(
                    static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                    static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24));
                return status;
            }
            return kUnreadableKind;
        });
    }

    // "ROOT\KeyName"; the root's name is empty for a value that is none of the four.
    std::string Path() {
        return Traced(kClass, ".Path (Get)", [&] {
            std::string text;
            for (const auto& [root, name] : kRootNames)
                if (root == root_)
                    text = name;
            return text + "\\" + keyName_;
        });
    }

    // Takes a root from the text before the first separator that follows one of the four root
    // names exactly, and the rest as the key name less a file-like ending (".ini").
    void Path(const std::string& p) {
        Traced(kClass, ".Path (Let)", [&] {
            int32_t after = 0;
            for (std::string_view sep : kSeparators) {
                const int32_t pos = InStr(1, p, std::string(sep), 0);
                if (pos == 0)
                    continue;
                const std::string before = p.substr(0, static_cast<size_t>(pos - 1));
                const auto* match = std::find_if(kRootNames.begin(), kRootNames.end(),
                                                 [&](const auto& r) { return r.second == before; });
                if (match == kRootNames.end())
                    continue;
                RootKey(match->first);
                after = pos;
                break;
            }
            std::string key = p.substr(static_cast<size_t>(after));
            const size_t tail = key.size() < 4 ? 0 : key.size() - 4;
            if (key.find('.', tail) != std::string::npos)
                key.erase(key.rfind('.'));
            KeyName(key);
        });
    }

    // The text after the last separator of KeyName, trying "/", "\", "|", "." in turn; empty
    // unless a section was added.
    std::string Section() {
        return Traced(kClass, ".Section (Get)", [&] {
            if (!hasSection_)
                return std::string();
            for (std::string_view sep : kSeparators) {
                const int32_t pos = ReverseInStr(keyName_, std::string(sep), 1, 0);
                if (pos > 0)
                    return keyName_.substr(static_cast<size_t>(pos));
            }
            return std::string();
        });
    }

    // Replaces the section part of KeyName, or adds one behind a "\", creating the key.
    void Section(const std::string& s) {
        Traced(kClass, ".Section (Let)", [&] {
            if (hasSection_) {
                const Readdressing readdressing(readdressing_);
                const std::string current = Section();
                const std::string parent = keyName_.substr(0, keyName_.size() - current.size());
                KeyName(parent);
                KeyName(parent + s);
                return;
            }
            const size_t first = s.find_first_not_of(' ');
            if (first == std::string::npos) {
                hasSection_ = false;
                return;
            }
            {
                const Readdressing readdressing(readdressing_);
                KeyName(keyName_ + "\\" + s);
            }
            hasSection_ = true;
        });
    }

    RegRootKey root_ = HKEY_CURRENT_USER;
    std::string keyName_;
    Variant value_;
    bool keySet_ = false;
    bool keyValid_ = false;
    bool keyPending_ = false;  // KeyName names a key that could not be created yet
    bool rootSet_ = false;
    RegError errorState_ = ERROR_NONE;
    std::string errorDescription_;
    bool readdressing_ = false;
    bool hasSection_ = false;
    std::vector<Subscriber> subscribers_;
    uint32_t lastCookie_ = 0;
    StdInterfaceTearOff<RegistryKey> stdInterface_{*this};
};

}  // namespace

Unknown* NewQfRegistryKey() {
    return static_cast<QfRegistryKey*>(new RegistryKey);
}

}  // namespace qfstore::core
