// Makes this process one that may not write the registry database: for a child process only.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace testing_support {

// Makes `databaseFile` read-only. As root, whom permissions do not stop, this process also gives
// `folder` and everything in it to user 65534 and becomes that user. True when all of it worked.
inline bool CannotWriteRegistry(const std::filesystem::path& folder,
                                const std::string& databaseFile) {
    if (chmod(databaseFile.c_str(), 0400) != 0)
        return false;
    if (geteuid() != 0)
        return true;
    bool owned = chown(folder.c_str(), 65534, 65534) == 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        owned = owned && chown(entry.path().c_str(), 65534, 65534) == 0;
    return owned && setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
           setresuid(65534, 65534, 65534) == 0;
}

}  // namespace testing_support
