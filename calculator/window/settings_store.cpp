#include "window/settings_store.h"

#include <QString>

#include "gearing/gear_data.h"
#include "qfstore/client.h"
#include "qfstore/conversions.h"
#include "qfstore/error.h"
#include "qfstore/ids.h"
#include "settings/settings_file.h"
#include "ui/dialogs.h"

namespace gearsheet {
namespace {

// The library's message box hook carries no context, so the seam it shows through is kept here.
Dialogs* g_libraryDialogs = nullptr;

void ShowLibraryMessage(const char* text, const char* title) {
    if (g_libraryDialogs)
        g_libraryDialogs->Message(nullptr, QString::fromUtf8(text), QString::fromUtf8(title),
                                  MessageIcon::Information);
}

}  // namespace

void SettingsStore::Create(const std::string& libraryPath, Dialogs& dialogs) {
    const qfstore::Component component = qfstore::Component::Load(libraryPath, kComponentName);
    g_libraryDialogs = &dialogs;
    if (auto setHook =
            component.Symbol<qfstore::QfstoreSetMessageBoxHookFn>("QfstoreSetMessageBoxHook"))
        setHook(&ShowLibraryMessage);
    store_ = component.Create<qfstore::QfINIFileHandler>(qfstore::CLSID_QfINIFileHandler,
                                                         kComponentName);
    component_ = component;
}

qfstore::Ptr<qfstore::QfINIFileHandler> SettingsStore::Open(const std::string& path) const {
    if (!component_)
        throw qfstore::Error::Runtime(qfstore::kErrObjectNotSet, kComponentName);
    auto store = component_->Create<qfstore::QfINIFileHandler>(qfstore::CLSID_QfINIFileHandler,
                                                               kComponentName);
    store->Path(path);
    return store;
}

qfstore::QfINIFileHandler& SettingsStore::Get() const {
    if (!store_)
        throw qfstore::Error::Runtime(qfstore::kErrObjectNotSet, kComponentName);
    return *store_;
}

}  // namespace gearsheet
