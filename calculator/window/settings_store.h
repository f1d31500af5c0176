// The program's one settings store, a QfINIFileHandler created through the component.
#pragma once

#include <optional>
#include <string>

#include "qfstore/client.h"
#include "qfstore/com.h"
#include "qfstore/ini_file_handler.h"

namespace gearsheet {

class Dialogs;

class SettingsStore {
  public:
    // Loads the component from `libraryPath` (when that fails, by its name from the system's
    // library path) and creates the store by its class identifier. Error 429 "Can't create
    // object" from "Gearsheet" when the library, its entry point or the class is missing. The
    // library's own message boxes are shown through `dialogs`.
    void Create(const std::string& libraryPath, Dialogs& dialogs);

    // The store; error 91 "Object variable not set" from "Gearsheet" when it was not created.
    qfstore::QfINIFileHandler& Get() const;

    // Another INI store of the same component, pointed at the file `path` (the session log's
    // files). Error 91 as Get when the component was not loaded, 429 when the class is missing.
    qfstore::Ptr<qfstore::QfINIFileHandler> Open(const std::string& path) const;

  private:
    qfstore::Ptr<qfstore::QfINIFileHandler> store_;
    std::optional<qfstore::Component> component_;
};

}  // namespace gearsheet
