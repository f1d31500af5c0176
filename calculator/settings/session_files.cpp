#include "settings/session_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_rewrite.h"
#include "qfstore/error.h"
#include "settings/settings_file.h"
#include "settings/tyres.h"

namespace gearsheet {
namespace {

constexpr char kFileExtension[] = ".INI";
// The first line of a failure's call stack: the program this module is part of.
constexpr char kOrigin[] = "Gearsheet";

// The settings file's name without its extension.
std::string Stem(const std::string& settingsPath) {
    const size_t slash = settingsPath.rfind('/');
    const size_t dot = settingsPath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return settingsPath;
    return settingsPath.substr(0, dot);
}

std::string WholeText(qfstore::QfINIFileHandler& store, const std::string& key) {
    const qfstore::Variant v =
        store.GetValue(key, settings::kArrayDelimiter, false, false, qfstore::Variant(""));
    return v.Type() == qfstore::VarType::String && !v.IsArray() ? v.AsString() : std::string();
}

// The highest number the texts begin with ("12.INI" gives 12); 0 when none does.
long HighestNumber(const std::vector<std::string>& texts) {
    long highest = 0;
    for (const std::string& text : texts)
        highest = std::max(highest, std::strtol(text.c_str(), nullptr, 10));
    return highest;
}

// Error 75 naming `path` and the step that failed, with the system's reason.
[[noreturn]] void ThrowFileAccess(const std::string& path, const char* step, int error) {
    throw qfstore::Error(qfstore::kErrFileAccess,
                         std::string(qfstore::ErrorDescription(qfstore::kErrFileAccess)) + ": " +
                             path + ": " + step + " (" + std::strerror(error) + ")",
                         kOrigin);
}

}  // namespace

std::string SessionIndexPath(const std::string& settingsPath) {
    return Stem(settingsPath) + ".sessions" + kFileExtension;
}

std::string SessionFolderPath(const std::string& settingsPath) {
    return Stem(settingsPath) + ".sessions/";
}

SessionFiles::SessionFiles(const std::string& settingsPath, IniOpener open)
    : index_(SessionIndexPath(settingsPath)),
      folder_(SessionFolderPath(settingsPath)),
      open_(std::move(open)) {}

qfstore::QfINIFileHandler& SessionFiles::Store(const std::string& path) {
    qfstore::Ptr<qfstore::QfINIFileHandler>& store = stores_[path];
    if (!store)
        store = open_(path);
    return *store;
}

std::vector<std::string> SessionFiles::Circuits() {
    qfstore::QfINIFileHandler& index = Store(index_);
    index.Section(settings::kSessionFilesSection);
    return FieldNames(index);
}

std::optional<std::string> SessionFiles::FileOf(const std::string& circuit) {
    qfstore::QfINIFileHandler& index = Store(index_);
    index.Section(settings::kSessionFilesSection);
    const std::string file = WholeText(index, circuit);
    // Only a plain name inside the folder is followed.
    if (file.empty() || file.find('/') != std::string::npos || file == "." || file == "..")
        return std::nullopt;
    return folder_ + file;
}

std::vector<StoredLine> SessionFiles::Lines(const std::string& circuit) {
    std::vector<StoredLine> lines;
    const std::optional<std::string> file = FileOf(circuit);
    if (!file)
        return lines;
    qfstore::QfINIFileHandler& store = Store(*file);
    store.Section(settings::kSessionsSection);
    for (std::string& key : FieldNames(store)) {
        std::string line = WholeText(store, key);
        lines.push_back({std::move(key), std::move(line)});
    }
    return lines;
}

std::string SessionFiles::NewFile(const std::string& circuit) {
    if (const int error = platform::files::MakeFolders(folder_))
        ThrowFileAccess(folder_, "cannot make the folder", error);
    // The next number that neither the index nor the folder uses.
    qfstore::QfINIFileHandler& index = Store(index_);
    index.Section(settings::kSessionFilesSection);
    std::vector<std::string> files;
    for (const std::string& name : FieldNames(index)) files.push_back(WholeText(index, name));
    const long highest = HighestNumber(files);
    // The file is made exclusively before the index names it: another instance choosing a number
    // at the same moment finds it taken and moves on, so two circuits never share a file.
    std::string file;
    for (long n = highest + 1;; ++n) {
        file = std::to_string(n) + kFileExtension;
        if (std::FILE* made = std::fopen((folder_ + file).c_str(), "wbx")) {
            std::fclose(made);
            break;
        }
        if (errno != EEXIST)
            ThrowFileAccess(folder_ + file, "cannot make the file", errno);
    }
    try {
        index.SetValue(circuit, qfstore::Variant(file), settings::kArrayDelimiter);
    } catch (...) {
        std::remove((folder_ + file).c_str());  // no index entry names it
        throw;
    }
    return folder_ + file;
}

std::string SessionFiles::Write(const std::string& circuit, const std::string& key,
                                const std::string& line) {
    const std::optional<std::string> known = FileOf(circuit);
    const std::string file = known ? *known : NewFile(circuit);
    qfstore::QfINIFileHandler& store = Store(file);
    store.Section(settings::kSessionsSection);
    std::string written = key;
    if (written.empty())
        written = std::to_string(HighestNumber(FieldNames(store)) + 1);
    store.SetValue(written, qfstore::Variant(line), settings::kArrayDelimiter);
    return written;
}

void SessionFiles::Remove(const std::string& circuit, const std::string& key) {
    const std::optional<std::string> file = FileOf(circuit);
    if (!file)
        return;
    qfstore::QfINIFileHandler& store = Store(*file);
    store.Section(settings::kSessionsSection);
    store.DeleteField(key);
    if (!FieldNames(store).empty())
        return;
    qfstore::QfINIFileHandler& index = Store(index_);
    index.Section(settings::kSessionFilesSection);
    index.DeleteField(circuit);
    stores_.erase(*file);
    std::remove(file->c_str());
}

}  // namespace gearsheet
