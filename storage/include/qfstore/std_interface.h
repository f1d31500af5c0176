/// @file
/// The storage interface that every store implements.
#pragma once

#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"
#include "qfstore/variant.h"

namespace qfstore {

/// The storage interface every store answers, so that code written against it works with any of
/// them. Created by itself (CLSID_QfstoreStdInterface) it stores nothing and only reports the
/// version.
class QfstoreStdInterface : public Unknown {
  public:
    /// The interface's identifier.
    static constexpr const Guid& kIid = IID_QfstoreStdInterface;

    ///@{
    /// Where the store keeps its values.
    virtual void Path(const std::string& s) = 0;
    virtual std::string Path() = 0;
    ///@}
    ///@{
    /// The group of fields within the Path.
    virtual void Section(const std::string& s) = 0;
    virtual std::string Section() = 0;
    ///@}
    /// Stores vValue as text (arrays joined by sDelimiter); the result's meaning is the store's.
    virtual bool SetValue(const std::string& sFieldName, const Variant& vValue,
                          const std::string& sDelimiter = "\t") = 0;
    /// Reads a field back with array and number detection; the missing-argument marker when absent.
    virtual Variant GetValue(const std::string& sFieldName,
                             const std::string& sDelimiter = "\t") = 0;
    /// The version report, shown in a message box too when bShow is true.
    virtual Variant Version(bool bShow = false) = 0;

  protected:
    ~QfstoreStdInterface() = default;
};

}  // namespace qfstore
