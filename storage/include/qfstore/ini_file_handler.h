/// @file
/// The INI file store's own interface. Create it with CLSID_QfINIFileHandler; it also answers
/// QfstoreStdInterface.
#pragma once

#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"
#include "qfstore/variant.h"

namespace qfstore {

class QfINIFileHandler : public Unknown {
  public:
    static constexpr const Guid& kIid = IID_QfINIFileHandler;

    /// The INI file's full name; only the first assignment counts.
    virtual void Path(const std::string& s) = 0;
    virtual std::string Path() = 0;
    /// The current section; empty or blank text makes it "DEFAULT".
    virtual void Section(const std::string& s) = 0;
    virtual std::string Section() = 0;
    /// The result of the latest GetValue.
    virtual Variant Value() = 0;
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
    virtual void DeleteSection() = 0;
    virtual void DeleteField(const std::string& sFieldName) = 0;

  protected:
    ~QfINIFileHandler() = default;
};

}  // namespace qfstore
