// A platform status as text, for comparing whole outcomes in one assertion.
#pragma once

#include <string>

#include "platform/status.h"

namespace testing_support {

// "done", or "refused|" or "failed|" and the failure's text.
inline std::string Described(const platform::Status& status) {
    switch (status.code) {
        case platform::Status::Code::kDone:
            return "done";
        case platform::Status::Code::kNameRefused:
            return "refused|" + status.failure.text;
        case platform::Status::Code::kWriteFailed:
            return "failed|" + status.failure.text;
    }
    return "unknown";
}

}  // namespace testing_support
