// Creates the library object and a store through the standard interface, and prints their
// version reports.
#include <qfstore/client.h>
#include <qfstore/conversions.h>
#include <qfstore/library.h>
#include <qfstore/std_interface.h>

#include <cstdio>

int main() {
    try {
        auto library = qfstore::CreateObject<qfstore::QfstoreLibrary>(
            &DllGetClassObject, qfstore::CLSID_QfstoreLibrary, "example");
        std::printf("%s\n", library->Version().c_str());

        auto store = qfstore::CreateObject<qfstore::QfstoreStdInterface>(
            &DllGetClassObject, qfstore::CLSID_QfstoreStdInterface, "example");
        std::string report = qfstore::ToText(store->Version(), "example");
        for (char& c : report)
            if (c == '\r')
                c = '\n';
        std::printf("%s\n", report.c_str());
    } catch (const qfstore::Error& e) {
        std::fprintf(stderr, "error %d: %s\n%s\n", e.Number(), e.Description().c_str(),
                     e.Source().c_str());
        return 1;
    }
    return DllCanUnloadNow() == qfstore::kOk ? 0 : 1;
}
