// The read cache's settle window, on a clock the test sets. A file may change without changing
// its stamp while it is young, so a young file's bytes are read again on every read; a settled
// one is trusted on its stamp and not read at all. Bytes read show which it was.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/file_rewrite.h"
#include "platform/profile.h"
#include "temp_dir.h"

using namespace platform;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// Bytes this process has read so far, all files and threads together.
long long BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value) {
        if (name == "rchar:")
            return value;
    }
    return -1;
}

TEST(ProfileCache, YoungFilesAreReadAgainSettledOnesTrustTheirStamp) {
    TempDir dir;
    const std::string file = dir.File("big.ini");
    const std::string text = "[S]\nk=v\nfill=" + std::string(100000, 'x') + "\n";
    WriteFile(file, text);
    const timespec changed = files::StampOf(file)->changed;
    // Bytes the second of two reads takes, with the clock `seconds` and `nanoseconds` after the
    // file's last change.
    const auto bytesOfSecondRead = [&](time_t seconds, long nanoseconds) {
        timespec now{changed.tv_sec + seconds, changed.tv_nsec + nanoseconds};
        if (now.tv_nsec >= 1'000'000'000) {
            now.tv_nsec -= 1'000'000'000;
            ++now.tv_sec;
        }
        profile::DropCache();
        profile::SetClockHook([now] { return now; });
        EXPECT_EQ(profile::ReadValue(file, "S", "k"), "v");
        const long long before = BytesRead();
        EXPECT_EQ(profile::ReadValue(file, "S", "k"), "v");
        const long long read = BytesRead() - before;
        profile::SetClockHook({});
        return read;
    };
    ASSERT_GE(BytesRead(), 0);
    const auto size = static_cast<long long>(text.size());
    // Within the two seconds after the last change the file is young and read again; from one
    // nanosecond beyond them on it is settled.
    EXPECT_GE(bytesOfSecondRead(1, 0), size);
    EXPECT_GE(bytesOfSecondRead(2, 0), size);
    EXPECT_LT(bytesOfSecondRead(2, 1), size);
    EXPECT_LT(bytesOfSecondRead(60, 0), size);
    profile::DropCache();
}

}  // namespace
