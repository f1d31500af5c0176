/// @file
/// Reference-counted objects, class factories and the component's entry points.
#pragma once

#include <cstdint>
#include <utility>

#include "qfstore/guid.h"

/// Everything the library offers its callers; the index page introduces it.
namespace qfstore {

/// Text and title of an information message box; the host shows it and returns when it is closed.
using MessageBoxHook = void (*)(const char* text, const char* title);

/// Result of an entry point or an interface call: 0 or more is success, negative is failure.
using Status = int32_t;
inline constexpr Status kOk = 0;     ///< Success.
inline constexpr Status kFalse = 1;  ///< Success, answering "no" (DllCanUnloadNow).
/// The member is not implemented.
inline constexpr Status kNotImplemented = static_cast<Status>(0x80004001u);
/// The object has no interface with the identifier asked for.
inline constexpr Status kNoInterface = static_cast<Status>(0x80004002u);
/// A null pointer where a result was to go.
inline constexpr Status kPointer = static_cast<Status>(0x80004003u);
/// Unspecified failure.
inline constexpr Status kFail = static_cast<Status>(0x80004005u);
/// The object could not be allocated.
inline constexpr Status kOutOfMemory = static_cast<Status>(0x8007000Eu);
/// The library has no class with the identifier asked for.
inline constexpr Status kClassNotAvailable = static_cast<Status>(0x80040111u);
/// Registering or unregistering the classes failed.
inline constexpr Status kSelfRegClass = static_cast<Status>(0x80040201u);

/// True for a success status (0 or more).
inline bool Succeeded(Status s) {
    return s >= 0;
}

/// Base of every interface: identity, and a reference count that frees the object inside the
/// library when the last holder releases it.
class Unknown {
  public:
    /// The interface's identifier; every interface class has its own.
    static constexpr const Guid& kIid = IID_Unknown;
    /// Hands out the object's interface `iid` in `out`, holding one more reference; kNoInterface
    /// (and nullptr) when the object has no such interface.
    virtual Status QueryInterface(const Guid& iid, void** out) = 0;
    /// Takes one more reference; returns the new count (for diagnostics only).
    virtual uint32_t AddRef() = 0;
    /// Gives one reference back; the object is freed inside the library with the last one.
    virtual uint32_t Release() = 0;

  protected:
    ~Unknown() = default;
};

/// Makes the objects of one class; DllGetClassObject hands it out.
class ClassFactory : public Unknown {
  public:
    /// The interface's identifier.
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
    /// Shares the other's object, taking a reference of its own.
    Ptr(const Ptr& o) : p_(o.p_) {
        if (p_)
            p_->AddRef();
    }
    /// Takes over the other's reference, leaving it empty.
    Ptr(Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    /// Releases the reference held and holds the other's object instead.
    Ptr& operator=(Ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ptr() { Reset(); }

    /// Releases the reference held, if any, and becomes empty.
    void Reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }
    ///@{
    /// The interface held, nullptr when empty; the reference stays with this Ptr.
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    ///@}
    /// True when it holds an interface.
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

///@{
/// Signature of an entry point, for hosts that load the library at run time.
using DllGetClassObjectFn = Status (*)(const Guid* clsid, const Guid* iid, void** out);
using DllCanUnloadNowFn = Status (*)();
using DllRegisterServerFn = Status (*)();
using DllUnregisterServerFn = Status (*)();
using QfstoreSetMessageBoxHookFn = void (*)(MessageBoxHook hook);
///@}

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
