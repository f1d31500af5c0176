#include "registration.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <vector>

#include "class_table.h"
#include "platform/registry.h"
#include "qfstore/guid.h"

namespace qfstore::core {

namespace {

namespace reg = platform::registry;

// Full path of the file this code was loaded from: the library, or a program it is linked into.
std::string LibraryPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&RegisterClasses), &info) || !info.dli_fname)
        return {};
    std::error_code ec;
    const auto full = std::filesystem::canonical(info.dli_fname, ec);
    return ec ? std::string(info.dli_fname) : full.string();
}

std::string ProgId(const ClassInfo& info) {
    return std::string("Qfstore.") + info.name;
}
std::string ClsidKey(const ClassInfo& info) {
    return "CLSID\\" + GuidText(*info.clsid);
}

// Creates HKEY_CLASSES_ROOT\path with `text` as its unnamed value.
bool EnterKey(const std::string& path, const std::string& text) {
    reg::Handle key = 0;
    if (reg::CreateKey(reg::HKEY_CLASSES_ROOT, path, reg::KEY_ALL_ACCESS, &key, nullptr) !=
        reg::kSuccess) {
        return false;
    }
    // Stored with its terminating NUL, as texts in the registry are.
    const long status =
        reg::SetValue(key, "", reg::REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                      static_cast<uint32_t>(text.size() + 1));
    reg::CloseKey(key);
    return status == reg::kSuccess;
}

// The keys of one class, each before its subkeys.
std::vector<std::pair<std::string, std::string>> Entries(const ClassInfo& info,
                                                         const std::string& libraryPath) {
    const std::string clsid = ClsidKey(info);
    const std::string progId = ProgId(info);
    return {
        {clsid, info.name},
        {clsid + "\\InprocServer32", libraryPath},
        {clsid + "\\ProgID", progId},
        {progId, info.name},
        {progId + "\\CLSID", GuidText(*info.clsid)},
    };
}

}  // namespace

bool RegisterClasses() {
    const std::string libraryPath = LibraryPath();
    if (libraryPath.empty())
        return false;
    for (const ClassInfo& info : Classes()) {
        for (const auto& [path, text] : Entries(info, libraryPath)) {
            if (!EnterKey(path, text))
                return false;
        }
    }
    return true;
}

bool UnregisterClasses() {
    bool ok = true;
    for (const ClassInfo& info : Classes()) {
        const auto entries = Entries(info, {});
        // Subkeys first: a key with subkeys cannot be deleted. A key that is already gone is
        // fine; one that holds subkeys of someone else's stays, and that counts as refused.
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            const long status = reg::DeleteKey(reg::HKEY_CLASSES_ROOT, it->first);
            if (status != reg::kSuccess && status != reg::kFileNotFound)
                ok = false;
        }
    }
    return ok;
}

}  // namespace qfstore::core
