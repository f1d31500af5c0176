#include "value_arguments.h"

#include <vector>

#include "output.h"

namespace qfstore_cli {

std::string DelimiterOf(const Arguments& args) {
    return args.Get("--delim", std::string(kTab));
}

GetRequest::GetRequest(const Arguments& args)
    : delim(DelimiterOf(args)),
      detect(!args.Has("--raw")),
      hasDefault(args.Has("--default")),
      fallback(hasDefault ? qfstore::Variant(args.Get("--default", ""))
                          : qfstore::Variant::Missing()) {}

qfstore::Variant ValueOf(std::span<const std::string> values) {
    if (values.size() == 1)
        return qfstore::Variant(values[0]);
    return qfstore::Variant::StringArray(std::vector<std::string>(values.begin(), values.end()));
}

void PrintValue(std::ostream& out, const Arguments& args, const qfstore::Variant& value) {
    if (args.Has("--json")) {
        PrintJson(out, value);
    } else {
        PrintText(out, value);
    }
}

}  // namespace qfstore_cli
