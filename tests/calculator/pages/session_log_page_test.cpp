// The Session Log page as a rider uses it: a new session from the circuit record, saved and shown
// again after a restart; delete asks and removes that session only; two sessions compared; a
// session's setup taken into the circuit database.
#include <QPlainTextEdit>
#include <QTreeView>
#include <filesystem>

#include "main_window.h"

using testing_support::ReadFile;
using testing_support::Window;

namespace {

constexpr int kCircuitTab = 2;
constexpr int kSessionTab = 4;

const std::string kSettings = testing_support::kGears +
                              "[TYRES]\nSlick 180/640R17=79.2\n"
                              "[CIRCUITS]\n"
                              "Brno=32 mm|12 mm|+2|4 turns|10 clicks|12 clicks|||||28 mm|10 mm|0|"
                              "6 turns|8 clicks|10 clicks|||||16|45\n";

QStringList ListColumn(const Window& w, int column) {
    const QAbstractItemModel* list = w.Find<QTreeView>("lstSessions")->model();
    QStringList texts;
    for (int i = 0; i < list->rowCount(); ++i) texts << list->index(i, column).data().toString();
    return texts;
}

// Types into a cell of the session's setup table as the rider does.
void TypeSetupCell(Window& w, int row, int column, const QString& text) {
    auto* grid = w.Find<QTableWidget>("grdSessionSetup");
    grid->setCurrentCell(row, column);
    grid->editItem(grid->item(row, column));
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
    if (!editor)
        qFatal("no editor for cell %d, %d", row, column);
    Window::TypeInto(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void SaveNamed(Window& w, const QString& name, const QString& bestLap) {
    w.Click("cmdNewSession");
    w.Type("txtSessionName", name);
    w.Type("txtBestLap", bestLap);
    w.Click("cmdSaveSession");
}

}  // namespace

class SessionLogPageTest : public QObject {
    Q_OBJECT
  private slots:
    void aNewSessionStartsFromTheCircuitAndComesBackAfterARestart();
    void aBoxLeftWithWhatItDoesNotTakeSaysWhatItTakes();
    void theLogTurnsToTheCircuitChosenThereAndKeepsWhatIsTyped();
    void sessionsOfACircuitNoLongerStoredStayListed();
    void deleteAsksAndRemovesOnlyThatSession();
    void compareShowsTheDifferences();
    void useThisSetupChangesTheCircuitRecordAndNothingElse();
};

void SessionLogPageTest::aNewSessionStartsFromTheCircuitAndComesBackAfterARestart() {
    Window w(kSettings);
    const QString tyre = w.Current("cboTyreTypes");
    w.ClickTab(kSessionTab);
    QCOMPARE(w.Current("cboSessionCircuit"), "Brno");
    QCOMPARE(w.Text("txtSessionFront"), "16");
    QCOMPARE(w.Text("txtSessionRear"), "45");
    auto* setup = w.Find<QTableWidget>("grdSessionSetup");
    QCOMPARE(setup->item(4, 0)->text(), "10 clicks");
    QCOMPARE(setup->item(5, 1)->text(), "10 clicks");
    QCOMPARE(setup->verticalHeaderItem(3)->text(), "Prelead:");
    QCOMPARE(w.Current("cboRearTyre"), tyre);

    const QString notes = QStringLiteral(" Front | pushes = [T3]; \"late\"\n\u00e9 \u9234\u9e7f ");
    w.Type("txtSessionName", "  Practice 2 ");
    w.Type("txtBestLap", "1:42.385");
    w.Type("txtAirTemp", "18.5");
    w.Type("txtColdFront", "2.1");
    w.Find<QPlainTextEdit>("txtNotes")->setPlainText(notes);
    TypeSetupCell(w, 5, 1, "11 clicks");
    w.Click("cmdSaveSession");
    QVERIFY(std::filesystem::exists(w.dir.File("Gearsheet.sessions/1.INI")));
    QCOMPARE(ReadFile(w.dir.File("Gearsheet.sessions.INI")), "[SESSION_FILES]\nBrno=1.INI\n");

    QVERIFY(w.form->close());
    w.Start();
    w.ClickTab(kSessionTab);
    QCOMPARE(ListColumn(w, 1), QStringList{"  Practice 2 "});
    QCOMPARE(ListColumn(w, 3), QStringList{"1:42.385"});
    QCOMPARE(w.Text("txtSessionName"), "  Practice 2 ");
    QCOMPARE(w.Text("txtBestLap"), "1:42.385");
    QCOMPARE(w.Text("txtAirTemp"), "18.5");
    QCOMPARE(w.Text("txtColdFront"), "2.1");
    QCOMPARE(w.Find<QPlainTextEdit>("txtNotes")->toPlainText(), notes);
    QCOMPARE(w.Find<QTableWidget>("grdSessionSetup")->item(5, 1)->text(), "11 clicks");
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
}

void SessionLogPageTest::aBoxLeftWithWhatItDoesNotTakeSaysWhatItTakes() {
    Window w(kSettings);
    w.ClickTab(kSessionTab);
    w.Activate();
    const struct {
        const char* box;
        const char* typed;
        QString message;
    } rows[] = {
        {"txtBestLap", "1.42.385",
         "Best lap: \"1.42.385\" is not a lap time. Type minutes and seconds as 1:42.385, or "
         "seconds "
         "as 102.385."},
        {"txtTrackTemp", "71",
         "Track temperature: \"71\" is not taken. Type a number from -20 to 70 °C, such as 21.5."},
        {"txtColdRear", "5",
         "Cold pressure rear: \"5\" is not taken. Type a number from 0.5 to 4 bar, such as 2.1."},
    };
    for (const auto& row : rows) {
        w.dialogs.messages.clear();
        auto* box = w.Find<QLineEdit>(row.box);
        box->setFocus();
        w.Type(row.box, row.typed);
        QTest::mouseClick(w.Find<QLineEdit>("txtSessionName"), Qt::LeftButton);
        QCoreApplication::processEvents();  // the check runs once the focus has moved
        QCOMPARE(w.Messages(), QStringList{row.message});
        QVERIFY(w.dialogs.messages[0].icon == gearsheet::MessageIcon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), box);
        w.Type(row.box, "");
    }
    // Saving refuses the same way, and stores nothing.
    w.Type("txtBestLap", "fast");
    w.dialogs.messages.clear();
    w.Click("cmdSaveSession");
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(!std::filesystem::exists(w.dir.File("Gearsheet.sessions.INI")));
}

void SessionLogPageTest::theLogTurnsToTheCircuitChosenThereAndKeepsWhatIsTyped() {
    Window w(kSettings + "Mugello=||||||||||||||||||||15|44\n");
    w.ClickTab(kSessionTab);
    QCOMPARE(w.Current("cboSessionCircuit"), "Mugello");  // the circuit page shows the last one
    QCOMPARE(w.Text("txtSessionRear"), "44");
    // A tab visited in between leaves a new session as typed.
    w.Type("txtSessionName", "Warm-up");
    w.ClickTab(0);
    w.ClickTab(kSessionTab);
    QCOMPARE(w.Text("txtSessionName"), "Warm-up");
    // The circuit chosen on the circuit page is the log's the next time it is shown.
    w.ClickTab(kCircuitTab);
    w.Choose("cboCircuits", "Brno");
    w.ClickTab(kSessionTab);
    QCOMPARE(w.Current("cboSessionCircuit"), "Brno");
    QCOMPARE(w.Text("txtSessionRear"), "45");
    QCOMPARE(w.Text("txtSessionName"), "");
    // Chosen on the log itself, a circuit stays when the log is shown again.
    w.Choose("cboSessionCircuit", "Mugello");
    w.ClickTab(kCircuitTab);
    w.ClickTab(kSessionTab);
    QCOMPARE(w.Current("cboSessionCircuit"), "Mugello");
}

void SessionLogPageTest::sessionsOfACircuitNoLongerStoredStayListed() {
    Window w(kSettings);
    // Saved under "BRNO" (the same circuit: names ignore ASCII case) and under a circuit renamed
    // since.
    testing_support::WriteFile(w.dir.File("Gearsheet.sessions.INI"),
                               "[SESSION_FILES]\nBRNO=1.INI\nOld Ring=2.INI\n");
    std::filesystem::create_directory(w.dir.File("Gearsheet.sessions"));
    testing_support::WriteFile(w.dir.File("Gearsheet.sessions/1.INI"),
                               "[SESSIONS]\n1=BRNO|2026-05-17|Practice 1\n");
    testing_support::WriteFile(w.dir.File("Gearsheet.sessions/2.INI"),
                               "[SESSIONS]\n1=Old Ring|2026-05-10|Race\n");
    w.ClickTab(kSessionTab);
    QCOMPARE(w.Items("cboSessionCircuit"),
             QStringList({"Brno", "Old Ring (not in the circuit database)"}));
    QCOMPARE(ListColumn(w, 1), QStringList{"Practice 1"});
    w.Choose("cboSessionCircuit", "Old Ring (not in the circuit database)");
    QCOMPARE(ListColumn(w, 1), QStringList{"Race"});
}

void SessionLogPageTest::deleteAsksAndRemovesOnlyThatSession() {
    Window w(kSettings);
    w.ClickTab(kSessionTab);
    SaveNamed(w, "Practice 1", "1:43");
    SaveNamed(w, "Practice 2", "1:42");
    SaveNamed(w, "Race", "1:41");
    auto* list = w.Find<QTreeView>("lstSessions");
    list->setCurrentIndex(list->model()->index(1, 0));  // Practice 2
    QCOMPARE(w.Text("txtSessionName"), "Practice 2");
    w.dialogs.answer = false;
    w.Click("cmdDeleteSession");
    QCOMPARE(ListColumn(w, 1), QStringList({"Race", "Practice 2", "Practice 1"}));
    w.dialogs.answer = true;
    w.Click("cmdDeleteSession");
    const QString question =
        QStringLiteral("Delete the session \"Practice 2\" of %1 at Brno?")
            .arg(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(w.dialogs.questions, QStringList({question, question}));
    QCOMPARE(ListColumn(w, 1), QStringList({"Race", "Practice 1"}));
    QVERIFY(w.form->close());
    w.Start();
    w.ClickTab(kSessionTab);
    QCOMPARE(ListColumn(w, 1), QStringList({"Race", "Practice 1"}));
}

void SessionLogPageTest::compareShowsTheDifferences() {
    Window w(kSettings);
    w.ClickTab(kSessionTab);
    SaveNamed(w, "Practice 1", "1:42.385");
    w.Click("cmdNewSession");
    w.Type("txtSessionName", "Practice 2");
    w.Type("txtBestLap", "1:41.973");
    TypeSetupCell(w, 5, 1, "12 clicks");
    w.Click("cmdSaveSession");
    w.Click("cmdCompareSessions");  // the shown session against the one before it
    QCOMPARE(w.Find<QTabWidget>("tabSessionViews")->currentIndex(), 1);
    auto* grid = w.Find<QTableWidget>("grdCompare");
    QStringList differing;
    for (int r = 0; r < grid->rowCount(); ++r)
        if (grid->item(r, 1)->background().style() != Qt::NoBrush)
            differing << grid->item(r, 0)->text() + " | " + grid->item(r, 1)->text() + " | " +
                             grid->item(r, 2)->text() + " | " + grid->item(r, 3)->text();
    QCOMPARE(differing, QStringList({"Session | Practice 1 | Practice 2 | ",
                                     "Best lap (s) | 1:42.385 | 1:41.973 | -0.412 s",
                                     "Rebound: REAR | 10 clicks | 12 clicks | +2 clicks"}));
}

void SessionLogPageTest::useThisSetupChangesTheCircuitRecordAndNothingElse() {
    Window w(kSettings + "[DISPLAY]\nSpeedUnit=mph\n");
    w.ClickTab(kSessionTab);
    w.Type("txtSessionRear", "46");
    TypeSetupCell(w, 0, 0, "30 mm");
    w.Click("cmdSaveSession");
    const std::string before = w.File();
    w.Click("cmdUseSetup");
    std::string expected = before;
    const std::string old =
        "Brno=32 mm|12 mm|+2|4 turns|10 clicks|12 clicks|||||28 mm|10 mm|0|"
        "6 turns|8 clicks|10 clicks|||||16|45\n";
    expected.replace(expected.find(old), old.size(),
                     "Brno=30 mm|12 mm|+2|4 turns|10 clicks|12 clicks|||||28 mm|10 mm|0|"
                     "6 turns|8 clicks|10 clicks|||||16|46\n");
    QCOMPARE(w.File(), expected);
    // The Circuit Database page shows it.
    QCOMPARE(w.Current("cboCircuits"), "Brno");
    QCOMPARE(w.Field(1, 1), "30 mm");
    QCOMPARE(w.Text("txtRearSp"), "46");
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
}

QTEST_MAIN(SessionLogPageTest)
#include "session_log_page_test.moc"
