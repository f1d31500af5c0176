// A session as one line of text, the value the session files keep under the session's key.
//
// The line is the session's fields in a fixed order joined by "|". Each field is escaped so that
// it holds neither "|" nor a line break: "\" is written "\\", "|" "\p", a line feed "\n" and a
// carriage return "\r"; every other character stays as typed (UTF-8). Numbers use "." and the
// shortest text that reads back the same; a field left empty is empty. Fields are only ever
// added at the end: a line with fewer fields (an older version's) reads the missing ones as
// empty, and fields after the last known one (a newer version's) are kept and written back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sessions/session.h"

namespace gearsheet {

// Fields of the line in order; kSessionFieldCount is how many this version writes.
enum SessionRecordField : int {
    kRecCircuit,
    kRecDate,
    kRecName,
    kRecWeather,
    kRecAirTemperature,
    kRecTrackTemperature,
    kRecFrontTyre,
    kRecRearTyre,
    kRecPressureUnit,
    kRecColdFront,
    kRecColdRear,
    kRecHotFront,
    kRecHotRear,
    kRecLaps,
    kRecBestLap,  // seconds, three decimals
    kRecTopSpeed,
    kRecSpeedUnit,
    kRecGear,
    kRecEngineSpeed,
    kRecFrontSprocket,
    kRecRearSprocket,
    kRecRowNames,                                       // 10 fields
    kRecFront = kRecRowNames + kSessionSuspensionRows,  // 10 fields
    kRecRear = kRecFront + kSessionSuspensionRows,      // 10 fields
    kRecNotes = kRecRear + kSessionSuspensionRows,
    kSessionFieldCount
};

// The escaped form of one field, and back. Unescaping keeps an unknown escape as it is.
std::string EscapeField(std::string_view text);
std::string UnescapeField(std::string_view text);

// The session's line.
std::string SessionLine(const Session& session);

// The session a line holds. Never fails: a number that is none reads as empty, an unknown word
// (weather, unit) as its default.
Session SessionFromLine(std::string_view line);

}  // namespace gearsheet
