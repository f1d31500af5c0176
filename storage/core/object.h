// Building blocks of the library's objects: reference counting, the count of live objects that
// decides unloading, and the tear-off that exposes a class's standard-interface members.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "qfstore/com.h"
#include "qfstore/std_interface.h"

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
        if (!out) return kPointer;
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
        if (left == 0) delete this;
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

private:
    Impl& owner_;
};

}  // namespace qfstore::core
