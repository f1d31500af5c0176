// The error report dialog: its texts, its two sizes, and the log it writes when ticked.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "error_report.h"
#include "profile.h"
#include "qf_error_form.h"
#include "qf_handy_library.h"
#include "qtest_strings.h"
#include "scripted_dialogs.h"
#include "temp_dir.h"
#include "twips.h"

using gearsheet::QfErrorForm;
using testing_support::ScriptedDialogs;

namespace {

const QDateTime kNoon(QDate(2024, 3, 9), QTime(12, 34, 56));

qfstore::Error GridError() {
    qfstore::Error e = qfstore::Error::Runtime(qfstore::kErrDivisionByZero, "Gearsheet");
    e.AppendTrace("MainForm.RereshGrid");
    return e;
}

void TickAndClose(QfErrorForm& form) {
    QTest::mouseClick(form.findChild<QPushButton*>("cmdDetails"), Qt::LeftButton);
    form.findChild<QCheckBox*>("chkSaveToLog")->setChecked(true);
    QTest::mouseClick(form.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
}

}  // namespace

class QfErrorFormTest : public QObject {
    Q_OBJECT
  private slots:
    void callStackLists_data();
    void callStackLists();
    void reportShowsTextsCollapsedWithBeep();
    void detailsExpandsAndMovesOk();
    void secondReportHoldsOnlyItsOwnStack();
    void untickedCloseWritesNoLog();
    void tickedCloseAppendsOneSection();
    void closeBoxAlsoWritesTickedLog();
    void sameSecondReportsGetTheirOwnSections();
    void unwritableLogIsSkipped();
    void arrayUpperBound();
};

void QfErrorFormTest::callStackLists_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("stack");
    QTest::newRow("three lines") << "P\r\nA.x\r\nB.y"
                                 << "P.B.y\r\nP.A.x\r\n";
    QTest::newRow("one line") << "Gearsheet"
                              << "Gearsheet\r\n";
    QTest::newRow("grid") << "Gearsheet\r\nMainForm.RereshGrid"
                          << "Gearsheet.MainForm.RereshGrid\r\n";
    QTest::newRow("empty source") << ""
                                  << "";
    QTest::newRow("empty middle line") << "P\r\n\r\nB.y"
                                       << "P.B.y\r\nP.\r\n";
}

void QfErrorFormTest::callStackLists() {
    QFETCH(QString, source);
    QFETCH(QString, stack);
    QCOMPARE(QString::fromStdString(gearsheet::BuildCallStack(source.toStdString())), stack);
}

void QfErrorFormTest::reportShowsTextsCollapsedWithBeep() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    int height = -1;
    bool detailsVisible = true;
    dialogs.onReport = [&](QfErrorForm& f) {
        height = f.height();
        detailsVisible = f.findChild<QPlainTextEdit*>("txtCallStack")->isVisible();
        QCOMPARE(f.findChild<QPlainTextEdit*>("txtDescription")->toPlainText(),
                 "Error Code: 11\nDescription: Division by zero\n"
                 "Trapped In: MainForm.vsIndexTab1_Click");
        QCOMPARE(f.findChild<QLabel*>("lblMessage")->text(),
                 "An error has occurred during runtime.\n"
                 "Click the 'Details' button for more information.");
        QVERIFY(!f.findChild<QCheckBox*>("chkSaveToLog")->isChecked());
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);

    QCOMPARE(dialogs.reports.size(), size_t{1});
    const auto& r = dialogs.reports[0];
    QCOMPARE(r.caption, "Gearsheet - Error Warning");
    QCOMPARE(r.number, 11);
    QCOMPARE(r.sourceName, "MainForm.vsIndexTab1_Click");
    QCOMPARE(r.callStack, "Gearsheet.MainForm.RereshGrid\r\n");
    QCOMPARE(r.descriptionText,
             "Error Code: 11\r\nDescription: Division by zero\r\n"
             "Trapped In: MainForm.vsIndexTab1_Click");
    QCOMPARE(dialogs.beeps, 1);
    QCOMPARE(height, form.PixelHeight(1800));
    QVERIFY(!detailsVisible);
    QVERIFY(!form.isVisible());
}

void QfErrorFormTest::detailsExpandsAndMovesOk() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    dialogs.onReport = [&](QfErrorForm& f) {
        auto* ok = f.findChild<QPushButton*>("cmdOK");
        auto* details = f.findChild<QPushButton*>("cmdDetails");
        QTest::mouseClick(details, Qt::LeftButton);
        QCOMPARE(f.height(), f.PixelHeight(5160));
        QVERIFY(!details->isEnabled());
        QCOMPARE(ok->pos(), QPoint(f.PixelWidth(4080), f.PixelHeight(4200)));
        QVERIFY(f.findChild<QPlainTextEdit*>("txtCallStack")->isVisible());
        QCOMPARE(f.findChild<QPlainTextEdit*>("txtCallStack")->toPlainText(),
                 "Gearsheet.MainForm.RereshGrid\n");
        QVERIFY(f.findChild<QCheckBox*>("chkSaveToLog")->isVisible());
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    QVERIFY(form.IsExpanded());

    // The next report starts collapsed again.
    dialogs.onReport = [&](QfErrorForm& f) {
        QCOMPARE(f.height(), f.PixelHeight(1800));
        QVERIFY(f.findChild<QPushButton*>("cmdDetails")->isEnabled());
        QCOMPARE(f.findChild<QPushButton*>("cmdOK")->pos(),
                 QPoint(f.PixelWidth(2520), f.PixelHeight(840)));
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    QCOMPARE(dialogs.beeps, 2);
}

void QfErrorFormTest::secondReportHoldsOnlyItsOwnStack() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    form.ShowError(qfstore::Error(5, "Invalid procedure call or argument", "P\r\nA.x\r\nB.y"),
                   "MainForm.Form_Load", false);
    form.ShowError(qfstore::Error(13, "Type mismatch", "Gearsheet"), "MainForm.cmdAddTyre_Click",
                   false);
    QCOMPARE(dialogs.reports.size(), size_t{2});
    QCOMPARE(dialogs.reports[0].callStack, "P.B.y\r\nP.A.x\r\n");
    QCOMPARE(dialogs.reports[1].callStack, "Gearsheet\r\n");
    QCOMPARE(
        dialogs.reports[1].descriptionText,
        "Error Code: 13\r\nDescription: Type mismatch\r\nTrapped In: MainForm.cmdAddTyre_Click");
}

void QfErrorFormTest::untickedCloseWritesNoLog() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    dialogs.onReport = [](QfErrorForm& f) {
        QTest::mouseClick(f.findChild<QPushButton*>("cmdDetails"), Qt::LeftButton);
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    QVERIFY(!std::filesystem::exists(dir.File("error.log")));
}

void QfErrorFormTest::tickedCloseAppendsOneSection() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    form.SetClock([] { return kNoon; });
    dialogs.onReport = TickAndClose;
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);

    QCOMPARE(form.LogPath(), dir.Path().string() + "/error.log");
    const std::string stamp = gearsheet::LogTimestamp(kNoon, QLocale::system());
    QCOMPARE(QString::fromStdString(stamp),
             "9 Mar 2024 12:34:56");  // the tests run in the C locale
    QCOMPARE(
        QString::fromStdString(testing_support::ReadFile(dir.File("error.log"))),
        QString::fromStdString("[Error Occurred:" + stamp +
                               "]\n"
                               "Trapped In=MainForm.vsIndexTab1_Click\n"
                               "Error Number=11\n"
                               "Error Description=Division by zero\n"
                               // the writer trims the blank after "CalStack"
                               "CalStack=" +
                               std::string(51, '=') + "\r\nGearsheet.MainForm.RereshGrid\r\n\n"));
}

void QfErrorFormTest::closeBoxAlsoWritesTickedLog() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    dialogs.onReport = [](QfErrorForm& f) {
        QTest::mouseClick(f.findChild<QPushButton*>("cmdDetails"), Qt::LeftButton);
        f.findChild<QCheckBox*>("chkSaveToLog")->setChecked(true);
        f.close();
    };
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    const auto sections = platform::profile::SectionNames(dir.File("error.log"));
    QCOMPARE(sections.size(), size_t{1});
    QCOMPARE(platform::profile::ReadValue(dir.File("error.log"), sections[0], "Trapped In").value(),
             "MainForm.vsIndexTab1_Click");
}

void QfErrorFormTest::sameSecondReportsGetTheirOwnSections() {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", dir.Path().string() + "/");
    form.SetClock([] { return kNoon; });
    dialogs.onReport = TickAndClose;
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    form.ShowError(qfstore::Error(13, "Type mismatch", "Gearsheet"), "MainForm.Form_Load", false);
    form.ShowError(qfstore::Error(6, "Overflow", "Gearsheet"), "MainForm.RefreshTyreCombo", false);

    const std::string base = "Error Occurred:" + gearsheet::LogTimestamp(kNoon, QLocale::system());
    const std::string log = dir.File("error.log");
    const std::vector<std::string> expected{base, base + " (2)", base + " (3)"};
    QCOMPARE(platform::profile::SectionNames(log), expected);
    QCOMPARE(platform::profile::ReadValue(log, base, "Error Number").value(), "11");
    QCOMPARE(platform::profile::ReadValue(log, base + " (2)", "Trapped In").value(),
             "MainForm.Form_Load");
    QCOMPARE(platform::profile::ReadValue(log, base + " (3)", "Error Description").value(),
             "Overflow");
}

void QfErrorFormTest::unwritableLogIsSkipped() {
    ScriptedDialogs dialogs;
    QfErrorForm form(dialogs, "Gearsheet", "/nonexistent-gearsheet-folder/");
    dialogs.onReport = TickAndClose;
    form.ShowError(GridError(), "MainForm.vsIndexTab1_Click", false);
    QVERIFY(!form.isVisible());
    QCOMPARE(dialogs.reports.size(), size_t{1});
}

void QfErrorFormTest::arrayUpperBound() {
    using QfHandyLibrary::ArrayUpperBound;
    const qfstore::Variant names = qfstore::Variant::StringArray({"A", "B", "C"});
    QCOMPARE(ArrayUpperBound(names, 1), qfstore::Variant(int32_t{2}));
    QCOMPARE(ArrayUpperBound(qfstore::Variant::Array(qfstore::VarType::String, 5, {"x"}), 1),
             qfstore::Variant(int32_t{5}));
    QCOMPARE(ArrayUpperBound(names, 2), qfstore::Variant::Null());
    QCOMPARE(ArrayUpperBound(qfstore::Variant(), 1), qfstore::Variant::Null());
    QCOMPARE(ArrayUpperBound(qfstore::Variant("A"), 1), qfstore::Variant::Null());
}

QTEST_MAIN(QfErrorFormTest)
#include "qf_error_form_test.moc"
