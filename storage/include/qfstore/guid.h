/// @file
/// Class and interface identifiers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace qfstore {

/// A 128-bit class or interface identifier, in the platform's four-part layout.
struct Guid {
    ///@{
    /// One part of the identifier, as written {data1-data2-data3-data4[0..1]-data4[2..7]}.
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
    ///@}

    /// True when all 128 bits are equal.
    friend constexpr bool operator==(const Guid& a, const Guid& b) {
        if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.data4[i] != b.data4[i])
                return false;
        return true;
    }
};

/// The registry spelling: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
inline std::string GuidText(const Guid& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1,
                  g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                  g.data4[5], g.data4[6], g.data4[7]);
    return buf;
}

/// The interface every object implements.
inline constexpr Guid IID_Unknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
/// The class factory's interface.
inline constexpr Guid IID_ClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace qfstore
