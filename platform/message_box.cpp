#include "message_box.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {
std::atomic<MessageBoxHook> g_hook{nullptr};
}

void SetMessageBoxHook(MessageBoxHook hook) {
    g_hook.store(hook);
}

void ShowInformation(const std::string& text, const std::string& title) {
    if (MessageBoxHook hook = g_hook.load()) {
        hook(text.c_str(), title.c_str());
        return;
    }
    // A lone carriage return would overwrite the line on a terminal.
    std::string shown = text;
    for (char& c : shown)
        if (c == '\r')
            c = '\n';
    std::fprintf(stderr, "%s: %s\n", title.c_str(), shown.c_str());
}

}  // namespace platform
