/// @file
/// The library object, also available as the component's global object.
#pragma once

#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"

namespace qfstore {

/// The library object: the version report of the library as a whole. Also the component's
/// global object, so it needs no instance of its own.
class QfstoreLibrary : public Unknown {
  public:
    /// The interface's identifier.
    static constexpr const Guid& kIid = IID_QfstoreLibrary;
    /// "Qfstore - 1.2.3", shown in a message box too when bShow is true.
    virtual std::string Version(bool bShow = false) = 0;

  protected:
    ~QfstoreLibrary() = default;
};

}  // namespace qfstore
