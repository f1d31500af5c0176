// A writer for the tests that kill one: sets KEY of SECTION in FILE to VALUE, exit status 0 when
// done, 1 with the failure on standard error otherwise.
//
//   rewrite_child FILE SECTION KEY VALUE
//
// With QF_KILL_AFTER_BYTES=N in the environment, it kills itself with SIGKILL once N bytes in all
// have gone into regular files, after writing exactly those N: a kill inside a write.
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "platform/profile.h"

namespace {

long long Limit() {
    const char* text = getenv("QF_KILL_AFTER_BYTES");
    return text ? atoll(text) : -1;
}

}  // namespace

// Takes the place of the C library's write for every caller in this program.
extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
    static const long long limit = Limit();
    static long long written = 0;
    struct stat st;
    if (limit >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (written + static_cast<long long>(count) >= limit) {
            syscall(SYS_write, fd, buffer, static_cast<size_t>(limit - written));
            raise(SIGKILL);
        }
        written += static_cast<long long>(count);
    }
    return syscall(SYS_write, fd, buffer, count);
}

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: rewrite_child FILE SECTION KEY VALUE\n";
        return 2;
    }
    const platform::Status status =
        platform::profile::WriteValue(argv[1], argv[2], argv[3], argv[4]);
    if (!status)
        std::cerr << status.failure.text << "\n";
    return status ? 0 : 1;
}
