/// @file
/// The library object, also available as the component's global object.
#pragma once

#include <string>

#include "qfstore/com.h"
#include "qfstore/ids.h"

namespace qfstore {

class QfstoreLibrary : public Unknown {
  public:
    static constexpr const Guid& kIid = IID_QfstoreLibrary;
    /// "Qfstore - 1.2.3", shown in a message box too when bShow is true.
    virtual std::string Version(bool bShow = false) = 0;

  protected:
    ~QfstoreLibrary() = default;
};

}  // namespace qfstore
