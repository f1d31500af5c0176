// The error report dialog: its texts, its two sizes, and the log it writes when ticked.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "errorreport/error_report.h"
#include "errorreport/qf_error_form.h"
#include "platform/profile.h"
#include "qtest_strings.h"
#include "scripted_dialogs.h"
#include "temp_dir.h"
#include "ui/twips.h"

using gearsheet::QfErrorForm;
using testing_support::ScriptedDialogs;

namespace {

qfstore::Error GridError() {
    qfstore::Error e = qfstore::Error::Runtime(qfstore::kErrDivisionByZero, "Gearsheet");
    e.AppendTrace("MainForm.RereshGrid");
    return e;
}

void Tick(QfErrorForm& form) {
    QTest::mouseClick(form.findChild<QPushButton*>("cmdDetails"), Qt::LeftButton);
    form.findChild<QCheckBox*>("chkSaveToLog")->setChecked(true);
}

}  // namespace

class QfErrorFormTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTextsAndDetailsExpandOnce();
    void logWrittenOnlyWhenTickedAndAFailedWriteIsReported();
};

void QfErrorFormTest::showsTextsAndDetailsExpandOnce() {
    // The call stack lists the traced procedures, the last first, each after the source.
    QCOMPARE(gearsheet::BuildCallStack("P\r\nA.x\r\nB.y"), "P.B.y\r\nP.A.x\r\n");
    QCOMPARE(gearsheet::BuildCallStack(""), "");
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    int collapsed = 0;
    auto* ok = form.findChild<QPushButton*>("cmdOK");
    dialogs.onReport = [&](QfErrorForm& f) {
        collapsed = f.height();
        QVERIFY(!f.findChild<QPlainTextEdit*>("txtCallStack")->isVisible());
        QCOMPARE(f.findChild<QPlainTextEdit*>("txtDescription")->toPlainText(),
                 "Error Code: 11\nDescription: Division by zero\n"
                 "Trapped In: MainForm.vsIndexTab1_Click");
        QCOMPARE(f.findChild<QLabel*>("lblMessage")->text(),
                 "An error has occurred during runtime.\n"
                 "Click the 'Details' button for more information.");
        auto* details = f.findChild<QPushButton*>("cmdDetails");
        QCOMPARE(details->text(), "Details >>");
        QCOMPARE(ok->mapTo(&f, QPoint()).y(), details->mapTo(&f, QPoint()).y());
        QTest::mouseClick(details, Qt::LeftButton);
        // The details open below the buttons; "Ok" moves down beside the log box.
        QVERIFY(f.height() > collapsed + f.findChild<QPlainTextEdit*>("txtCallStack")->height());
        QVERIFY(!details->isEnabled());
        QVERIFY(f.findChild<QCheckBox*>("chkSaveToLog")->isVisible() && ok->isVisible());
        auto* stack = f.findChild<QPlainTextEdit*>("txtCallStack");
        QVERIFY(ok->mapTo(&f, QPoint()).y() >= stack->mapTo(&f, QPoint(0, stack->height())).y());
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);

    // The next report starts collapsed again and holds only its own stack.
    dialogs.onReport = [&](QfErrorForm& f) {
        QCOMPARE(f.height(), collapsed);
        QVERIFY(f.findChild<QPushButton*>("cmdDetails")->isEnabled());
    };
    form.ShowError(qfstore::Error(13, "Type mismatch", "Gearsheet"), "MainForm.Form_Load", false);

    QCOMPARE(dialogs.reports.size(), size_t{2});
    QCOMPARE(dialogs.reports[0].caption, "Gearsheet - Error Warning");
    QCOMPARE(dialogs.reports[1].callStack, "Gearsheet\r\n");
    QCOMPARE(dialogs.reports[1].descriptionText,
             "Error Code: 13\r\nDescription: Type mismatch\r\nTrapped In: MainForm.Form_Load");
    QCOMPARE(dialogs.beeps, 2);
    QVERIFY(!form.isVisible());
}

void QfErrorFormTest::logWrittenOnlyWhenTickedAndAFailedWriteIsReported() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    const std::string log = dir.File("error.log");
    QCOMPARE(form.LogPath(), log);
    form.SetClock([] { return QDateTime(QDate(2024, 3, 9), QTime(12, 34, 56)); });
    dialogs.onReport = [](QfErrorForm& f) {
        QTest::mouseClick(f.findChild<QPushButton*>("cmdDetails"), Qt::LeftButton);
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    QVERIFY(!std::filesystem::exists(log));

    dialogs.onReport = Tick;
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    // The tests run in the C locale; the writer trims the blank after "CalStack". A new log's
    // lines all end in LF.
    QCOMPARE(testing_support::ReadFile(log),
             "[Error Occurred:9 Mar 2024 12:34:56]\n"
             "Trapped In=MainForm.vsIndexTab1_Click\n"
             "Error Number=11\n"
             "Error Description=Division by zero\n"
             "CalStack=" +
                 std::string(51, '=') + "\nGearsheet.MainForm.RereshGrid\n\n");

    form.ShowError(qfstore::Error(6, "Overflow", "Gearsheet"), "MainForm.Form_Load", false);
    const std::string second = "Error Occurred:9 Mar 2024 12:34:56 (2)";
    QCOMPARE(platform::profile::SectionNames(log),
             (std::vector<std::string>{"Error Occurred:9 Mar 2024 12:34:56", second}));
    QCOMPARE(platform::profile::ReadValue(log, second, "Trapped In").value(), "MainForm.Form_Load");
    // A name taken in other letter case is taken.
    testing_support::WriteFile(
        log, testing_support::ReadFile(log) + "[ERROR OCCURRED:9 MAR 2024 12:34:56 (3)]\nx=1\n");
    form.ShowError(qfstore::Error(6, "Overflow", "Gearsheet"), "MainForm.Form_Load", false);
    QCOMPARE(platform::profile::SectionNames(log).back(), "Error Occurred:9 Mar 2024 12:34:56 (4)");

    // Ticked, then closed by its close box: a log with CR LF line ends gets CR LF in the call
    // stack too.
    const std::string crlf = dir.File("crlf/");
    std::filesystem::create_directory(crlf);
    testing_support::WriteFile(crlf + "error.log", "; Gearsheet\r\n");
    QfErrorForm closed(dialogs, "Gearsheet", crlf);
    dialogs.onReport = [](QfErrorForm& f) {
        Tick(f);
        f.close();
    };
    closed.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    const std::string crlfLog = testing_support::ReadFile(crlf + "error.log");
    QVERIFY(crlfLog.ends_with("CalStack=" + std::string(51, '=') +
                              "\r\nGearsheet.MainForm.RereshGrid\r\n\r\n"));
    QCOMPARE(std::count(crlfLog.begin(), crlfLog.end(), '\n'),
             std::count(crlfLog.begin(), crlfLog.end(), '\r'));

    const std::string missing = dir.File("missing/");
    QfErrorForm nowhere(dialogs, "Gearsheet", missing);
    nowhere.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    QVERIFY(!nowhere.isVisible());
    QCOMPARE(dialogs.messages.size(), size_t{1});  // none for the logs written
    QCOMPARE(dialogs.messages[0].text,
             QString::fromStdString("The error report could not be saved to '" + missing +
                                    "error.log': No such file or directory"));
    QCOMPARE(dialogs.messages[0].title, QStringLiteral("Gearsheet"));
    QVERIFY(dialogs.messages[0].icon == gearsheet::MessageIcon::Exclamation);
}

QTEST_MAIN(QfErrorFormTest)
#include "qf_error_form_test.moc"
