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
    // Sorted by reference and moved into place once: a session is too large to move at every
    // step of the sort.
    struct Order {
        const std::string* date;
        long number;
        size_t at;
    };
    std::vector<Order> order;
    order.reserve(sessions.size());
    for (size_t i = 0; i < sessions.size(); ++i)
        order.push_back({&sessions[i].session.date, KeyNumber(sessions[i].key), i});
    std::stable_sort(order.begin(), order.end(), [](const Order& a, const Order& b) {
        if (*a.date != *b.date)
            return *a.date > *b.date;
        return a.number > b.number;
    });
    std::vector<LoggedSession> sorted;
    sorted.reserve(sessions.size());
    for (const Order& o : order) sorted.push_back(std::move(sessions[o.at]));
    sessions = std::move(sorted);
}

std::vector<LoggedSession> SessionLog::Read(const std::string& circuit) {
    std::vector<StoredLine> lines = files_.Lines(circuit);
    std::vector<LoggedSession> sessions;
    sessions.reserve(lines.size());
    for (StoredLine& stored : lines)
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
    // A new session's number comes from the file, which another instance may have added to.
    const std::string written = files_.Write(circuit_, key, SessionLine(session));
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
