// The CSV export as a spreadsheet reads it: written to a file and read back with Python's csv
// module.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sessions/session_csv.h"
#include "temp_dir.h"

using namespace gearsheet;

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// The file as Python's csv module reads it (UTF-8 with its byte-order mark, newline='' as the
// module asks); each field comes back hex-encoded, a row a line.
Rows ReadWithPython(const std::string& path) {
    const std::string script =
        "import csv,sys\n"
        "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
        "    for row in csv.reader(f, strict=True):\n"
        "        print(' '.join(field.encode('utf-8').hex() + '.' for field in row))\n";
    testing_support::TempDir folder;
    const std::string scriptPath = folder.File("read.py");
    testing_support::WriteFile(scriptPath, script);
    Rows rows;
    std::FILE* pipe = popen(("python3 '" + scriptPath + "' '" + path + "'").c_str(), "r");
    if (!pipe)
        return rows;
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << out;
    for (size_t start = 0; start < out.size();) {
        const size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        std::vector<std::string> fields;
        for (size_t f = 0; f < line.size();) {
            const size_t dot = line.find('.', f);
            fields.push_back(FromHex(line.substr(f, dot - f)));
            f = dot + 2;  // past ". "
        }
        rows.push_back(std::move(fields));
        start = end + 1;
    }
    return rows;
}

Session Hostile() {
    Session s;
    s.circuit = "Circuit \"de\", Catalunya";
    s.date = "2026-05-17";
    s.name = "Q1, \"hot\" lap\nsecond line";
    s.weather = Weather::kWet;
    s.airTemperature = 12.5;
    s.pressureUnit = PressureUnit::kBar;
    s.coldFront = 2;
    s.bestLapMs = 102'385;
    s.topSpeed = 257.5;
    s.speedUnit = SpeedUnit::Kmh;
    s.frontSprocket = "16";
    s.rearSprocket = "45";
    s.front[0] = "32 mm";
    s.rear[9] = "  spaced  ";
    s.notes = "Line one\r\nLine two; \u00e9\u00e8 \u9234\u9e7f";
    return s;
}

TEST(SessionCsvTest, ASpreadsheetReadsEveryFieldBack) {
    testing_support::TempDir folder;
    const std::string path = folder.File("sessions.csv");
    testing_support::WriteFile(
        path, SessionsCsv({Hostile(), Session{}}, PressureUnit::kPsi, SpeedUnit::Mph));
    const Rows rows = ReadWithPython(path);
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::string>& header = rows[0];
    ASSERT_EQ(header.size(), 41u);
    EXPECT_EQ(header[0], "Circuit");
    EXPECT_EQ(header[4], "Air temperature (\u00b0C)");
    EXPECT_EQ(header[8], "Cold pressure front (psi)");
    EXPECT_EQ(header[13], "Best lap (s)");
    EXPECT_EQ(header[14], "Top speed (mph)");
    EXPECT_EQ(header[20], "Static Sag: FRONT");
    EXPECT_EQ(header[39], "Other4: REAR");
    EXPECT_EQ(header[40], "Notes");
    const std::vector<std::string>& row = rows[1];
    ASSERT_EQ(row.size(), 41u);
    EXPECT_EQ(row[0], Hostile().circuit);
    EXPECT_EQ(row[1], "2026-05-17");
    EXPECT_EQ(row[2], Hostile().name);
    EXPECT_EQ(row[3], "wet");
    EXPECT_EQ(row[4], "12.5");
    EXPECT_EQ(row[5], "");
    EXPECT_EQ(row[8], "29.007547546");
    EXPECT_EQ(row[13], "102.385");
    EXPECT_EQ(row[14], "160.00308200111348");
    EXPECT_EQ(row[17], "16");
    EXPECT_EQ(row[19], "2.8125");
    EXPECT_EQ(row[20], "32 mm");
    EXPECT_EQ(row[39], "  spaced  ");
    EXPECT_EQ(row[40], Hostile().notes);
    EXPECT_EQ(rows[2].size(), 41u);
}

TEST(SessionCsvTest, FieldsAreQuotedOnlyWhereRfc4180AsksForIt) {
    EXPECT_EQ(CsvField("plain text"), "plain text");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(CsvRow(Session{}, PressureUnit::kBar, SpeedUnit::Mph), std::string(40, ',') + "\r\n");
}

}  // namespace
