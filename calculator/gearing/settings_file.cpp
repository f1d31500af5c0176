#include "gearing/settings_file.h"

#include "platform/module.h"

namespace gearsheet::settings {

std::string SettingsFilePath(const std::string& executablePath) {
    if (executablePath.empty())
        return {};
    const size_t slash = executablePath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return executablePath.substr(0, nameStart) + platform::ExecutableStem(executablePath) + ".INI";
}

std::string SettingsFilePath() {
    return SettingsFilePath(platform::ExecutablePath());
}

}  // namespace gearsheet::settings
