// Shared set-up of the registry tests: a private database folder and value helpers.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "temp_dir.h"

namespace registry_test {

namespace reg = platform::registry;

// Points XDG_CONFIG_HOME at a fresh folder, so each test starts with an empty registry.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1), 0); }

    std::string DatabaseFile() const { return dir_.File("qfstore/registry.sqlite3"); }

    testing_support::TempDir dir_;
};

struct Stored {
    uint32_t kind;
    std::vector<uint8_t> bytes;
};

inline long SetBytes(reg::Handle key, const std::string& name, uint32_t kind,
                     const std::string& bytes) {
    return reg::SetValue(key, name, kind, reinterpret_cast<const uint8_t*>(bytes.data()),
                         static_cast<uint32_t>(bytes.size()));
}

// The value's kind and bytes, read with a buffer of the size a first query reports.
inline std::optional<Stored> Read(reg::Handle key, const std::string& name) {
    Stored out{};
    uint32_t size = 0;
    if (reg::QueryValue(key, name, &out.kind, nullptr, &size) != reg::kSuccess)
        return {};
    out.bytes.resize(size);
    uint8_t spare = 0;  // a valid pointer also for an empty value
    if (reg::QueryValue(key, name, &out.kind, size ? out.bytes.data() : &spare, &size) !=
        reg::kSuccess) {
        return {};
    }
    out.bytes.resize(size);
    return out;
}

inline std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace registry_test
