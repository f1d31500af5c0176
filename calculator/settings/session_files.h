// Where the session log keeps its sessions: beside the settings file, an index
// "<program>.sessions.INI" (section "SESSION_FILES": key = circuit name as saved, value = the
// file of its sessions) and the folder "<program>.sessions/" holding one INI file per circuit
// (section "SESSIONS": key = the session's number, value = its line, sessions/session_record.h).
// A file per circuit keeps a save to rewriting one circuit's sessions, not the whole log. Every
// file goes through an INI store that `open` makes for its path; store errors pass on.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qfstore/com.h"
#include "qfstore/ini_file_handler.h"

namespace gearsheet {

namespace settings {
inline constexpr char kSessionFilesSection[] = "SESSION_FILES";
inline constexpr char kSessionsSection[] = "SESSIONS";
}  // namespace settings

// An INI store whose path is set to the given file.
using IniOpener = std::function<qfstore::Ptr<qfstore::QfINIFileHandler>(const std::string& path)>;

// "/home/r/Gearsheet.INI" gives "/home/r/Gearsheet.sessions.INI" and "/home/r/Gearsheet.sessions/"
// (the settings file's extension, whatever its case, gives way).
std::string SessionIndexPath(const std::string& settingsPath);
std::string SessionFolderPath(const std::string& settingsPath);

struct StoredLine {
    std::string key;
    std::string line;
};

class SessionFiles {
  public:
    SessionFiles(const std::string& settingsPath, IniOpener open);

    // The circuits that have sessions, in the order their first session was saved.
    std::vector<std::string> Circuits();
    // The sessions of `circuit` in file order; none when it has none.
    std::vector<StoredLine> Lines(const std::string& circuit);
    // Writes one session under `key`, or as a new one when `key` is empty (the number after the
    // highest in the circuit's file as it is now, so that a session another instance saved since
    // is not written over), making the folder, the circuit's file and its index entry as needed;
    // returns the key written. Error 75 naming the folder when it cannot be made.
    std::string Write(const std::string& circuit, const std::string& key, const std::string& line);
    // Removes one session; the circuit's last one takes its index entry and file with it.
    void Remove(const std::string& circuit, const std::string& key);

  private:
    qfstore::QfINIFileHandler& Store(const std::string& path);
    std::optional<std::string> FileOf(const std::string& circuit);
    std::string NewFile(const std::string& circuit);

    std::string index_;
    std::string folder_;
    IniOpener open_;
    std::map<std::string, qfstore::Ptr<qfstore::QfINIFileHandler>> stores_;
};

}  // namespace gearsheet
