// The session files through the INI store the program loads: where sessions go, what reads back,
// and what saving and deleting touch.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "sessions/session_log.h"
#include "sessions/session_record.h"
#include "store_support.h"
#include "temp_dir.h"

using namespace gearsheet;
using testing_support::ReadFile;

namespace {

struct Log {
    testing_support::TempDir folder;
    std::string settings = folder.File("Gearsheet.INI");
    SessionFiles files{settings, &testing_support::OpenStore};
    SessionLog log{files};
};

// The store the program loads, on the file it is given, running `beforeWrite` once just before its
// first write: another instance's work that falls between two steps of this one.
class InterruptedStore final : public qfstore::QfINIFileHandler {
  public:
    InterruptedStore(const std::string& path, std::function<void()> beforeWrite)
        : real_(testing_support::OpenStore(path)), beforeWrite_(std::move(beforeWrite)) {}

    qfstore::Status QueryInterface(const qfstore::Guid& iid, void** out) override {
        if (iid != qfstore::Unknown::kIid && iid != kIid) {
            *out = nullptr;
            return qfstore::kNoInterface;
        }
        *out = static_cast<qfstore::QfINIFileHandler*>(this);
        AddRef();
        return qfstore::kOk;
    }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        const uint32_t left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    void Path(const std::string& s) override { real_->Path(s); }
    std::string Path() override { return real_->Path(); }
    void Section(const std::string& s) override { real_->Section(s); }
    std::string Section() override { return real_->Section(); }
    qfstore::Variant Value() override { return real_->Value(); }
    std::string Version(bool bShow) override { return real_->Version(bShow); }
    bool SetValue(const std::string& sFieldName, const qfstore::Variant& vValue,
                  const std::string& sArrayDelim) override {
        if (auto run = std::exchange(beforeWrite_, nullptr))
            run();
        return real_->SetValue(sFieldName, vValue, sArrayDelim);
    }
    qfstore::Variant GetValue(const std::string& sFieldName, const std::string& sArrayDelim,
                              bool bDetectArray, bool bDetectNum,
                              const qfstore::Variant& vDefaultReturn) override {
        return real_->GetValue(sFieldName, sArrayDelim, bDetectArray, bDetectNum, vDefaultReturn);
    }
    qfstore::Variant GetSectionNames() override { return real_->GetSectionNames(); }
    qfstore::Variant GetFieldNames() override { return real_->GetFieldNames(); }
    void DeleteSection() override { real_->DeleteSection(); }
    void DeleteField(const std::string& sFieldName) override { real_->DeleteField(sFieldName); }

  private:
    ~InterruptedStore() = default;

    qfstore::Ptr<qfstore::QfINIFileHandler> real_;
    std::function<void()> beforeWrite_;
    uint32_t references_ = 1;
};

Session Named(const std::string& circuit, const std::string& date, const std::string& name) {
    Session s;
    s.circuit = circuit;
    s.date = date;
    s.name = name;
    return s;
}

TEST(SessionFilesTest, PathsBesideTheSettingsFile) {
    EXPECT_EQ(SessionIndexPath("/home/r/Gearsheet.INI"), "/home/r/Gearsheet.sessions.INI");
    EXPECT_EQ(SessionFolderPath("/home/r/Gearsheet.ini"), "/home/r/Gearsheet.sessions/");
    EXPECT_EQ(SessionIndexPath("/home/r.d/Gearsheet"), "/home/r.d/Gearsheet.sessions.INI");
}

TEST(SessionFilesTest, ACircuitsSessionsGoToItsOwnFileListedInTheIndex) {
    Log l;
    l.log.Choose("Brno");
    EXPECT_EQ(l.log.Save(Named("Brno", "2026-05-17", "Practice 1"), ""), "1");
    EXPECT_EQ(l.log.Save(Named("Brno", "2026-05-17", "Practice 2"), ""), "2");
    l.log.Choose("Mugello");
    EXPECT_EQ(l.log.Save(Named("Mugello", "2026-06-01", "Race"), ""), "1");
    EXPECT_EQ(ReadFile(l.folder.File("Gearsheet.sessions.INI")),
              "[SESSION_FILES]\nBrno=1.INI\nMugello=2.INI\n");
    EXPECT_EQ(ReadFile(l.folder.File("Gearsheet.sessions/1.INI")),
              "[SESSIONS]\n1=" + SessionLine(Named("Brno", "2026-05-17", "Practice 1")) +
                  "\n2=" + SessionLine(Named("Brno", "2026-05-17", "Practice 2")) + "\n");
    EXPECT_FALSE(std::filesystem::exists(l.settings));  // the settings file is not touched
    EXPECT_EQ(l.log.Circuits(), (std::vector<std::string>{"Brno", "Mugello"}));
}

TEST(SessionFilesTest, SessionsReadBackNewestFirstAndExactly) {
    Log l;
    l.log.Choose("Brno");
    Session odd = Named("Brno", "2026-05-18", " \"Q|1\" = [x]; ");
    odd.notes = "one\ntwo\r\n \u00e9 \u9234\u9e7f ";
    l.log.Save(Named("Brno", "2026-05-17", "Practice 1"), "");
    l.log.Save(odd, "");
    l.log.Save(Named("Brno", "2026-05-17", "Practice 2"), "");
    SessionFiles fresh(l.settings, &testing_support::OpenStore);
    SessionLog reread(fresh);
    const auto& sessions = reread.Choose("BRNO");  // circuit names ignore letter case
    ASSERT_EQ(sessions.size(), 3u);
    EXPECT_EQ(sessions[0].session.name, odd.name);
    EXPECT_EQ(sessions[0].session.notes, odd.notes);
    EXPECT_EQ(sessions[1].session.name, "Practice 2");
    EXPECT_EQ(sessions[2].session.name, "Practice 1");
}

TEST(SessionFilesTest, SavingAKeyReplacesThatSessionOnly) {
    Log l;
    l.log.Choose("Brno");
    l.log.Save(Named("Brno", "2026-05-17", "Practice 1"), "");
    l.log.Save(Named("Brno", "2026-05-17", "Practice 2"), "");
    l.log.Save(Named("Brno", "2026-05-17", "Warm-up"), "1");
    const auto sessions = l.log.Read("Brno");
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0].session.name, "Practice 2");
    EXPECT_EQ(sessions[1].session.name, "Warm-up");
    EXPECT_EQ(l.log.Sessions().size(), 2u);
    EXPECT_EQ(l.log.Sessions()[1].session.name, "Warm-up");
}

TEST(SessionFilesTest, ANewSessionNeverWritesOverOneAnotherInstanceSavedSince) {
    // Two windows on one circuit: each read the circuit's sessions before the other saved.
    Log l;
    SessionFiles otherFiles(l.settings, &testing_support::OpenStore);
    SessionLog other(otherFiles);
    l.log.Choose("Brno");
    other.Choose("Brno");
    EXPECT_EQ(l.log.Save(Named("Brno", "2026-05-17", "Practice 1"), ""), "1");
    EXPECT_EQ(other.Save(Named("Brno", "2026-05-17", "Practice 2"), ""), "2");
    EXPECT_EQ(l.log.Save(Named("Brno", "2026-05-17", "Race"), ""), "3");
    const auto sessions = SessionLog(l.files).Read("Brno");
    ASSERT_EQ(sessions.size(), 3u);
    EXPECT_EQ(sessions[0].session.name, "Race");
    EXPECT_EQ(sessions[1].session.name, "Practice 2");
    EXPECT_EQ(sessions[2].session.name, "Practice 1");
}

TEST(SessionFilesTest, DeleteRemovesThatSessionAndTheLastOneItsFile) {
    Log l;
    l.log.Choose("Brno");
    l.log.Save(Named("Brno", "2026-05-17", "Practice 1"), "");
    l.log.Save(Named("Brno", "2026-05-17", "Practice 2"), "");
    l.log.Delete("1");
    ASSERT_EQ(l.log.Read("Brno").size(), 1u);
    EXPECT_EQ(l.log.Read("Brno")[0].session.name, "Practice 2");
    l.log.Delete("2");
    EXPECT_TRUE(l.log.Sessions().empty());
    EXPECT_EQ(ReadFile(l.folder.File("Gearsheet.sessions.INI")), "[SESSION_FILES]\n");
    EXPECT_FALSE(std::filesystem::exists(l.folder.File("Gearsheet.sessions/1.INI")));
    // A circuit started afresh gets a file again.
    l.log.Save(Named("Brno", "2026-05-19", "Practice 3"), "");
    EXPECT_EQ(l.log.Read("Brno").size(), 1u);
}

TEST(SessionFilesTest, AFolderThatCannotBeMadeIsError75NamingIt) {
    Log l;
    testing_support::WriteFile(l.folder.File("Gearsheet.sessions"), "a file in the folder's place");
    l.log.Choose("Brno");
    try {
        l.log.Save(Named("Brno", "2026-05-17", "Practice 1"), "");
        FAIL() << "no error";
    } catch (const qfstore::Error& e) {
        EXPECT_EQ(e.Number(), 75);
        EXPECT_EQ(e.Description(),
                  "Path/File access error: " + l.folder.File("Gearsheet.sessions/") +
                      ": cannot make the folder (Not a directory)");
        EXPECT_EQ(e.Source(), "Gearsheet");
    }
    EXPECT_TRUE(l.log.Sessions().empty());
}

TEST(SessionFilesTest, TwoInstancesStartingCircuitsAtOnceGetFilesOfTheirOwn) {
    // A second instance saves Mugello's first session after this one has chosen the number of
    // Brno's file and before its index names it.
    testing_support::TempDir folder;
    const std::string settings = folder.File("Gearsheet.INI");
    SessionFiles other(settings, &testing_support::OpenStore);
    const auto otherSaves = [&] {
        other.Write("Mugello", "1", SessionLine(Named("Mugello", "2026-06-01", "Race")));
    };
    const std::string index = SessionIndexPath(settings);
    SessionFiles files(settings, [&](const std::string& path) {
        if (path != index)
            return testing_support::OpenStore(path);
        return qfstore::Ptr<qfstore::QfINIFileHandler>::Attach(
            new InterruptedStore(path, otherSaves));
    });
    files.Write("Brno", "1", SessionLine(Named("Brno", "2026-05-17", "Practice 1")));
    EXPECT_EQ(ReadFile(index), "[SESSION_FILES]\nMugello=2.INI\nBrno=1.INI\n");
    SessionFiles fresh(settings, &testing_support::OpenStore);
    SessionLog log(fresh);
    ASSERT_EQ(log.Choose("Brno").size(), 1u);
    EXPECT_EQ(log.Sessions()[0].session.name, "Practice 1");
    ASSERT_EQ(log.Choose("Mugello").size(), 1u);
    EXPECT_EQ(log.Sessions()[0].session.name, "Race");
}

TEST(SessionLogTest, ANewSessionCopiesTheLatestWithTodayAndNoResults) {
    Session latest = Named("Brno", "2026-05-17", "Practice 2");
    latest.laps = 12;
    latest.bestLapMs = 102'385;
    latest.topSpeed = 160;
    latest.gear = 6;
    latest.engineSpeed = 14'500;
    latest.notes = "pushes";
    latest.coldFront = 2.1;
    latest.front[0] = "32 mm";
    const Session next = NextSession(latest, "2026-05-18");
    EXPECT_EQ(next.date, "2026-05-18");
    EXPECT_EQ(next.name, "Practice 2");
    EXPECT_EQ(next.coldFront, 2.1);
    EXPECT_EQ(next.front[0], "32 mm");
    EXPECT_FALSE(next.laps || next.bestLapMs || next.topSpeed || next.gear || next.engineSpeed);
    EXPECT_EQ(next.notes, "");
}

}  // namespace
