/// @file
/// The INI file store's own interface. Create it with CLSID_QfINIFileHandler; it also answers
/// QfstoreStdInterface.
#pragma once

#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"
#include "qfstore/variant.h"

namespace qfstore {

/// The INI file store: fields are `key=value` lines under `[SECTION]` headers of one file.
/// Every call reads or writes the file itself; see the index page for its rules.
class QfINIFileHandler : public Unknown {
  public:
    /// The interface's identifier.
    static constexpr const Guid& kIid = IID_QfINIFileHandler;

    ///@{
    /// The INI file's full name; only the first assignment counts.
    virtual void Path(const std::string& s) = 0;
    virtual std::string Path() = 0;
    ///@}
    ///@{
    /// The current section; empty or blank text makes it "DEFAULT".
    virtual void Section(const std::string& s) = 0;
    virtual std::string Section() = 0;
    ///@}
    /// The result of the latest GetValue.
    virtual Variant Value() = 0;
    /// "Qfstore - 1.2.3", a carriage return, "Module: QfINIFileHandler - 1.2"; shown in a message
    /// box too when bShow is true.
    virtual std::string Version(bool bShow = false) = 0;
    /// Writes vValue as one line (arrays joined by sArrayDelim) that reads back as written;
    /// returns false in every case. Error 5 for a value with a line break, an element holding the
    /// delimiter, or a section or field name the file cannot hold; error 6 for an infinity, NaN
    /// or a date outside the years 100 to 9999.
    virtual bool SetValue(const std::string& sFieldName, const Variant& vValue,
                          const std::string& sArrayDelim = "\t") = 0;
    /// Reads a field back as text, number or array; vDefaultReturn when it is absent.
    virtual Variant GetValue(const std::string& sFieldName, const std::string& sArrayDelim = "\t",
                             bool bDetectArray = true, bool bDetectNum = true,
                             const Variant& vDefaultReturn = Variant::Missing()) = 0;
    /// The file's section names as a zero-based String() array; the empty value when none.
    virtual Variant GetSectionNames() = 0;
    /// The current section's field names as a zero-based String() array; the empty value when
    /// none.
    virtual Variant GetFieldNames() = 0;
    /// Removes the current section, its header and every line up to the next header; nothing
    /// happens when it is absent. Error 75 when the file cannot be written.
    virtual void DeleteSection() = 0;
    /// Removes the field's first line in the current section; nothing happens when it is absent.
    /// Error 75 when the file cannot be written.
    virtual void DeleteField(const std::string& sFieldName) = 0;

  protected:
    ~QfINIFileHandler() = default;
};

}  // namespace qfstore
