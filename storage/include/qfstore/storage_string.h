/// @file
/// The tagged-string store's own interface. Create it with CLSID_QfStorageString; it also answers
/// QfstoreStdInterface, whose Path and Section qualify every field name.
///
/// All fields live in one text, a sequence of records
///   OuterTagStart Path "." Section "." name InnerTagStart value InnerTagEnd OuterTagEnd
/// with the default tags "<\", "/>", "={" and "};": <\..Colour={Red};/>
#pragma once

#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"
#include "qfstore/variant.h"

namespace qfstore {

/// The tagged-string store: every field is a record in one text that the object holds.
class QfStorageString : public Unknown {
  public:
    /// The interface's identifier.
    static constexpr const Guid& kIid = IID_QfStorageString;

    ///@{
    /// The whole store text (the class's default member); assigning it does nothing while
    /// Protect is true.
    virtual std::string Value() = 0;
    virtual void Value(const std::string& s) = 0;
    ///@}
    ///@{
    /// When true, assignments to Value are ignored without an error.
    virtual bool Protect() = 0;
    virtual void Protect(bool b) = 0;
    ///@}
    ///@{
    /// The four tags; set them before the first record is stored, records under other tags are
    /// not found.
    virtual std::string OuterTagStart() = 0;
    virtual void OuterTagStart(const std::string& s) = 0;
    virtual std::string OuterTagEnd() = 0;
    virtual void OuterTagEnd(const std::string& s) = 0;
    virtual std::string InnerTagStart() = 0;
    virtual void InnerTagStart(const std::string& s) = 0;
    virtual std::string InnerTagEnd() = 0;
    virtual void InnerTagEnd(const std::string& s) = 0;
    ///@}
    /// "Qfstore - 1.2.3", a carriage return, "Module: QfStorageString - 1.1"; shown in a message
    /// box too when bShow is true.
    virtual std::string Version(bool bShow = false) = 0;
    /// Empties the store text whatever Protect says; tags, Path and Section stay.
    virtual void Clear() = 0;
    /// Stores vValue as text (arrays joined by sDelimiter), editing the field's record in place
    /// or appending a new one; returns false in every case. Error 5, text unchanged, when the
    /// qualified name or the value holds any of the four tags (or the record would not read back
    /// for another reason), or an existing record does not end. A record ends at the first
    /// InnerTagEnd followed by OuterTagEnd behind its search key, for every member alike.
    virtual bool SetValue(const std::string& sField, const Variant& vValue,
                          const std::string& sDelimiter = "\t") = 0;
    /// Reads a field back as text, number or array; vReturn when it is absent. Error 5 when its
    /// record lacks InnerTagEnd followed by OuterTagEnd.
    virtual Variant GetValue(const std::string& sFieldName, const std::string& sArrayDelim = "\t",
                             bool bDetectArray = true, bool bDetectNum = true,
                             const Variant& vReturn = Variant::Missing()) = 0;
    /// Cuts the field's first record out; nothing happens when it is absent. Error 5, text
    /// unchanged, when the record does not end.
    virtual void DeleteField(const std::string& sFieldName) = 0;

  protected:
    ~QfStorageString() = default;
};

}  // namespace qfstore
