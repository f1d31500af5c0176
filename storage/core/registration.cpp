#include "registration.h"

namespace qfstore::core {

// The registry is not available yet: registration reports failure rather than pretending.
bool RegisterClasses() { return false; }

bool UnregisterClasses() { return false; }

}  // namespace qfstore::core
