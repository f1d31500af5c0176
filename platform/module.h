// The running executable's path and folder.
#pragma once

#include <string>

namespace platform {

// Full path of the running program's executable (the main program, not a loaded library);
// empty when it cannot be found.
std::string ExecutablePath();

// Folder of the running executable, ending with "/"; empty when it cannot be found.
std::string ExecutableFolder();

// The name of the executable at `path` without folder and extension ("/opt/app/Gearsheet.bin"
// gives "Gearsheet"); a leading dot names a hidden file rather than starting an extension.
std::string ExecutableStem(const std::string& path);

}  // namespace platform
