// Sessions as CSV for a spreadsheet: a header row, one row a session, RFC 4180 (fields holding a
// comma, a quote or a line break are quoted, quotes doubled, rows ended by CR LF), UTF-8, numbers
// with "." decimals, units in the header.
#pragma once

#include <string>
#include <vector>

#include "sessions/session.h"
#include "sessions/session_fields.h"

namespace gearsheet {

// One field quoted as RFC 4180 asks.
std::string CsvField(const std::string& text);

// The header row: the labels of SessionFieldViews (units as `pressure` and `speed`).
std::string CsvHeader(PressureUnit pressure, SpeedUnit speed);

// One session's row: ISO dates, numbers unrounded in the header's units, texts as typed.
std::string CsvRow(const Session& session, PressureUnit pressure, SpeedUnit speed);

// A UTF-8 byte-order mark (so that spreadsheets take the file as UTF-8), the header and a row per
// session.
std::string SessionsCsv(const std::vector<Session>& sessions, PressureUnit pressure,
                        SpeedUnit speed);

}  // namespace gearsheet
