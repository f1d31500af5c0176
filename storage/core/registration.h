// Entering the component's classes in the registry and removing them again.
#pragma once

namespace qfstore::core {

// Enters each class under HKEY_CLASSES_ROOT\CLSID\{guid} and its ProgID Qfstore.<Class>;
// false when the registry refused a write.
bool RegisterClasses();

// Removes exactly what RegisterClasses entered; false when the registry refused.
bool UnregisterClasses();

}  // namespace qfstore::core
