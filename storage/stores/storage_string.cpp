// QfStorageString: the store that keeps every field as a tagged record in one text.
#include "qfstore/storage_string.h"

#include <string>
#include <utility>

#include "creators.h"
#include "library_functions.h"
#include "object.h"
#include "platform/refusal.h"
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
            // The format has no escapes: a tag inside a name or value could end this record
            // early, or pose as another field's record or search key.
            if (const std::string* tag = TagIn(name))
                throw RuntimeError(kErrInvalidCall,
                                   platform::Refusal("field", name, "holds the tag", *tag));
            if (const std::string* tag = TagIn(text))
                throw RuntimeError(kErrInvalidCall,
                                   platform::Refusal("value", text, "holds the tag", *tag));
            std::string updated = store_;
            int32_t at = static_cast<int32_t>(store_.size()) + 1;
            if (exists) {
                at = FindRecord(store_, name).start;
                SSEditValue(updated, name, text);
            } else {
                SSAddValue(updated, name, text);
            }
            // Tags of the caller's choosing can still meet across a record's parts (a value
            // ending in the start of a closing sequence that repeats itself); a record that
            // would not be found where it was written, or read back otherwise, is not stored.
            const Span written = FindRecord(updated, name);
            if (written.start != at)
                throw RuntimeError(kErrInvalidCall, "field " + platform::Quoted(name) +
                                                        " would not be found where it is written");
            if (written.valueEnd == 0 || ValueOf(updated, written) != text)
                throw RuntimeError(
                    kErrInvalidCall,
                    platform::Refusal("value", text, "runs into the closing tags", ClosingTags()));
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
            const Span span = ClosedRecord(store, name);
            if (span.start == 0)
                throw RuntimeError(kErrInvalidCall,
                                   "field " + platform::Quoted(name) + " is absent");
            return ValueOf(store, span);
        });
    }

    void SSEditValue(std::string& store, const std::string& name, const std::string& value) {
        Traced(kClass, ".SSEditValue", [&] {
            const Span span = ClosedRecord(store, name);
            if (span.start == 0)
                return;
            store = store.substr(0, static_cast<size_t>(span.start - 1)) + Record(name, value) +
                    store.substr(static_cast<size_t>(span.after - 1));
        });
    }

    void SSDeleteValue(std::string& store, const std::string& name) {
        Traced(kClass, ".SSDeleteValue", [&] {
            const Span span = ClosedRecord(store, name);
            if (span.start == 0)
                return;
            store.erase(static_cast<size_t>(span.start - 1),
                        static_cast<size_t>(span.after - span.start));
        });
    }

    std::string Record(const std::string& name, const std::string& value) const {
        return outerTagStart_ + name + innerTagStart_ + value + innerTagEnd_ + outerTagEnd_;
    }

    std::string ClosingTags() const { return innerTagEnd_ + outerTagEnd_; }

    // The first tag text that `text` holds, or null.
    const std::string* TagIn(const std::string& text) const {
        for (const std::string* tag :
             {&outerTagStart_, &outerTagEnd_, &innerTagStart_, &innerTagEnd_}) {
            if (!tag->empty() && text.find(*tag) != std::string::npos)
                return tag;
        }
        return nullptr;
    }

    // 1-based positions in the store text of a field's first record: where it begins, where
    // its value begins and ends, and just behind its closing tags. start is 0 when the field is
    // absent, valueEnd is 0 when no closing tags follow its search key.
    struct Span {
        int32_t start = 0, valueStart = 0, valueEnd = 0, after = 0;
    };

    // A record runs from its search key to the first InnerTagEnd + OuterTagEnd behind it, for
    // reading, editing and deleting alike.
    Span FindRecord(const std::string& store, const std::string& name) const {
        Span span;
        const std::string key = Key(name);
        span.start = Find(store, key, 1);
        if (span.start == 0)
            return span;
        span.valueStart = span.start + static_cast<int32_t>(key.size());
        const std::string close = ClosingTags();
        const int32_t end = close.empty() ? 0 : Find(store, close, span.valueStart);
        if (end != 0) {
            span.valueEnd = end;
            span.after = end + static_cast<int32_t>(close.size());
        }
        return span;
    }

    // FindRecord, with error 5 for a record that does not end.
    Span ClosedRecord(const std::string& store, const std::string& name) const {
        const Span span = FindRecord(store, name);
        if (span.start != 0 && span.valueEnd == 0)
            throw RuntimeError(
                kErrInvalidCall,
                platform::Refusal("field", name, "has no closing tags", ClosingTags()));
        return span;
    }

    static std::string ValueOf(const std::string& store, const Span& span) {
        return store.substr(static_cast<size_t>(span.valueStart - 1),
                            static_cast<size_t>(span.valueEnd - span.valueStart));
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
