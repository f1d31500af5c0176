#include "settings/tyres.h"

#include "settings/settings_file.h"

namespace gearsheet {

std::vector<std::string> FieldNames(qfstore::QfINIFileHandler& store) {
    const qfstore::Variant names = store.GetFieldNames();
    std::vector<std::string> listed;
    if (!names.IsArray())
        return listed;
    listed.reserve(names.Elements().size());
    for (const qfstore::Variant& name : names.Elements()) listed.push_back(name.AsString());
    return listed;
}

std::vector<StoredTyre> ReadTyres(qfstore::QfINIFileHandler& store,
                                  std::optional<qfstore::Error>& unread) {
    store.Section(settings::kTyresSection);
    std::vector<StoredTyre> tyres;
    for (std::string& name : FieldNames(store)) {
        try {
            qfstore::Variant circumference =
                store.GetValue(name, settings::kArrayDelimiter, true, true,
                               qfstore::Variant(settings::kDefaultCircumference));
            tyres.push_back({std::move(name), std::move(circumference)});
        } catch (const qfstore::Error& e) {
            if (!unread)
                unread = e;
        }
    }
    return tyres;
}

void AddTyre(qfstore::QfINIFileHandler& store, const std::string& name,
             const std::string& circumference) {
    store.Section(settings::kTyresSection);
    store.SetValue(name, qfstore::Variant(circumference), settings::kArrayDelimiter);
}

void DeleteTyre(qfstore::QfINIFileHandler& store, const std::string& name) {
    store.Section(settings::kTyresSection);
    store.DeleteField(name);
}

}  // namespace gearsheet
