// QfINIFileHandler: the store that keeps values in an INI file, one object per file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "object.h"
#include "qfstore/ini_file_handler.h"

namespace qfstore::core {

inline constexpr std::string_view kINIFileHandlerClass = "QfINIFileHandler";

class INIFileHandler final : public Object<QfINIFileHandler>,
                             public StdValueMembers<INIFileHandler, kINIFileHandlerClass> {
  public:
    // Section "DEFAULT", no path, the running program's folder as the base of relative names
    // (when that folder cannot be found, relative names stay relative to the working folder).
    INIFileHandler();
    // The same with `programFolder` (ending with "/") as the base of relative names.
    explicit INIFileHandler(std::string programFolder);

    void Path(const std::string& s) override;
    std::string Path() override;
    void Section(const std::string& s) override;
    std::string Section() override;
    Variant Value() override;
    std::string Version(bool bShow) override;
    bool SetValue(const std::string& sFieldName, const Variant& vValue,
                  const std::string& sArrayDelim) override;
    Variant GetValue(const std::string& sFieldName, const std::string& sArrayDelim,
                     bool bDetectArray, bool bDetectNum, const Variant& vDefaultReturn) override;
    Variant GetSectionNames() override;
    Variant GetFieldNames() override;
    void DeleteSection() override;
    void DeleteField(const std::string& sFieldName) override;

    // The standard interface. Path (let) resolves a name against the program folder: a name
    // without "." in its last four characters gets ".INI"; an absolute name whose folder is
    // missing, or a relative name whose folder is missing under the program folder, falls back
    // to its bare file name in the program folder; "" assigns nothing.
    void QfstoreStdInterface_Path(const std::string& s);
    std::string QfstoreStdInterface_Path();
    void QfstoreStdInterface_Section(const std::string& s);
    std::string QfstoreStdInterface_Section();
    Variant QfstoreStdInterface_Version(bool bShow);

    const std::string& ProgramFolder() const { return programFolder_; }

  protected:
    void* QueryExtra(const Guid& iid) override { return stdInterface_.For(iid); }

  private:
    // One platform call each; reads report absence as an empty list or nullopt.
    std::vector<std::string> INIGetSections(const std::string& file);
    std::vector<std::string> INIGetFields(const std::string& file, const std::string& section);
    std::optional<std::string> INIGetValue(const std::string& file, const std::string& section,
                                           const std::string& field);
    void INISetValue(const std::string& file, const std::string& section, const std::string& field,
                     const std::string& value);
    void INIDeleteValue(const std::string& file, const std::string& section,
                        const std::string& field);
    void INIDeleteSection(const std::string& file, const std::string& section);

    std::string path_;
    std::string section_ = "DEFAULT";
    Variant value_;
    bool pathAssigned_ = false;
    std::string programFolder_;
    StdInterfaceTearOff<INIFileHandler> stdInterface_{*this};
};

}  // namespace qfstore::core
