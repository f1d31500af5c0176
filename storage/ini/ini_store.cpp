#include "ini/ini_store.h"

#include <cerrno>
#include <utility>

#include "creators.h"
#include "library_functions.h"
#include "platform/module.h"
#include "platform/profile.h"
#include "platform/refusal.h"
#include "qfstore/conversions.h"
#include "trace.h"

namespace qfstore::core {
namespace {

constexpr std::string_view kClass = kINIFileHandlerClass;
constexpr std::string_view kClassVersion = "1.2";

// A list of names as the store hands it out: a zero-based String() array, or the empty value
// when there are none.
Variant NameList(std::vector<std::string> names) {
    if (names.empty())
        return Variant();
    return Variant::StringArray(std::move(names));
}

bool IsBlank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

// A refused name is error 5, its description going on with the name and the character; a failed
// write error 75, its description going on with the file and the step that failed, errno holding
// the system's reason.
void RaiseUnlessDone(const platform::Status& status) {
    switch (status.code) {
        case platform::Status::Code::kDone:
            return;
        case platform::Status::Code::kNameRefused:
            throw RuntimeError(kErrInvalidCall, status.failure.text);
        case platform::Status::Code::kWriteFailed: {
            Error error = RuntimeError(kErrFileAccess, status.failure.text);
            errno = status.failure.systemError;
            throw error;
        }
    }
}

}  // namespace

INIFileHandler::INIFileHandler() {
    Traced(kClass, ".Class_Initialize", [&] { programFolder_ = platform::ExecutableFolder(); });
}

INIFileHandler::INIFileHandler(std::string programFolder) {
    Traced(kClass, ".Class_Initialize", [&] { programFolder_ = std::move(programFolder); });
}

void INIFileHandler::Path(const std::string& s) {
    Traced(kClass, ".Path (Let)", [&] {
        if (pathAssigned_)
            return;
        path_ = s;
        pathAssigned_ = true;
    });
}

std::string INIFileHandler::Path() {
    return Traced(kClass, ".Path (Get)", [&] { return path_; });
}

void INIFileHandler::Section(const std::string& s) {
    Traced(kClass, ".Section (Let)", [&] { section_ = IsBlank(s) ? "DEFAULT" : s; });
}

std::string INIFileHandler::Section() {
    return Traced(kClass, ".Section (Get)", [&] { return section_; });
}

Variant INIFileHandler::Value() {
    return Traced(kClass, ".Value (Get)", [&] { return value_; });
}

std::string INIFileHandler::Version(bool bShow) {
    return Traced(kClass, ".Version", [&] {
        std::string text = ClassVersionText(kClass, kClassVersion);
        if (bShow)
            ShowVersion(text);
        return text;
    });
}

bool INIFileHandler::SetValue(const std::string& sFieldName, const Variant& vValue,
                              const std::string& sArrayDelim) {
    return Traced(kClass, ".SetValue", [&] {
        const std::string text = ToText(PrepForSet(vValue, sArrayDelim), kComponentName);
        // A read gives one line back: a value with a line break could never be read whole.
        if (const size_t at = text.find_first_of("\r\n"); at != std::string::npos)
            throw RuntimeError(kErrInvalidCall,
                               platform::Refusal("value", text, "holds", text.substr(at, 1)));
        INISetValue(Path(), Section(), sFieldName, text);
        return false;
    });
}

Variant INIFileHandler::GetValue(const std::string& sFieldName, const std::string& sArrayDelim,
                                 bool bDetectArray, bool bDetectNum,
                                 const Variant& vDefaultReturn) {
    return Traced(kClass, ".GetValue", [&] {
        // Absence comes back as nullopt, so no stored text can be mistaken for it. The path and
        // section are read in place: this runs once per value a client reads.
        std::optional<std::string> stored = INIGetValue(path_, section_, sFieldName);
        Variant result =
            stored ? PrepForGet(Variant(std::move(*stored)), sArrayDelim, bDetectArray, bDetectNum)
                   : vDefaultReturn;
        value_ = result;
        return result;
    });
}

Variant INIFileHandler::GetSectionNames() {
    return Traced(kClass, ".GetSectionNames", [&] { return NameList(INIGetSections(Path())); });
}

Variant INIFileHandler::GetFieldNames() {
    return Traced(kClass, ".GetFieldNames",
                  [&] { return NameList(INIGetFields(Path(), Section())); });
}

void INIFileHandler::DeleteSection() {
    Traced(kClass, ".DeleteSection", [&] { INIDeleteSection(Path(), Section()); });
}

void INIFileHandler::DeleteField(const std::string& sFieldName) {
    Traced(kClass, ".DeleteField", [&] { INIDeleteValue(Path(), Section(), sFieldName); });
}

void INIFileHandler::QfstoreStdInterface_Path(const std::string& s) {
    Traced(kClass, ".QfstoreStdInterface_Path (Let)", [&] {
        if (s.empty())
            return;
        std::string n = s;
        const std::string tail = n.size() > 4 ? n.substr(n.size() - 4) : n;
        if (tail.find('.') == std::string::npos)
            n += ".INI";
        const auto b = static_cast<size_t>(ReverseInStr(n, "/", 1, 0));
        if (n.front() == '/') {
            if (!PathExists(n.substr(0, b)))
                n = programFolder_ + n.substr(b);
        } else if (PathExists(programFolder_ + n.substr(0, b))) {
            n = programFolder_ + n;
        } else {
            n = programFolder_ + n.substr(b);
        }
        Path(n);
    });
}

std::string INIFileHandler::QfstoreStdInterface_Path() {
    return Traced(kClass, ".QfstoreStdInterface_Path (Get)", [&] { return Path(); });
}

void INIFileHandler::QfstoreStdInterface_Section(const std::string& s) {
    Traced(kClass, ".QfstoreStdInterface_Section (Let)", [&] { Section(s); });
}

std::string INIFileHandler::QfstoreStdInterface_Section() {
    return Traced(kClass, ".QfstoreStdInterface_Section (Get)", [&] { return Section(); });
}

Variant INIFileHandler::QfstoreStdInterface_Version(bool bShow) {
    return Traced(kClass, ".QfstoreStdInterface_Version", [&] { return Variant(Version(bShow)); });
}

std::vector<std::string> INIFileHandler::INIGetSections(const std::string& file) {
    return Traced(kClass, ".INIGetSections", [&] { return platform::profile::SectionNames(file); });
}

std::vector<std::string> INIFileHandler::INIGetFields(const std::string& file,
                                                      const std::string& section) {
    return Traced(kClass, ".INIGetFields",
                  [&] { return platform::profile::KeyNames(file, section); });
}

std::optional<std::string> INIFileHandler::INIGetValue(const std::string& file,
                                                       const std::string& section,
                                                       const std::string& field) {
    return Traced(kClass, ".INIGetValue",
                  [&] { return platform::profile::ReadValue(file, section, field); });
}

void INIFileHandler::INISetValue(const std::string& file, const std::string& section,
                                 const std::string& field, const std::string& value) {
    Traced(kClass, ".INISetValue",
           [&] { RaiseUnlessDone(platform::profile::WriteValue(file, section, field, value)); });
}

void INIFileHandler::INIDeleteValue(const std::string& file, const std::string& section,
                                    const std::string& field) {
    Traced(kClass, ".INIDeleteValue",
           [&] { RaiseUnlessDone(platform::profile::DeleteKey(file, section, field)); });
}

void INIFileHandler::INIDeleteSection(const std::string& file, const std::string& section) {
    Traced(kClass, ".INIDeleteSection",
           [&] { RaiseUnlessDone(platform::profile::DeleteSection(file, section)); });
}

Unknown* NewQfINIFileHandler() {
    return static_cast<QfINIFileHandler*>(new INIFileHandler);
}

}  // namespace qfstore::core
