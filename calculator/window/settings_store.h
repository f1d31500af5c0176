// The program's one settings store, a QfINIFileHandler created through the component.
#pragma once

#include <string>

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

  private:
    qfstore::Ptr<qfstore::QfINIFileHandler> store_;
};

}  // namespace gearsheet
