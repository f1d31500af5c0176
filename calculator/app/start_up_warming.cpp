#include "app/start_up_warming.h"

#include <dlfcn.h>

#include <system_error>

#ifdef GEARSHEET_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace gearsheet {

StartUpWarming::StartUpWarming(const std::string& libraryPath) {
    try {
        thread_ = std::thread([this, path = libraryPath] {
#ifdef GEARSHEET_HAVE_FONTCONFIG
            FcInit();
#endif
            // Only a head start: a failure here is met, and reported, by Form_Load's own load.
            library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        });
    } catch (const std::system_error&) {
        // No second thread: everything loads where it always did, only later.
    }
}

StartUpWarming::~StartUpWarming() {
    Wait();
    if (library_)
        dlclose(library_);
}

void StartUpWarming::Wait() {
    if (thread_.joinable())
        thread_.join();
}

}  // namespace gearsheet
