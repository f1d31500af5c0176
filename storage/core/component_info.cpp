#include "component_info.h"

#include "platform/message_box.h"

namespace qfstore::core {

std::string LibraryVersionText() {
    return std::string(kComponentName) + " - " + QFSTORE_VERSION;
}

std::string ClassVersionText(std::string_view className, std::string_view classVersion) {
    std::string text = LibraryVersionText();
    text += '\r';
    text += "Module: ";
    text += className;
    text += " - ";
    text += classVersion;
    return text;
}

void ShowVersion(const std::string& text) {
    platform::ShowInformation(text, std::string(kComponentName) + " - Version Information");
}

}  // namespace qfstore::core
