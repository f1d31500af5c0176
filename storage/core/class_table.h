// The classes the library can create, and their registry entries.
#pragma once

#include <span>

#include "qfstore/com.h"

namespace qfstore::core {

struct ClassInfo {
    const Guid* clsid;
    const char* name;  // also the ProgID's second word: Qfstore.<name>
    // A new object holding one reference, as its Unknown; nullptr for the global library object.
    Unknown* (*create)();
};

std::span<const ClassInfo> Classes();

// The global QfstoreLibrary object; its references count as live objects.
Unknown* GlobalLibrary();

}  // namespace qfstore::core
