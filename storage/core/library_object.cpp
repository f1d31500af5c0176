// QfstoreLibrary: the global object with the version report.
#include <atomic>

#include "class_table.h"
#include "component_info.h"
#include "object.h"
#include "qfstore/library.h"
#include "trace.h"

namespace qfstore::core {
namespace {

class LibraryObject final : public QfstoreLibrary {
  public:
    Status QueryInterface(const Guid& iid, void** out) override {
        if (!out)
            return kPointer;
        *out = nullptr;
        if (!(iid == IID_Unknown || iid == IID_QfstoreLibrary))
            return kNoInterface;
        *out = static_cast<QfstoreLibrary*>(this);
        AddRef();
        return kOk;
    }
    // The object lives for the whole process; holders only keep the library loaded.
    uint32_t AddRef() override {
        ++LiveCount();
        return ++refs_;
    }
    uint32_t Release() override {
        --LiveCount();
        return --refs_;
    }

    std::string Version(bool bShow) override {
        return Traced("QfstoreLibrary", ".Version", [&] {
            std::string text = LibraryVersionText();
            if (bShow)
                ShowVersion(text);
            return text;
        });
    }

  private:
    std::atomic<uint32_t> refs_{0};
};

}  // namespace

Unknown* GlobalLibrary() {
    static LibraryObject instance;
    return &instance;
}

}  // namespace qfstore::core
