// The settings store as the program gets it: the component loaded at run time, one
// QfINIFileHandler pointed at a file.
#pragma once

#include <string>

#include "qfstore/client.h"
#include "qfstore/ids.h"
#include "qfstore/ini_file_handler.h"
#include "temp_dir.h"

namespace testing_support {

inline qfstore::Ptr<qfstore::QfINIFileHandler> OpenStore(const std::string& path) {
    static const qfstore::Component component =
        qfstore::Component::Load(QFSTORE_LIBRARY_PATH, "Gearsheet");
    auto store =
        component.Create<qfstore::QfINIFileHandler>(qfstore::CLSID_QfINIFileHandler, "Gearsheet");
    store->Path(path);
    return store;
}

// `path` written with `contents`, then opened as above.
inline qfstore::Ptr<qfstore::QfINIFileHandler> StoreOnFile(const std::string& path,
                                                           const std::string& contents) {
    WriteFile(path, contents);
    return OpenStore(path);
}

}  // namespace testing_support
