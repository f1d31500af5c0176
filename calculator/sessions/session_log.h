// The session log of one circuit at a time, as the Session Log page works with it: read once when
// the circuit is chosen, newest first, and kept up to date by saving and deleting, which write
// through at once. Plain C++ over the session files.
#pragma once

#include <string>
#include <vector>

#include "sessions/session.h"
#include "settings/session_files.h"

namespace gearsheet {

struct LoggedSession {
    std::string key;  // its number in the circuit's file
    Session session;
};

// Newest first: by date, then by the order they were made.
void SortNewestFirst(std::vector<LoggedSession>& sessions);

class SessionLog {
  public:
    explicit SessionLog(SessionFiles& files) : files_(files) {}

    // The circuits that have sessions.
    std::vector<std::string> Circuits() { return files_.Circuits(); }

    // Reads the sessions of `circuit`, newest first, and keeps them.
    const std::vector<LoggedSession>& Choose(const std::string& circuit);
    const std::string& Circuit() const { return circuit_; }
    const std::vector<LoggedSession>& Sessions() const { return sessions_; }
    // The sessions of another circuit, newest first, without choosing it.
    std::vector<LoggedSession> Read(const std::string& circuit);

    // Writes `session` under the chosen circuit: under `key`, or as a new session when `key` is
    // empty. Returns the key it was written under. Store errors pass on; nothing changes here
    // then.
    std::string Save(Session session, const std::string& key);
    // Removes the session stored under `key`, and nothing else.
    void Delete(const std::string& key);

  private:
    SessionFiles& files_;
    std::string circuit_;
    std::vector<LoggedSession> sessions_;
};

// What a new session at a circuit starts as: a copy of `latest` with today's date and its results
// (laps, best lap, top speed, gear, engine speed) and notes emptied.
Session NextSession(const Session& latest, const std::string& today);

}  // namespace gearsheet
