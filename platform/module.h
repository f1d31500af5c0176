// The running executable's path and folder, and the parts of a path they are made of.
#pragma once

#include <string>

namespace platform {

// Full path of the running program's executable (the main program, not a loaded library);
// empty when it cannot be found.
std::string ExecutablePath();

// Folder of the running executable, ending with "/"; empty when it cannot be found.
std::string ExecutableFolder();

// The folder part of `path`, ending with "/" ("/opt/app/Gearsheet" gives "/opt/app/"); empty when
// it has none.
std::string FolderOf(const std::string& path);

// The name of the executable at `path` without folder and extension ("/opt/app/Gearsheet.bin"
// gives "Gearsheet"); a leading dot names a hidden file rather than starting an extension.
std::string ExecutableStem(const std::string& path);

// What to hand the dynamic loader for the library file `name`: the copy in `folder` when there is
// one (a build tree, an unpacked copy), otherwise `name` alone, which the loader looks for in the
// system's library folders (an installed copy).
std::string LibraryToLoad(const std::string& folder, const std::string& name);

}  // namespace platform
