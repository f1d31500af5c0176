#include "errorreport/qf_handy_library.h"

namespace QfHandyLibrary {

qfstore::Variant ArrayUpperBound(const qfstore::Variant& array, int32_t dimension) {
    if (!array.IsArray() || dimension != 1)
        return qfstore::Variant::Null();
    return qfstore::Variant(array.UBound());
}

}  // namespace QfHandyLibrary
