// The INI file the read benchmarks use: a section DATA of n keys (texts, numbers and tab-separated
// lists) between two small sections.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace bench {

constexpr const char* kSection = "DATA";

inline void WriteKeysFile(const std::string& path, int64_t n) {
    std::ofstream out(path, std::ios::binary);
    out << "; " << n << " keys\n[OTHER]\nx=1\n[" << kSection << "]\n";
    for (int64_t i = 0; i < n; ++i) {
        out << "Key" << i << '=';
        switch (i % 3) {
            case 0:
                out << "Circuit number " << i;
                break;
            case 1:
                out << static_cast<double>(i) * 2.5;
                break;
            default:
                out << i << '\t' << i + 1 << '\t' << i + 2;
                break;
        }
        out << '\n';
    }
    out << "[LAST]\ny=2\n";
}

}  // namespace bench
