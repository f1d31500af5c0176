#include "profile.h"

#include <time.h>

#include <cerrno>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <utility>

#include "file_rewrite.h"
#include "profile_text.h"

namespace platform::profile {

namespace {

using detail::LineKind;
using files::Contents;
using files::Stamp;

// Names looked up without regard to ASCII case in a flat open-addressing table of item numbers,
// the first of equal names winning. The caller keeps the items; `nameOf(item)` gives one's name.
// Items are added in order, numbered from 0.
class NameTable {
  public:
    // A table for at most `count` items.
    explicit NameTable(size_t count) {
        if (count >= kEmpty / 2)
            return;  // more than the slots can number: every item is kept and searched in order
        size_t size = 8;
        while (size < count * 2) size *= 2;
        slots_.assign(size, kEmpty);
    }

    // Adds `item` named `name` unless an equal name is there already; returns whether it did.
    template <class NameOf>
    bool Add(std::string_view name, size_t item, const NameOf& nameOf) {
        if (slots_.empty()) {
            ++searched_;
            return true;
        }
        for (size_t i = Start(name);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == kEmpty) {
                slots_[i] = static_cast<uint32_t>(item);
                return true;
            }
            if (detail::SameName(nameOf(slots_[i]), name))
                return false;
        }
    }

    // The item named `name`, or nullopt.
    template <class NameOf>
    std::optional<size_t> Find(std::string_view name, const NameOf& nameOf) const {
        if (slots_.empty()) {
            for (size_t item = 0; item < searched_; ++item) {
                if (detail::SameName(nameOf(item), name))
                    return item;
            }
            return std::nullopt;
        }
        for (size_t i = Start(name);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i] == kEmpty)
                return std::nullopt;
            if (detail::SameName(nameOf(slots_[i]), name))
                return slots_[i];
        }
    }

  private:
    static constexpr uint32_t kEmpty = UINT32_MAX;

    size_t Start(std::string_view name) const {
        return detail::FoldedHash(name) & (slots_.size() - 1);
    }

    std::vector<uint32_t> slots_;
    size_t searched_ = 0;  // items kept without slots
};

// One file as the reads need it: its bytes, read once, and the sections found in them. A
// section's keys are looked up through a table built at the first lookup in that section, so
// that listing names never pays for one.
class Parsed {
  public:
    explicit Parsed(std::string bytes) : bytes_(std::move(bytes)), body_(detail::Body(bytes_)) {
        // Key lines before the first header belong to no section.
        for (size_t pos = 0; pos < body_.size();) {
            const detail::Line line = detail::LineAt(body_, pos);
            pos = line.end;
            if (line.kind == LineKind::kHeader) {
                if (!sections_.empty())
                    sections_.back().end = line.begin;
                sections_.push_back(Section{line.name, line.end, body_.size(), 0});
            } else if (line.kind == LineKind::kKey && !sections_.empty()) {
                ++sections_.back().keys;
            }
        }
        sectionTable_ = NameTable(sections_.size());
        const auto nameOf = [this](size_t i) { return sections_[i].name; };
        for (size_t i = 0; i < sections_.size(); ++i)
            sectionTable_.Add(sections_[i].name, i, nameOf);
        keyTables_.resize(sections_.size());
    }

    const std::string& Bytes() const { return bytes_; }

    std::vector<std::string> SectionNames() const {
        std::vector<std::string> names;
        names.reserve(sections_.size());
        for (const Section& section : sections_) names.emplace_back(section.name);
        return names;
    }

    // Every key name of the section's first occurrence in file order; empty when it is absent.
    std::vector<std::string> KeyNames(std::string_view section) const {
        std::vector<std::string> names;
        const std::optional<size_t> found = FindSection(section);
        if (!found)
            return names;
        const Section& s = sections_[*found];
        names.reserve(s.keys);
        for (size_t pos = s.begin; pos < s.end;) {
            const detail::Line line = detail::LineAt(body_, pos);
            pos = line.end;
            if (line.kind == LineKind::kKey)
                names.emplace_back(line.name);
        }
        return names;
    }

    // The value of the first key line named `key` in the section's first occurrence.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const {
        const std::optional<size_t> found = FindSection(section);
        if (!found)
            return std::nullopt;
        const KeyTable& table = Keys(*found);
        const auto nameOf = [&](size_t i) { return detail::LineAt(body_, table.lines[i]).name; };
        const std::optional<size_t> line = table.names.Find(key, nameOf);
        if (!line)
            return std::nullopt;
        return detail::LineAt(body_, table.lines[*line]).value;
    }

  private:
    struct Section {
        std::string_view name;
        size_t begin;  // the line after the header
        size_t end;    // the next header, or the end of the body
        size_t keys;   // key lines
    };

    // The first key line of each name in one section, by where it begins in the body.
    struct KeyTable {
        std::vector<size_t> lines;
        NameTable names{0};
    };

    std::optional<size_t> FindSection(std::string_view name) const {
        return sectionTable_.Find(name, [this](size_t i) { return sections_[i].name; });
    }

    const KeyTable& Keys(size_t section) const {
        std::lock_guard<std::mutex> hold(keyMutex_);
        std::unique_ptr<KeyTable>& table = keyTables_[section];
        if (!table) {
            const Section& s = sections_[section];
            table = std::make_unique<KeyTable>();
            table->names = NameTable(s.keys);
            table->lines.reserve(s.keys);
            const auto nameOf = [&](size_t i) {
                return detail::LineAt(body_, table->lines[i]).name;
            };
            for (size_t pos = s.begin; pos < s.end;) {
                const detail::Line line = detail::LineAt(body_, pos);
                pos = line.end;
                if (line.kind == LineKind::kKey &&
                    table->names.Add(line.name, table->lines.size(), nameOf))
                    table->lines.push_back(line.begin);
            }
            table->lines.shrink_to_fit();
        }
        return *table;
    }

    std::string bytes_;
    std::string_view body_;
    std::vector<Section> sections_;  // every header in file order
    NameTable sectionTable_{0};      // the first of each name
    mutable std::mutex keyMutex_;
    mutable std::vector<std::unique_ptr<KeyTable>> keyTables_;
};

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
            if (it != entries_.end() && it->parsed->Bytes() == contents->bytes) {
                it->stamp = contents->stamp;
                it->settled = settled;
                entries_.splice(entries_.begin(), entries_, it);
                return it->parsed;
            }
        }
        auto parsed = std::make_shared<const Parsed>(std::move(contents->bytes));
        std::lock_guard<std::mutex> hold(mutex_);
        auto it = Find(path);
        if (it != entries_.end())
            entries_.erase(it);
        entries_.push_front(Entry{path, contents->stamp, settled, parsed});
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

}  // namespace

std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key) {
    const std::shared_ptr<const Parsed> parsed = TheCache().Load(file);
    if (!parsed)
        return std::nullopt;
    const std::optional<std::string_view> value =
        parsed->Value(detail::TrimSpaces(section), detail::TrimSpaces(key));
    if (!value)
        return std::nullopt;
    return std::string(*value);
}

std::vector<std::string> SectionNames(const std::string& file) {
    const std::shared_ptr<const Parsed> parsed = TheCache().Load(file);
    return parsed ? parsed->SectionNames() : std::vector<std::string>{};
}

std::vector<std::string> KeyNames(const std::string& file, std::string_view section) {
    const std::shared_ptr<const Parsed> parsed = TheCache().Load(file);
    return parsed ? parsed->KeyNames(detail::TrimSpaces(section)) : std::vector<std::string>{};
}

Status WriteValue(const std::string& file, std::string_view section, std::string_view key,
                  std::string_view value) {
    // A name that would read back as another, or not at all, is never written.
    if (auto why = detail::SectionRefusal(section))
        return Status::NameRefused(std::move(*why));
    if (auto why = detail::KeyRefusal(key))
        return Status::NameRefused(std::move(*why));
    return files::Rewrite(file, [&](std::string_view old) -> std::optional<std::string> {
        return detail::WithValue(old, section, key, value);
    });
}

Status DeleteKey(const std::string& file, std::string_view section, std::string_view key) {
    if (auto why = detail::LineBreakRefusal("section name", section))
        return Status::NameRefused(std::move(*why));
    if (auto why = detail::LineBreakRefusal("key name", key))
        return Status::NameRefused(std::move(*why));
    return files::Rewrite(
        file, [&](std::string_view old) { return detail::WithoutKey(old, section, key); });
}

Status DeleteSection(const std::string& file, std::string_view section) {
    if (auto why = detail::LineBreakRefusal("section name", section))
        return Status::NameRefused(std::move(*why));
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
