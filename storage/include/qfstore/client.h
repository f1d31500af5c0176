/// @file
/// Creating objects of the component from a host: linked directly, or loaded at run time.
#pragma once

#include <dlfcn.h>

#include <string>
#include <string_view>

#include "qfstore/com.h"
#include "qfstore/error.h"

namespace qfstore {

/// The library's file name as its SONAME: the name a host built with these headers loads, so that
/// it finds a library with the ABI it was built for. The build takes the SONAME's number from here.
inline constexpr const char* kLibraryFileName = "libqfstore.so.1";

/// Creates an object of class `clsid` through `getClassObject` and returns its interface T.
/// Error 429 raised by `origin` when the class or the interface is not there.
template <class T>
Ptr<T> CreateObject(DllGetClassObjectFn getClassObject, const Guid& clsid,
                    std::string_view origin) {
    void* raw = nullptr;
    if (!getClassObject || !Succeeded(getClassObject(&clsid, &IID_ClassFactory, &raw)) || !raw)
        throw Error::Runtime(kErrCantCreateObject, std::string(origin));
    auto factory = Ptr<ClassFactory>::Attach(static_cast<ClassFactory*>(raw));
    void* object = nullptr;
    if (!Succeeded(factory->CreateInstance(T::kIid, &object)) || !object)
        throw Error::Runtime(kErrCantCreateObject, std::string(origin));
    return Ptr<T>::Attach(static_cast<T*>(object));
}

/// The component loaded at run time. It stays loaded for the rest of the process, since objects
/// handed out may outlive this handle.
class Component {
  public:
    /// Loads the library at `path`; error 429 raised by `origin` when it or an entry point is
    /// missing.
    static Component Load(const std::string& path, std::string_view origin) {
        Component c;
        c.handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!c.handle_)
            throw Error::Runtime(kErrCantCreateObject, std::string(origin));
        c.getClassObject_ =
            reinterpret_cast<DllGetClassObjectFn>(dlsym(c.handle_, "DllGetClassObject"));
        if (!c.getClassObject_)
            throw Error::Runtime(kErrCantCreateObject, std::string(origin));
        return c;
    }

    /// Creates an object of class `clsid` and returns its interface T; error 429 raised by
    /// `origin` when the class or the interface is not there.
    template <class T>
    Ptr<T> Create(const Guid& clsid, std::string_view origin) const {
        return CreateObject<T>(getClassObject_, clsid, origin);
    }

    /// An entry point by name, or nullptr.
    template <class Fn>
    Fn Symbol(const char* name) const {
        return reinterpret_cast<Fn>(dlsym(handle_, name));
    }

  private:
    void* handle_ = nullptr;
    DllGetClassObjectFn getClassObject_ = nullptr;
};

}  // namespace qfstore
