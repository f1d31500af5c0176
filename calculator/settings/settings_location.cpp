#include "settings/settings_location.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/file_rewrite.h"
#include "platform/module.h"
#include "settings/settings_file.h"

namespace gearsheet::settings {
namespace {

// Asked with the process's effective (file-system) identity, so that permissions, ACLs and
// read-only mounts all count.
bool MayWrite(const std::string& path) {
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Makes `target` a copy of `shipped` unless `target` exists. The copy is written beside it
// under a temporary name and linked into place, which fails rather than replace a file that
// another start of the program made meanwhile. Returns the system's reason of a failure, or "".
std::string CopyOnce(const std::string& shipped, const std::string& target) {
    if (access(target.c_str(), F_OK) == 0)
        return {};
    const int in = open(shipped.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno == ENOENT ? std::string() : std::strerror(errno);  // nothing shipped
    std::string bytes;
    const bool read = platform::files::ReadAll(in, bytes);
    const int readError = errno;
    close(in);
    if (!read)
        return std::strerror(readError);
    if (const int error = platform::files::MakeFolders(platform::FolderOf(target)))
        return std::strerror(error);
    std::string temp = target + ".XXXXXX";
    const int out = mkstemp(temp.data());
    if (out < 0)
        return std::strerror(errno);
    bool ok = platform::files::WriteAll(out, bytes) && fsync(out) == 0;
    int error = errno;
    ok = close(out) == 0 && ok;
    if (ok && link(temp.c_str(), target.c_str()) != 0 && errno != EEXIST) {
        error = errno;
        ok = false;
    }
    unlink(temp.c_str());
    return ok ? std::string() : std::strerror(error);
}

// True when `programFolder` holds the install record and it names this very folder (same device
// and inode, whatever path led there): the program runs where the install step put it. A copy of
// that folder elsewhere keeps the record but is not the installed copy.
bool RunsInstalled(const std::string& programFolder) {
    const int in = open((programFolder + kInstallRecordName).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    std::string recorded;
    const bool read = platform::files::ReadAll(in, recorded);
    close(in);
    while (!recorded.empty() && (recorded.back() == '\n' || recorded.back() == '\r'))
        recorded.pop_back();
    struct stat installed {};
    struct stat running {};
    return read && !recorded.empty() && stat(recorded.c_str(), &installed) == 0 &&
           stat(programFolder.c_str(), &running) == 0 && installed.st_dev == running.st_dev &&
           installed.st_ino == running.st_ino;
}

}  // namespace

SettingsLocation LocateSettings(const std::string& executablePath, const std::string& configHome) {
    const std::string beside = SettingsFilePath(executablePath);
    const std::string programFolder = platform::FolderOf(beside);
    // An installed copy never writes its own folder, whoever runs it: the package owns it.
    const bool besideWritable = !RunsInstalled(programFolder) &&
                                MayWrite(programFolder.empty() ? "." : programFolder) &&
                                (access(beside.c_str(), F_OK) != 0 || MayWrite(beside));
    if (beside.empty() || besideWritable || configHome.empty())
        return {beside, programFolder, {}};

    const std::string file = configHome + "/gearsheet/" + beside.substr(programFolder.size());
    SettingsLocation location{file, platform::FolderOf(file), {}};
    if (const std::string reason = CopyOnce(beside, file); !reason.empty())
        location.problem = "The settings file " + file + " could not be created as a copy of " +
                           beside + ": " + reason;
    return location;
}

std::string ConfigHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return home ? std::string(home) + "/.config" : std::string();
}

}  // namespace gearsheet::settings
