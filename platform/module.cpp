#include "module.h"

#include <unistd.h>

#include <vector>

namespace platform {

std::string ExecutablePath() {
    std::vector<char> buf(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < buf.size())
            return std::string(buf.data(), static_cast<size_t>(n));
        buf.resize(buf.size() * 2);
    }
}

std::string ExecutableFolder() {
    return FolderOf(ExecutablePath());
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);  // npos + 1 is 0: no folder
}

std::string ExecutableStem(const std::string& path) {
    const size_t slash = path.rfind('/');
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string LibraryToLoad(const std::string& folder, const std::string& name) {
    const std::string beside = folder + name;
    return !folder.empty() && access(beside.c_str(), F_OK) == 0 ? beside : name;
}

}  // namespace platform
