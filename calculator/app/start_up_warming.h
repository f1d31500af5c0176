// Start-up work that needs neither the display nor the window, done on a second thread while the
// application connects to the display: the system font configuration (which the first text widget
// would otherwise load) and the storage library (which Form_Load loads again, then at no cost).
#pragma once

#include <string>
#include <thread>

namespace gearsheet {

class StartUpWarming {
  public:
    explicit StartUpWarming(const std::string& libraryPath);
    ~StartUpWarming();
    StartUpWarming(const StartUpWarming&) = delete;
    StartUpWarming& operator=(const StartUpWarming&) = delete;

    // Waits for the font configuration and the library; call before creating the first widget.
    void Wait();

  private:
    std::thread thread_;
    void* library_ = nullptr;  // released once the window holds its own reference
};

}  // namespace gearsheet
