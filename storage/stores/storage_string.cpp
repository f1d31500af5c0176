// QfStorageString: the store that keeps every field as a tagged record in one text.
#include "qfstore/storage_string.h"

#include <string>
#include <utility>

#include "creators.h"
#include "library_functions.h"
#include "object.h"
#include "qfstore/conversions.h"
#include "trace.h"

namespace qfstore::core {
namespace {

constexpr std::string_view kClass = "QfStorageString";

// 1-based position of `what` in `text` at or after `from`, 0 when there is none.
int32_t Find(const std::string& text, const std::string& what, int32_t from) {
    return InStr(from, text, what, 0);
}

class StorageString final : public Object<QfStorageString>,
                            public StdValueMembers<StorageString, kClass> {
  public:
    StorageString() {
        Traced(kClass, ".Class_Initialize", [&] {
            outerTagStart_ = "<\\";
            outerTagEnd_ = "/>";
            innerTagStart_ = "={";
            innerTagEnd_ = "};";
        });
    }

    std::string Value() override {
        return Traced(kClass, ".Value (Get)", [&] { return store_; });
    }
    void Value(const std::string& s) override {
        Traced(kClass, ".Value (Let)", [&] {
            if (!protect_)
                store_ = s;
        });
    }
    bool Protect() override {
        return Traced(kClass, ".Protect (Get)", [&] { return protect_; });
    }
    void Protect(bool b) override {
        Traced(kClass, ".Protect (Let)", [&] { protect_ = b; });
    }
    std::string OuterTagStart() override {
        return Traced(kClass, ".OuterTagStart (Get)", [&] { return outerTagStart_; });
    }
    void OuterTagStart(const std::string& s) override {
        Traced(kClass, ".OuterTagStart (Let)", [&] { outerTagStart_ = s; });
    }
    std::string OuterTagEnd() override {
        return Traced(kClass, ".OuterTagEnd (Get)", [&] { return outerTagEnd_; });
    }
    void OuterTagEnd(const std::string& s) override {
        Traced(kClass, ".OuterTagEnd (Let)", [&] { outerTagEnd_ = s; });
    }
    std::string InnerTagStart() override {
        return Traced(kClass, ".InnerTagStart (Get)", [&] { return innerTagStart_; });
    }
    void InnerTagStart(const std::string& s) override {
        Traced(kClass, ".InnerTagStart (Let)", [&] { innerTagStart_ = s; });
    }
    std::string InnerTagEnd() override {
        return Traced(kClass, ".InnerTagEnd (Get)", [&] { return innerTagEnd_; });
    }
    void InnerTagEnd(const std::string& s) override {
        Traced(kClass, ".InnerTagEnd (Let)", [&] { innerTagEnd_ = s; });
    }

    std::string Version(bool bShow) override {
        return Traced(kClass, ".Version", [&] {
            std::string text = ClassVersionText(kClass, "1.1");
            if (bShow)
                ShowVersion(text);
            return text;
        });
    }

    void Clear() override {
        Traced(kClass, ".Clear", [&] { store_.clear(); });
    }

    bool SetValue(const std::string& sField, const Variant& vValue,
                  const std::string& sDelimiter) override {
        return Traced(kClass, ".SetValue", [&] {
            std::string name = sField;
            BoltOnExtras(name);
            const bool exists = FieldExists(store_, name);
            const std::string text = ToText(PrepForSet(vValue, sDelimiter), kComponentName);
            // The format has no escapes: such a name or value would make this or another
            // record unreadable, or a later edit cut a record in the middle.
            if (Contains(name, innerTagStart_) || Contains(text, outerTagEnd_) ||
                Contains(text, innerTagEnd_ + outerTagEnd_))
                throw RuntimeError(kErrInvalidCall);
            std::string updated = store_;
            if (exists) {
                SSEditValue(updated, name, text);
            } else {
                SSAddValue(updated, name, text);
            }
            store_ = std::move(updated);
            return false;
        });
    }

    Variant GetValue(const std::string& sFieldName, const std::string& sArrayDelim,
                     bool bDetectArray, bool bDetectNum, const Variant& vReturn) override {
        return Traced(kClass, ".GetValue", [&] {
            std::string name = sFieldName;
            BoltOnExtras(name);
            if (!FieldExists(store_, name))
                return vReturn;
            return PrepForGet(Variant(SSParseValue(store_, name)), sArrayDelim, bDetectArray,
                              bDetectNum);
        });
    }

    void DeleteField(const std::string& sFieldName) override {
        Traced(kClass, ".DeleteField", [&] {
            std::string name = sFieldName;
            BoltOnExtras(name);
            std::string updated = store_;
            SSDeleteValue(updated, name);
            store_ = std::move(updated);
        });
    }

    void QfstoreStdInterface_Path(const std::string& s) {
        Traced(kClass, ".QfstoreStdInterface_Path (Let)", [&] { path_ = s; });
    }
    std::string QfstoreStdInterface_Path() {
        return Traced(kClass, ".QfstoreStdInterface_Path (Get)", [&] { return path_; });
    }
    void QfstoreStdInterface_Section(const std::string& s) {
        Traced(kClass, ".QfstoreStdInterface_Section (Let)", [&] { section_ = s; });
    }
    std::string QfstoreStdInterface_Section() {
        return Traced(kClass, ".QfstoreStdInterface_Section (Get)", [&] { return section_; });
    }
    Variant QfstoreStdInterface_Version(bool bShow) {
        return Traced(kClass, ".QfstoreStdInterface_Version (Get)",
                      [&] { return Variant(Version(bShow)); });
    }

  protected:
    void* QueryExtra(const Guid& iid) override { return stdInterface_.For(iid); }

  private:
    static bool Contains(const std::string& text, const std::string& what) {
        return !what.empty() && text.find(what) != std::string::npos;
    }

    std::string Key(const std::string& name) const {
        return outerTagStart_ + name + innerTagStart_;
    }

    void BoltOnExtras(std::string& name) {
        Traced(kClass, ".BoltOnExtras", [&] { name = path_ + "." + section_ + "." + name; });
    }

    bool FieldExists(const std::string& store, const std::string& name) {
        return Traced(kClass, ".FieldExists", [&] { return Find(store, Key(name), 1) > 0; });
    }

    void SSAddValue(std::string& store, const std::string& name, const std::string& value) {
        Traced(kClass, ".SSAddValue", [&] { store += Record(name, value); });
    }

    std::string SSParseValue(const std::string& store, const std::string& name) {
        return Traced(kClass, ".SSParseValue", [&] {
            const std::string key = Key(name);
            const int32_t k = Find(store, key, 1);
            if (k == 0)
                throw RuntimeError(kErrInvalidCall);
            const int32_t s = k + static_cast<int32_t>(key.size());
            const int32_t e = Find(store, innerTagEnd_ + outerTagEnd_, s);
            if (e == 0)
                throw RuntimeError(kErrInvalidCall);  // no closing tags
            return store.substr(static_cast<size_t>(s - 1), static_cast<size_t>(e - s));
        });
    }

    void SSEditValue(std::string& store, const std::string& name, const std::string& value) {
        Traced(kClass, ".SSEditValue", [&] {
            const auto [k, after] = RecordSpan(store, name);
            if (k == 0)
                return;
            store = store.substr(0, static_cast<size_t>(k - 1)) + Record(name, value) +
                    store.substr(static_cast<size_t>(after - 1));
        });
    }

    void SSDeleteValue(std::string& store, const std::string& name) {
        Traced(kClass, ".SSDeleteValue", [&] {
            const auto [k, after] = RecordSpan(store, name);
            if (k == 0)
                return;
            store.erase(static_cast<size_t>(k - 1), static_cast<size_t>(after - k));
        });
    }

    std::string Record(const std::string& name, const std::string& value) const {
        return outerTagStart_ + name + innerTagStart_ + value + innerTagEnd_ + outerTagEnd_;
    }

    // Where the field's first record begins and the position just behind its closing tag;
    // {0, 0} when the field is absent. The closing tag is looked for behind the search key, so
    // that one inside the name does not end the record early; error 5 when there is none.
    std::pair<int32_t, int32_t> RecordSpan(const std::string& store, const std::string& name) {
        const std::string key = Key(name);
        const int32_t k = Find(store, key, 1);
        if (k == 0)
            return {0, 0};
        // Without an OuterTagEnd a record ends with its InnerTagEnd.
        const std::string& close = outerTagEnd_.empty() ? innerTagEnd_ : outerTagEnd_;
        const int32_t end =
            close.empty() ? 0 : Find(store, close, k + static_cast<int32_t>(key.size()));
        if (end == 0)
            throw RuntimeError(kErrInvalidCall);
        return {k, end + static_cast<int32_t>(close.size())};
    }

    std::string outerTagStart_;
    std::string outerTagEnd_;
    std::string innerTagStart_;
    std::string innerTagEnd_;
    std::string store_;
    std::string path_;
    std::string section_;
    bool protect_ = false;
    StdInterfaceTearOff<StorageString> stdInterface_{*this};
};

}  // namespace

Unknown* NewQfStorageString() {
    return static_cast<QfStorageString*>(new StorageString);
}

}  // namespace qfstore::core
