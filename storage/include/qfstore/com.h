/// @file
/// Reference-counted objects, class factories and the component's entry points.
#pragma once

#include <cstdint>
#include <utility>

#include "qfstore/guid.h"

namespace qfstore {

using Status = int32_t;
inline constexpr Status kOk = 0;
inline constexpr Status kFalse = 1;
inline constexpr Status kNotImplemented = static_cast<Status>(0x80004001u);
inline constexpr Status kNoInterface = static_cast<Status>(0x80004002u);
inline constexpr Status kPointer = static_cast<Status>(0x80004003u);
inline constexpr Status kFail = static_cast<Status>(0x80004005u);
inline constexpr Status kOutOfMemory = static_cast<Status>(0x8007000Eu);
inline constexpr Status kClassNotAvailable = static_cast<Status>(0x80040111u);
inline constexpr Status kSelfRegClass = static_cast<Status>(0x80040201u);

inline bool Succeeded(Status s) {
    return s >= 0;
}

/// Base of every interface: identity, and a reference count that frees the object inside the
/// library when the last holder releases it.
class Unknown {
  public:
    static constexpr const Guid& kIid = IID_Unknown;
    virtual Status QueryInterface(const Guid& iid, void** out) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

  protected:
    ~Unknown() = default;
};

class ClassFactory : public Unknown {
  public:
    static constexpr const Guid& kIid = IID_ClassFactory;
    /// Creates a new object and hands out its interface `iid`, holding one reference.
    virtual Status CreateInstance(const Guid& iid, void** out) = 0;
    /// Keeps the library loaded while locked.
    virtual Status LockServer(bool lock) = 0;

  protected:
    ~ClassFactory() = default;
};

/// Holds one reference to an interface and releases it when it goes.
template <class T>
class Ptr {
  public:
    Ptr() = default;
    /// Takes over a reference the caller already holds.
    static Ptr Attach(T* p) {
        Ptr r;
        r.p_ = p;
        return r;
    }
    Ptr(const Ptr& o) : p_(o.p_) {
        if (p_)
            p_->AddRef();
    }
    Ptr(Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ptr& operator=(Ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ptr() { Reset(); }

    void Reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    /// Asks the object for another of its interfaces; empty when it has none.
    template <class U>
    Ptr<U> As() const {
        void* out = nullptr;
        if (!p_ || !Succeeded(p_->QueryInterface(U::kIid, &out)))
            return {};
        return Ptr<U>::Attach(static_cast<U*>(out));
    }

  private:
    T* p_ = nullptr;
};

/// Signatures of the entry points, for hosts that load the library at run time.
using DllGetClassObjectFn = Status (*)(const Guid* clsid, const Guid* iid, void** out);
using DllCanUnloadNowFn = Status (*)();
using DllRegisterServerFn = Status (*)();
using DllUnregisterServerFn = Status (*)();
/// Text and title of an information message box; the host shows it and returns when it is closed.
using MessageBoxHook = void (*)(const char* text, const char* title);
using QfstoreSetMessageBoxHookFn = void (*)(MessageBoxHook hook);

}  // namespace qfstore

extern "C" {
/// The factory of class `clsid` as interface `iid` (normally IID_ClassFactory).
__attribute__((visibility("default"))) qfstore::Status DllGetClassObject(const qfstore::Guid* clsid,
                                                                         const qfstore::Guid* iid,
                                                                         void** out);
/// kOk when no object, factory or lock of the library is alive, kFalse otherwise.
__attribute__((visibility("default"))) qfstore::Status DllCanUnloadNow();
/// Enters every class in the registry; kSelfRegClass when that fails.
__attribute__((visibility("default"))) qfstore::Status DllRegisterServer();
/// Removes what DllRegisterServer entered.
__attribute__((visibility("default"))) qfstore::Status DllUnregisterServer();
/// Lets the host show the library's message boxes; nullptr sends them to standard error.
__attribute__((visibility("default"))) void QfstoreSetMessageBoxHook(qfstore::MessageBoxHook hook);
}
