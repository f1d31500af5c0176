#include "window/form_context.h"

#include "errorreport/qf_error_form.h"

namespace gearsheet {

ErrorReporter::ErrorReporter(Dialogs& dialogs, QString programName, std::string logFolder,
                             QWidget* parent)
    : dialogs_(dialogs),
      programName_(std::move(programName)),
      logFolder_(std::move(logFolder)),
      parent_(parent) {}

ErrorReporter::~ErrorReporter() = default;

void ErrorReporter::Report(const qfstore::Error& error, std::string_view procedure) {
    Form().ShowError(error, "MainForm" + std::string(procedure), false);
}

QfErrorForm& ErrorReporter::Form() {
    if (!form_)
        form_ = std::make_unique<QfErrorForm>(dialogs_, programName_, logFolder_, parent_);
    return *form_;
}

}  // namespace gearsheet
