#include "profile.h"

#include <time.h>

#include <cerrno>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "file_rewrite.h"
#include "profile_text.h"

namespace platform::profile {

namespace {

using detail::Fold;
using detail::LineKind;
using files::Contents;
using files::Stamp;

// The names and values of one file, as the reads need them.
struct Parsed {
    struct Section {
        std::vector<std::string> keyNames;
        std::unordered_map<std::string, std::string> values;  // folded name -> first value
    };
    std::vector<std::string> sectionNames;
    std::unordered_map<std::string, Section> sections;  // folded name -> first occurrence
};

std::shared_ptr<const Parsed> Parse(std::string_view bytes) {
    auto parsed = std::make_shared<Parsed>();
    const detail::Text text = detail::Split(bytes);
    // Keys before the first header, and those of a repeated section, are not reachable.
    Parsed::Section* current = nullptr;
    for (const detail::Line& line : text.lines) {
        if (line.kind == LineKind::kHeader) {
            parsed->sectionNames.emplace_back(line.name);
            auto [it, added] = parsed->sections.try_emplace(Fold(line.name));
            current = added ? &it->second : nullptr;
        } else if (line.kind == LineKind::kKey && current) {
            current->keyNames.emplace_back(line.name);
            current->values.try_emplace(Fold(line.name), line.value);
        }
    }
    return parsed;
}

// File systems stamp changes with a coarse clock (a few milliseconds; whole seconds on some, two
// seconds on FAT). An in-place change of the same size within one tick of the stamp we saw leaves
// the stat unchanged, so a parse is trusted on its stat alone only when the file's last change
// lay this long before the moment we looked. Younger files are read again on every call and
// their bytes compared, which costs a read but no parse. A file system whose clock runs more than
// this behind ours (a remote server) could still hide such a change.
constexpr int64_t kSettleSeconds = 2;

// The wall clock the stamps are compared with; a test may replace it (SetClockHook).
std::function<timespec()>& ClockHook() {
    static std::function<timespec()> hook;
    return hook;
}

timespec Now() {
    if (const auto& hook = ClockHook())
        return hook();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool Settled(const Stamp& stamp, const timespec& lookedAt) {
    const timespec& last = (stamp.changed.tv_sec > stamp.modified.tv_sec ||
                            (stamp.changed.tv_sec == stamp.modified.tv_sec &&
                             stamp.changed.tv_nsec > stamp.modified.tv_nsec))
                               ? stamp.changed
                               : stamp.modified;
    const int64_t limit = static_cast<int64_t>(lookedAt.tv_sec) - kSettleSeconds;
    return static_cast<int64_t>(last.tv_sec) < limit ||
           (static_cast<int64_t>(last.tv_sec) == limit && last.tv_nsec < lookedAt.tv_nsec);
}

// The last few files parsed, most recently used first.
class Cache {
  public:
    std::shared_ptr<const Parsed> Load(const std::string& path) {
        // Taken before the stat, so that a change after the stat counts as "after we looked".
        const timespec lookedAt = Now();
        const std::optional<Stamp> stamp = files::StampOf(path);
        if (!stamp)
            return Forget(path);
        {
            std::lock_guard<std::mutex> hold(mutex_);
            auto it = Find(path);
            if (it != entries_.end() && it->settled && it->stamp == *stamp) {
                entries_.splice(entries_.begin(), entries_, it);
                return it->parsed;
            }
        }
        std::optional<Contents> contents = files::ReadContents(path);
        if (!contents)
            return Forget(path);
        const bool settled = Settled(contents->stamp, lookedAt);
        {
            std::lock_guard<std::mutex> hold(mutex_);
            auto it = Find(path);
            if (it != entries_.end() && it->bytes == contents->bytes) {
                it->stamp = contents->stamp;
                it->settled = settled;
                entries_.splice(entries_.begin(), entries_, it);
                return it->parsed;
            }
        }
        std::shared_ptr<const Parsed> parsed = Parse(contents->bytes);
        std::lock_guard<std::mutex> hold(mutex_);
        auto it = Find(path);
        if (it != entries_.end())
            entries_.erase(it);
        entries_.push_front(
            Entry{path, contents->stamp, settled, std::move(contents->bytes), parsed});
        if (entries_.size() > kCapacity)
            entries_.pop_back();
        return parsed;
    }

    void Clear() {
        std::lock_guard<std::mutex> hold(mutex_);
        entries_.clear();
    }

  private:
    static constexpr size_t kCapacity = 8;

    struct Entry {
        std::string path;
        Stamp stamp;
        bool settled = false;
        std::string bytes;
        std::shared_ptr<const Parsed> parsed;
    };

    std::list<Entry>::iterator Find(const std::string& path) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->path == path)
                return it;
        }
        return entries_.end();
    }

    std::shared_ptr<const Parsed> Forget(const std::string& path) {
        std::lock_guard<std::mutex> hold(mutex_);
        auto it = Find(path);
        if (it != entries_.end())
            entries_.erase(it);
        return nullptr;
    }

    std::mutex mutex_;
    std::list<Entry> entries_;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

const Parsed::Section* FindSection(const Parsed& parsed, std::string_view section) {
    auto it = parsed.sections.find(Fold(detail::TrimSpaces(section)));
    return it == parsed.sections.end() ? nullptr : &it->second;
}

// A line break in a name would write a line of its own making into the file.
bool WithoutLineBreak(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key) {
    const std::shared_ptr<const Parsed> parsed = TheCache().Load(file);
    if (!parsed)
        return std::nullopt;
    const Parsed::Section* found = FindSection(*parsed, section);
    if (!found)
        return std::nullopt;
    auto it = found->values.find(Fold(detail::TrimSpaces(key)));
    if (it == found->values.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> SectionNames(const std::string& file) {
    const std::shared_ptr<const Parsed> parsed = TheCache().Load(file);
    return parsed ? parsed->sectionNames : std::vector<std::string>{};
}

std::vector<std::string> KeyNames(const std::string& file, std::string_view section) {
    const std::shared_ptr<const Parsed> parsed = TheCache().Load(file);
    if (!parsed)
        return {};
    const Parsed::Section* found = FindSection(*parsed, section);
    return found ? found->keyNames : std::vector<std::string>{};
}

Status WriteValue(const std::string& file, std::string_view section, std::string_view key,
                  std::string_view value) {
    // A name that would read back as another, or not at all, is never written.
    if (!detail::WritableSection(section) || !detail::WritableKey(key))
        return Status::NameRefused();
    return files::Rewrite(file, [&](std::string_view old) -> std::optional<std::string> {
        return detail::WithValue(old, section, key, value);
    });
}

Status DeleteKey(const std::string& file, std::string_view section, std::string_view key) {
    if (!WithoutLineBreak(section) || !WithoutLineBreak(key))
        return Status::NameRefused();
    return files::Rewrite(
        file, [&](std::string_view old) { return detail::WithoutKey(old, section, key); });
}

Status DeleteSection(const std::string& file, std::string_view section) {
    if (!WithoutLineBreak(section))
        return Status::NameRefused();
    return files::Rewrite(
        file, [&](std::string_view old) { return detail::WithoutSection(old, section); });
}

void DropCache() {
    TheCache().Clear();
}

void SetClockHook(std::function<timespec()> now) {
    ClockHook() = std::move(now);
}

}  // namespace platform::profile
