// The component's entry points: class factories, unloading and registration.
#include <atomic>

#include "class_table.h"
#include "creators.h"
#include "object.h"
#include "platform/message_box.h"
#include "qfstore/ids.h"
#include "registration.h"

namespace qfstore::core {

std::atomic<long>& LiveCount() {
    static std::atomic<long> count{0};
    return count;
}

std::span<const ClassInfo> Classes() {
    static const ClassInfo table[] = {
        {&CLSID_QfstoreLibrary, "QfstoreLibrary", nullptr},
        {&CLSID_QfstoreStdInterface, "QfstoreStdInterface", &NewQfstoreStdInterface},
        {&CLSID_QfINIFileHandler, "QfINIFileHandler", &NewQfINIFileHandler},
        {&CLSID_QfStorageString, "QfStorageString", &NewQfStorageString},
        {&CLSID_QfRegistryKey, "QfRegistryKey", &NewQfRegistryKey},
    };
    return table;
}

namespace {

class Factory final : public Object<ClassFactory> {
  public:
    explicit Factory(const ClassInfo& info) : info_(info) {}

    Status CreateInstance(const Guid& iid, void** out) override {
        if (!out)
            return kPointer;
        *out = nullptr;
        if (!info_.create)
            return GlobalLibrary()->QueryInterface(iid, out);
        Unknown* object = nullptr;
        try {
            object = info_.create();
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        const Status status = object->QueryInterface(iid, out);
        object->Release();
        return status;
    }
    Status LockServer(bool lock) override {
        if (lock) {
            ++LiveCount();
        } else {
            --LiveCount();
        }
        return kOk;
    }

  private:
    const ClassInfo& info_;
};

}  // namespace
}  // namespace qfstore::core

using namespace qfstore;

extern "C" Status DllGetClassObject(const Guid* clsid, const Guid* iid, void** out) {
    if (!out || !clsid || !iid)
        return kPointer;
    *out = nullptr;
    for (const core::ClassInfo& info : core::Classes()) {
        if (!(*info.clsid == *clsid))
            continue;
        core::Factory* factory = nullptr;
        try {
            factory = new core::Factory(info);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        const Status status = factory->QueryInterface(*iid, out);
        factory->Release();
        return status;
    }
    return kClassNotAvailable;
}

extern "C" Status DllCanUnloadNow() {
    return core::LiveCount().load() == 0 ? kOk : kFalse;
}

extern "C" Status DllRegisterServer() {
    return core::RegisterClasses() ? kOk : kSelfRegClass;
}

extern "C" Status DllUnregisterServer() {
    return core::UnregisterClasses() ? kOk : kSelfRegClass;
}

extern "C" void QfstoreSetMessageBoxHook(MessageBoxHook hook) {
    platform::SetMessageBoxHook(hook);
}
