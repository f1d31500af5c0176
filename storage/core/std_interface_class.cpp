// The creatable QfstoreStdInterface class: members that store nothing and report the version.
#include "creators.h"
#include "object.h"
#include "trace.h"

namespace qfstore::core {
namespace {

constexpr std::string_view kClass = "QfstoreStdInterface";

class StdInterfaceObject final : public Object<QfstoreStdInterface> {
  public:
    void Path(const std::string&) override {
        Traced(kClass, ".Path (Let)", [] {});
    }
    std::string Path() override {
        return Traced(kClass, ".Path (Get)", [] { return std::string(); });
    }
    void Section(const std::string&) override {
        Traced(kClass, ".Section (Let)", [] {});
    }
    std::string Section() override {
        return Traced(kClass, ".Section (Get)", [] { return std::string(); });
    }
    bool SetValue(const std::string&, const Variant&, const std::string&) override {
        return Traced(kClass, ".SetValue", [] { return false; });
    }
    Variant GetValue(const std::string&, const std::string&) override {
        return Traced(kClass, ".GetValue", [] { return Variant(); });
    }
    Variant Version(bool bShow) override {
        return Traced(kClass, ".Version (Get)", [&] {
            std::string text = ClassVersionText(kClass, "1.1");
            if (bShow)
                ShowVersion(text);
            return Variant(std::move(text));
        });
    }
};

}  // namespace

Unknown* NewQfstoreStdInterface() {
    return static_cast<QfstoreStdInterface*>(new StdInterfaceObject);
}

}  // namespace qfstore::core
