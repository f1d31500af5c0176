// What the pages of the main window share: the settings store, the dialog seam and the error
// report that every handler ends a failure with.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "gearing/gear_data.h"
#include "qfstore/error.h"
#include "qfstore/variant.h"

class QWidget;

namespace gearsheet {

class Dialogs;
class QfErrorForm;
class SettingsStore;

// The caption of the program's message boxes.
inline const QString kProgramTitle = QString::fromLatin1(kComponentName);

// Shows failures in the one error report dialog, created on first use and kept.
class ErrorReporter {
  public:
    ErrorReporter(Dialogs& dialogs, QString programName, std::string logFolder, QWidget* parent);
    ~ErrorReporter();

    // Reports `error` as trapped in "MainForm" followed by `procedure` (".cmdAddTyre_Click").
    void Report(const qfstore::Error& error, std::string_view procedure);

    // The dialog, created when it does not exist yet.
    QfErrorForm& Form();

  private:
    Dialogs& dialogs_;
    QString programName_;
    std::string logFolder_;
    QWidget* parent_;
    std::unique_ptr<QfErrorForm> form_;
};

struct FormContext {
    SettingsStore& store;
    Dialogs& dialogs;
    ErrorReporter& errors;
    // Called when an input box refuses its text, before the message: the window brings the box's
    // page back in front, and the change of page that left the box calculates nothing.
    std::function<void(QWidget* box)> inputRefused = {};
};

// Runs a handler's body; a failure stops it and goes to the error report under `procedure`.
template <class Body>
void Handled(ErrorReporter& errors, std::string_view procedure, Body&& body) {
    try {
        body();
    } catch (const qfstore::Error& e) {
        errors.Report(e, procedure);
    } catch (const std::bad_alloc&) {
        errors.Report(qfstore::Error::Runtime(qfstore::kErrOutOfMemory, kComponentName), procedure);
    }
}

}  // namespace gearsheet
