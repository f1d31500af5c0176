#include "settings/settings_file.h"

#include "platform/module.h"

namespace gearsheet::settings {

std::string SettingsFilePath(const std::string& executablePath) {
    if (executablePath.empty())
        return {};
    return platform::FolderOf(executablePath) + platform::ExecutableStem(executablePath) + ".INI";
}

std::string SettingsFilePath() {
    return SettingsFilePath(platform::ExecutablePath());
}

}  // namespace gearsheet::settings
