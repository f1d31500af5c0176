// Building blocks of the library's objects: reference counting, the count of live objects that
// decides unloading, and the tear-off that exposes a class's standard-interface members.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "qfstore/com.h"
#include "qfstore/std_interface.h"
#include "trace.h"

namespace qfstore::core {

// Objects, factories and server locks alive; the library may unload when this is 0.
std::atomic<long>& LiveCount();

// One class's object: counts its references from 1 (the creator's) and frees itself at 0.
// Own is the class's own interface; QueryExtra answers the further interfaces it implements.
template <class Own>
class Object : public Own {
  public:
    Object() { ++LiveCount(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() { --LiveCount(); }

    Status QueryInterface(const Guid& iid, void** out) override {
        if (!out)
            return kPointer;
        *out = nullptr;
        if (iid == IID_Unknown || iid == Own::kIid) {
            *out = static_cast<Own*>(this);
        } else if (void* extra = QueryExtra(iid)) {
            *out = extra;
        } else {
            return kNoInterface;
        }
        AddRef();
        return kOk;
    }
    uint32_t AddRef() override { return ++refs_; }
    uint32_t Release() override {
        const uint32_t left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

  protected:
    virtual void* QueryExtra(const Guid&) { return nullptr; }

  private:
    std::atomic<uint32_t> refs_{1};
};

// Exposes Impl's QfstoreStdInterface_* members as the standard interface; shares Impl's
// identity and reference count.
template <class Impl>
class StdInterfaceTearOff final : public QfstoreStdInterface {
  public:
    explicit StdInterfaceTearOff(Impl& owner) : owner_(owner) {}

    Status QueryInterface(const Guid& iid, void** out) override {
        return owner_.QueryInterface(iid, out);
    }
    uint32_t AddRef() override { return owner_.AddRef(); }
    uint32_t Release() override { return owner_.Release(); }

    void Path(const std::string& s) override { owner_.QfstoreStdInterface_Path(s); }
    std::string Path() override { return owner_.QfstoreStdInterface_Path(); }
    void Section(const std::string& s) override { owner_.QfstoreStdInterface_Section(s); }
    std::string Section() override { return owner_.QfstoreStdInterface_Section(); }
    bool SetValue(const std::string& sFieldName, const Variant& vValue,
                  const std::string& sDelimiter) override {
        return owner_.QfstoreStdInterface_SetValue(sFieldName, vValue, sDelimiter);
    }
    Variant GetValue(const std::string& sFieldName, const std::string& sDelimiter) override {
        return owner_.QfstoreStdInterface_GetValue(sFieldName, sDelimiter);
    }
    Variant Version(bool bShow) override { return owner_.QfstoreStdInterface_Version(bShow); }

    // This tear-off for the standard interface's identifier, nullptr otherwise: the body of the
    // owner's QueryExtra.
    void* For(const Guid& iid) {
        return iid == IID_QfstoreStdInterface ? static_cast<QfstoreStdInterface*>(this) : nullptr;
    }

  private:
    Impl& owner_;
};

// The standard interface's SetValue and GetValue of a store whose own members do the work:
// GetValue with array and number detection and the missing-argument marker as its default.
// Errors leave with "<kClass>.QfstoreStdInterface_SetValue" or "..._GetValue" appended.
template <class Impl, const std::string_view& kClass>
class StdValueMembers {
  public:
    bool QfstoreStdInterface_SetValue(const std::string& sFieldName, const Variant& vValue,
                                      const std::string& sDelimiter) {
        return Traced(kClass, ".QfstoreStdInterface_SetValue",
                      [&] { return Self().SetValue(sFieldName, vValue, sDelimiter); });
    }
    Variant QfstoreStdInterface_GetValue(const std::string& sFieldName,
                                         const std::string& sDelimiter) {
        return Traced(kClass, ".QfstoreStdInterface_GetValue", [&] {
            return Self().GetValue(sFieldName, sDelimiter, true, true, Variant::Missing());
        });
    }

  private:
    Impl& Self() { return static_cast<Impl&>(*this); }
};

}  // namespace qfstore::core
