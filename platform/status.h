// What the operations of platform/ that change files come to, and why one failed.
#pragma once

#include <string>
#include <utility>

namespace platform {

// Why an operation could not be carried out: the system's error number or SQLite's result code,
// and a text that names the file and what failed, e.g. "/home/a/app.ini: locked by another
// process for 10 s".
struct Failure {
    int systemError = 0;  // errno when the system refused; 0 otherwise
    int sqliteCode = 0;   // SQLite's extended result code; 0 when SQLite did not fail
    std::string text;
};

// Done, refused before anything was touched (a name that could not be read back), or failed
// with the old file left as it was.
struct [[nodiscard]] Status {
    enum class Code { kDone, kNameRefused, kWriteFailed };

    Code code = Code::kDone;
    Failure failure;  // why, for kWriteFailed; for kNameRefused its text says which name and
                      // which character, e.g. `key name "a=b" holds "="`

    static Status Done() { return {}; }
    static Status NameRefused(std::string why) {
        return {Code::kNameRefused, Failure{0, 0, std::move(why)}};
    }
    static Status WriteFailed(Failure why) { return {Code::kWriteFailed, std::move(why)}; }

    explicit operator bool() const { return code == Code::kDone; }
};

}  // namespace platform
