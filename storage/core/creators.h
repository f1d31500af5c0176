// Creators of the library's classes, one per class, used by the class table.
#pragma once

#include "qfstore/com.h"

namespace qfstore::core {

Unknown* NewQfstoreStdInterface();
Unknown* NewQfINIFileHandler();
Unknown* NewQfStorageString();
Unknown* NewQfRegistryKey();

}  // namespace qfstore::core
