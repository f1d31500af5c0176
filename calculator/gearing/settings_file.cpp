#include "gearing/settings_file.h"

#include "platform/module.h"

namespace gearsheet::settings {

std::string SettingsFilePath(const std::string& executablePath) {
    if (executablePath.empty())
        return {};
    const size_t slash = executablePath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = executablePath.substr(nameStart);
    // A leading dot names a hidden file rather than starting an extension.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return executablePath.substr(0, nameStart) + name + ".INI";
}

std::string SettingsFilePath() {
    return SettingsFilePath(platform::ExecutablePath());
}

}  // namespace gearsheet::settings
