#include "sessions/session_csv.h"

#include "settings/settings_file.h"

namespace gearsheet {
namespace {

ShownUnits CsvUnits(PressureUnit pressure, SpeedUnit speed) {
    return ShownUnits{pressure, speed, ".", {}};
}

std::string Joined(const std::vector<std::string>& fields) {
    std::string row;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += ',';
        row += CsvField(fields[i]);
    }
    return row + "\r\n";
}

}  // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvHeader(PressureUnit pressure, SpeedUnit speed) {
    // Labels of the suspension cells name the rows of the circuit database.
    Session named;
    for (int r = 0; r < kSessionSuspensionRows; ++r)
        named.rowNames[static_cast<size_t>(r)] = settings::kSuspensionRowNames[r];
    std::vector<std::string> labels;
    for (const FieldView& v : SessionFieldViews(named, CsvUnits(pressure, speed)))
        labels.push_back(v.label);
    return Joined(labels);
}

std::string CsvRow(const Session& session, PressureUnit pressure, SpeedUnit speed) {
    std::vector<std::string> fields;
    for (const FieldView& v : SessionFieldViews(session, CsvUnits(pressure, speed))) {
        if (v.freeText || !v.number)
            fields.push_back(v.text);
        else
            fields.push_back(NumberText(*v.number));
    }
    return Joined(fields);
}

std::string SessionsCsv(const std::vector<Session>& sessions, PressureUnit pressure,
                        SpeedUnit speed) {
    std::string csv = "\xEF\xBB\xBF" + CsvHeader(pressure, speed);
    for (const Session& s : sessions) csv += CsvRow(s, pressure, speed);
    return csv;
}

}  // namespace gearsheet
