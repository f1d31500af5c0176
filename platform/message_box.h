// Information message boxes of the library, shown by whatever the host program installed.
#pragma once

#include <string>

namespace platform {

using MessageBoxHook = void (*)(const char* text, const char* title);

// Installs the host's message box; nullptr sends messages to standard error.
void SetMessageBoxHook(MessageBoxHook hook);

// Shows a modal information box with one OK button and returns when it is closed.
void ShowInformation(const std::string& text, const std::string& title);

}  // namespace platform
