// The settings file: its name and place, its sections and keys and how records are laid out.
// Every read and write of the program goes through the one settings store with these names.
#pragma once

#include <cstdint>
#include <string>

namespace gearsheet::settings {

// The settings file of the executable at `executablePath`: its folder, "/", its file name without
// the extension, ".INI" ("/opt/bin/X.exe" gives "/opt/bin/X.INI"). Empty for an empty path.
std::string SettingsFilePath(const std::string& executablePath);

// The settings file of the running program; empty when its executable cannot be found.
std::string SettingsFilePath();

// Delimiter of values that are read or written as arrays, unless a record says otherwise.
inline constexpr char kArrayDelimiter[] = "\t";

// Main window position in twips, written on closing, read at start-up.
inline constexpr char kWindowPosSection[] = "WINDOW_POS";
inline constexpr char kTopKey[] = "Top";
inline constexpr char kLeftKey[] = "Left";
inline constexpr int16_t kDefaultWindowPos = 500;

// Gearbox data, maintained by hand and only read (module Stuff).
inline constexpr char kGearsSection[] = "GEARS";
inline constexpr const char* kGearKeys[] = {"Gear1", "Gear2", "Gear3", "Gear4", "Gear5", "Gear6"};
inline constexpr char kReductionsSection[] = "REDUCTIONS";
inline constexpr char kInitialReductionKey[] = "InitialReduction";

// Tyre types: key = tyre name, value = rolling circumference in inches as typed.
inline constexpr char kTyresSection[] = "TYRES";
inline constexpr int16_t kDefaultCircumference = 1;

// Circuits: key = circuit name, value = kCircuitFieldCount texts joined by kCircuitDelimiter.
inline constexpr char kCircuitsSection[] = "CIRCUITS";
inline constexpr char kCircuitDelimiter[] = "|";
inline constexpr int kSuspensionRows = 10;
inline constexpr int kCircuitFrontFirst = 0;  // "FRONT" column, rows 1 … 10
inline constexpr int kCircuitRearFirst = 10;  // "REAR" column, rows 1 … 10
inline constexpr int kCircuitFrontSprocket = 20;
inline constexpr int kCircuitRearSprocket = 21;
inline constexpr int kCircuitFieldCount = 22;
// Row headings of the suspension table, in record order.
inline constexpr const char* kSuspensionRowNames[kSuspensionRows] = {
    "Static Sag:", "Loaded Sag:", "Ride Height:", "Prelead:", "Compression:",
    "Rebound:",    "Other1:",     "Other2:",      "Other3:",  "Other4:"};

// The sections of the program's features beyond the described ones ("PLANNER", "DISPLAY",
// "SPROCKET_FINDER", "CIRCUIT_GEARING") each have a module of their own that alone knows its keys.

}  // namespace gearsheet::settings
