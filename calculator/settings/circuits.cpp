#include "settings/circuits.h"

#include "settings/settings_file.h"
#include "settings/tyres.h"

namespace gearsheet {

std::vector<std::string> ReadCircuitNames(qfstore::QfINIFileHandler& store) {
    store.Section(settings::kCircuitsSection);
    return FieldNames(store);
}

qfstore::Variant ReadCircuit(qfstore::QfINIFileHandler& store, const std::string& name) {
    store.Section(settings::kCircuitsSection);
    return store.GetValue(name, settings::kCircuitDelimiter, true, false);
}

void AddCircuit(qfstore::QfINIFileHandler& store, const std::string& name,
                std::vector<std::string> fields) {
    store.Section(settings::kCircuitsSection);
    store.SetValue(name, qfstore::Variant::StringArray(std::move(fields)),
                   settings::kCircuitDelimiter);
}

void DeleteCircuit(qfstore::QfINIFileHandler& store, const std::string& name) {
    store.Section(settings::kCircuitsSection);
    store.DeleteField(name);
}

}  // namespace gearsheet
