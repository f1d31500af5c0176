#include "sessions/session_log.h"

#include <algorithm>
#include <cstdlib>

#include "sessions/session_record.h"

namespace gearsheet {
namespace {

long KeyNumber(const std::string& key) {
    return std::strtol(key.c_str(), nullptr, 10);
}

}  // namespace

void SortNewestFirst(std::vector<LoggedSession>& sessions) {
    std::stable_sort(sessions.begin(), sessions.end(),
                     [](const LoggedSession& a, const LoggedSession& b) {
                         if (a.session.date != b.session.date)
                             return a.session.date > b.session.date;
                         return KeyNumber(a.key) > KeyNumber(b.key);
                     });
}

std::vector<LoggedSession> SessionLog::Read(const std::string& circuit) {
    std::vector<LoggedSession> sessions;
    for (StoredLine& stored : files_.Lines(circuit))
        sessions.push_back({std::move(stored.key), SessionFromLine(stored.line)});
    SortNewestFirst(sessions);
    return sessions;
}

const std::vector<LoggedSession>& SessionLog::Choose(const std::string& circuit) {
    sessions_ = Read(circuit);
    circuit_ = circuit;
    return sessions_;
}

std::string SessionLog::Save(Session session, const std::string& key) {
    std::string written = key;
    if (written.empty()) {
        long highest = 0;
        for (const LoggedSession& s : sessions_) highest = std::max(highest, KeyNumber(s.key));
        written = std::to_string(highest + 1);
    }
    files_.Write(circuit_, written, SessionLine(session));
    const auto found = std::find_if(sessions_.begin(), sessions_.end(),
                                    [&](const LoggedSession& s) { return s.key == written; });
    if (found != sessions_.end())
        found->session = std::move(session);
    else
        sessions_.push_back({written, std::move(session)});
    SortNewestFirst(sessions_);
    return written;
}

void SessionLog::Delete(const std::string& key) {
    files_.Remove(circuit_, key);
    std::erase_if(sessions_, [&](const LoggedSession& s) { return s.key == key; });
}

Session NextSession(const Session& latest, const std::string& today) {
    Session next = latest;
    next.date = today;
    next.laps.reset();
    next.bestLapMs.reset();
    next.topSpeed.reset();
    next.gear.reset();
    next.engineSpeed.reset();
    next.notes.clear();
    return next;
}

}  // namespace gearsheet
