// Where the program keeps its settings file and its error log. The one place that decides it.
#pragma once

#include <string>

namespace gearsheet::settings {

struct SettingsLocation {
    std::string file;     // the settings file in use
    std::string folder;   // its folder, ending with "/": the error log "error.log" goes here
    std::string problem;  // why the per-user file could not be made; empty when all went well
};

// The file the install step writes beside the program (packaging/CMakeLists.txt): one line, the
// absolute folder it installed the program in.
inline constexpr const char* kInstallRecordName = "installed-folder";

// The settings file beside the program (SettingsFilePath of `executablePath`) wherever this
// process may write it: its folder is writable, and so is the file when it exists ("portable"
// use, the build tree, a copy unpacked in the home folder). Otherwise, and always for the
// installed copy (the program runs from the folder that the install record beside it names),
// root included, the file of the same name in `<configHome>/gearsheet/`: when it does not exist
// yet it is made as a copy of the file shipped beside the program (if there is one), and it is
// never replaced afterwards.
SettingsLocation LocateSettings(const std::string& executablePath, const std::string& configHome);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, otherwise
// ~/.config; empty when neither is known.
std::string ConfigHome();

}  // namespace gearsheet::settings
