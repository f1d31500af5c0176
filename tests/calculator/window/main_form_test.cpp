// The main window's start-up, tyres, speed table and input checks. The window position's round
// trip through WINDOW_POS is window_manager_test.sh's, under a real window manager.
#include <QLabel>

#include "main_window.h"

using gearsheet::MessageIcon;
using testing_support::kGears;
using testing_support::ReadFile;
using testing_support::Window;

static const QString kZeroWarning =
    "One Of The Values For The Speed Calculation Is Zero So The Calculation Can't Be Done";

class MainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartWithoutSettingsFile();
    void zeroReductionAloneStopsTheTable();
    void shippedFileFillsTheTableOnFirstClick();
    void everyChangeOfPageRunsTheTabHandlerOnce();
    void addingOverwritingAndDeletingTyres();
    void refusedTyreNamesWriteNothing();
    void leavingABox_data();
    void leavingABox();
    void missingLibraryIsReportedAndCloseStillWorks();
};

void MainFormTest::firstStartWithoutSettingsFile() {
    Window w(std::nullopt);
    QCOMPARE(w.Reports(), QStringList{"MainForm.Form_Load 13"});
    QCOMPARE(w.dialogs.reports[0].callStack, "Gearsheet.InitializeGears\r\n");
    QCOMPARE(w.Items("cboTyreTypes"), QStringList());
    QCOMPARE(w.Items("cboCircuits"), QStringList());
    QVERIFY(!std::filesystem::exists(w.settings));  // reading never creates it
    // A tab other than the speed tab runs the calculation, which divides by the zero reduction.
    w.ClickTab(2);
    QCOMPARE(w.Reports(), QStringList({"MainForm.Form_Load 13", "MainForm.vsIndexTab1_Click 11"}));
    QCOMPARE(w.dialogs.reports[1].callStack, "Gearsheet.MainForm.RereshGrid\r\n");
    QCOMPARE(w.Speed(1, 1), "");
    QCOMPARE(w.Messages(), QStringList());
}

// The speed tab refuses the zero reduction, with 16/48 and a tyre, and goes back to "Details".
void MainFormTest::zeroReductionAloneStopsTheTable() {
    Window w(
        "[GEARS]\nGear1=2.5\nGear2=2\nGear3=1.6\nGear4=1.4\nGear5=1.25\nGear6=1\n"
        "[REDUCTIONS]\nInitialReduction=0\n[TYRES]\nT=72\n");
    w.ClickTab(1);
    QCOMPARE(w.Messages(), QStringList{kZeroWarning});
    QVERIFY(w.dialogs.messages[0].icon == MessageIcon::Exclamation);
    QCOMPARE(w.Reports(), QStringList());
    QCOMPARE(w.Tabs()->currentIndex(), 0);
}

void MainFormTest::shippedFileFillsTheTableOnFirstClick() {
    Window w(ReadFile(SHIPPED_SETTINGS));
    QCOMPARE(w.Find<QLabel>("lblInitalReduction")->text(), "2.073");
    QCOMPARE(w.Items("cboTyreTypes"), QStringList({"180/55ZR17", "190/50ZR17", "190/55ZR17",
                                                   "180/60ZR17", "Slick 180/640R17"}));
    QCOMPARE(w.Current("cboTyreTypes"), "Slick 180/640R17");
    QCOMPARE(w.Speed(1, 1), "");  // nothing is computed at start-up

    w.ClickTab(1);
    QCOMPARE(w.Messages() + w.Reports(), QStringList());
    auto* grid = w.Find<QTableWidget>("grdMain");
    QCOMPARE(w.Speed(0, 0) + " " + w.Speed(0, 6), "mph 6th Gear");
    QCOMPARE(w.Speed(16, 0), "15500 RPM");
    const QBrush shading(QColor(202, 215, 230));
    for (int r = 1; r <= 16; ++r) {
        for (int g = 1; g <= 6; ++g) {
            QVERIFY(!w.Speed(r, g).isEmpty());
            QCOMPARE(grid->item(r, g)->background(), r % 2 == 0 ? shading : QBrush());
        }
        QCOMPARE(grid->item(r, 0)->background() == shading, false);
    }
    // 1000 rpm ÷ 2.073 ÷ (48 ÷ 16) × 79.2 in × 60 ÷ 12 ÷ 5280 ÷ 2.583 in 1st gear.
    QCOMPARE(w.Speed(1, 1), "4.67");
    QCOMPARE(w.Speed(16, 6), "162.55");
    QCOMPARE(grid->currentRow(), 0);
    QCOMPARE(grid->currentColumn(), 0);
}

void MainFormTest::everyChangeOfPageRunsTheTabHandlerOnce() {
    Window w(kGears + "[TYRES]\nT=72\n");
    w.Activate();
    // Ctrl+Tab after changing the front sprocket shows the new figures. Sprockets are rounded
    // halves to even: 14.5 and 47.5 are 14 and 48 teeth.
    QLineEdit* front = w.Find<QLineEdit>("txtFrontSprocket");
    front->setFocus();
    Window::TypeInto(front, "14.5");
    w.Type("txtRearSproket", "47.5");
    QTest::keyClick(front, Qt::Key_Tab, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QCOMPARE(w.Speed(1, 6), "9.94");  // 1000 ÷ 2 ÷ (48 ÷ 14) × 72 × 60 ÷ 12 ÷ 5280 ÷ 1

    // From here each run of the handler reports the rear sprocket "x" once, leaving the table:
    // a click on the tab in front, a change of page by the keyboard, a click on another tab.
    w.Find<QLineEdit>("txtRearSproket")->setText("x");
    QStringList expected;
    const auto ranOnce = [&](const char* route, int page) {
        QCoreApplication::processEvents();
        expected << "MainForm.vsIndexTab1_Click 13";
        QVERIFY2(w.Tabs()->currentIndex() == page, route);
        QVERIFY2(w.Reports() == expected, route);
    };
    w.ClickTab(1);
    ranOnce("click on the tab in front", 1);
    QTest::keyClick(w.Tabs()->tabBar(), Qt::Key_Tab, Qt::ControlModifier);
    ranOnce("Ctrl+Tab", 2);
    w.ClickTab(1);
    ranOnce("click on another tab", 1);
    QCOMPARE(w.Speed(1, 6), "9.94");
    QCOMPARE(w.Messages(), QStringList());
}

// Typing is only typing: no name is completed, leaving the list loads nothing over what was
// typed, and "Delete" deletes only the record whose name is shown. More digits than a single
// holds are shown whole.
void MainFormTest::addingOverwritingAndDeletingTyres() {
    Window w(kGears + "[TYRES]\nA=70\nSlick 17=78.53982\n; end of tyres\n");
    w.Activate();
    QCOMPARE(w.Text("txtCircumferance"), "78.53982");
    // A part of a name makes a new tyre, appended and chosen.
    QLineEdit* name = w.Find<QComboBox>("cboTyreTypes")->lineEdit();
    name->setFocus();
    w.Type("cboTyreTypes", "Slick");
    w.Type("txtCircumferance", "25");
    w.Click("cmdAddTyre");
    QCOMPARE(w.File(), kGears + "[TYRES]\nA=70\nSlick 17=78.53982\nSlick=25\n; end of tyres\n");
    QCOMPARE(w.Items("cboTyreTypes"), QStringList({"A", "Slick 17", "Slick"}));
    QCOMPARE(w.Find<QComboBox>("cboTyreTypes")->currentIndex(), 2);

    // An existing name typed over an edited value, Return, then leaving the list for "Add": the
    // value is stored in the tyre's place, and the last tyre is chosen, not the one written.
    w.Type("txtCircumferance", "wide");
    name->setFocus();
    w.Type("cboTyreTypes", "A");
    QTest::keyClick(name, Qt::Key_Return);
    w.Click("cmdAddTyre");
    const std::string written =
        kGears + "[TYRES]\nA=wide\nSlick 17=78.53982\nSlick=25\n; end of tyres\n";
    QCOMPARE(w.File(), written);
    QCOMPARE(w.Items("cboTyreTypes"), QStringList({"A", "Slick 17", "Slick"}));
    QCOMPARE(w.Current("cboTyreTypes"), "Slick");
    w.Choose("cboTyreTypes", "A");
    QCOMPARE(w.Text("txtCircumferance"), "wide");  // as stored, not a number

    // A name typed over the chosen one names no tyre: nothing is deleted.
    w.Type("cboTyreTypes", "Ax");
    w.Click("cmdDeteTyreType");
    QCOMPARE(w.Reports(), QStringList{"MainForm.cmdDeteTyreType_Click 91"});
    QCOMPARE(w.File(), written);
    // Deleting the chosen tyre leaves nothing chosen.
    w.Choose("cboTyreTypes", "Slick 17");
    w.Click("cmdDeteTyreType");
    QCOMPARE(w.File(), kGears + "[TYRES]\nA=wide\nSlick=25\n; end of tyres\n");
    QCOMPARE(w.Items("cboTyreTypes"), QStringList({"A", "Slick"}));
    QCOMPARE(w.Current("cboTyreTypes"), "");
    QCOMPARE(w.Text("txtCircumferance"), "");
    QCOMPARE(w.Messages(), QStringList());
}

void MainFormTest::refusedTyreNamesWriteNothing() {
    const std::string contents = kGears + "[TYRES]\nA=70\n";
    Window w(contents);
    for (const char* name : {"", "Slick ", "a=b", ";S"}) {
        w.Type("cboTyreTypes", name);
        w.Click("cmdAddTyre");
    }
    const QString refused = "The tyre type can't be saved: ";
    QCOMPARE(w.Messages(), QStringList({refused + "please type a name first.",
                                        refused + "its name must not begin or end with a blank.",
                                        refused + "its name must not contain \"=\".",
                                        refused + "its name must not begin with \"[\" or \";\"."}));
    QVERIFY(w.dialogs.messages[0].icon == MessageIcon::Exclamation);
    QCOMPARE(w.File(), contents);
    QCOMPARE(w.Items("cboTyreTypes"), QStringList({"A"}));
}

// The numbers-only boxes of both pages; on the circuit page an emptied box becomes 0.
void MainFormTest::leavingABox_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");  // the box's text afterwards
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("toTab");  // left by a click on this tab; -1: on another box
    const auto row = [](const char* name, int tab, const char* box, const char* text,
                        const char* shown, bool refused, int toTab = -1) {
        QTest::newRow(name) << tab << QString(box) << QString(text) << QString(shown) << refused
                            << toTab;
    };
    row("emptied", 0, "txtCircumferance", "", "", true);
    row("-INF", 0, "txtRearSproket", "-INF", "-INF", true);
    row("decimal", 0, "txtCircumferance", " 78.5 ", " 78.5 ", false);
    row("circuit emptied", 2, "txtRearSp", "", "0", false);
    // The page stays in front and nothing is calculated from the refused text.
    row("letters, then a tab", 0, "txtFrontSprocket", "abc", "abc", true, 1);
    row("circuit letters, then a tab", 2, "txtRearSp", "x", "x", true, 0);
}

void MainFormTest::leavingABox() {
    QFETCH(int, tab);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    QFETCH(int, toTab);
    Window w(kGears);
    w.Tabs()->setCurrentIndex(tab);
    w.Activate();
    QLineEdit* left = w.Find<QLineEdit>(box.toLatin1().constData());
    left->setFocus();
    Window::TypeInto(left, text);
    auto* elsewhere = w.Find<QLineEdit>(tab == 2                    ? "txtFrontSp"
                                        : box == "txtCircumferance" ? "txtFrontSprocket"
                                                                    : "txtCircumferance");
    if (toTab < 0)
        QTest::mouseClick(elsewhere, Qt::LeftButton);
    else
        w.ClickTab(toTab);
    QCoreApplication::processEvents();  // the check runs once the focus has moved
    QCOMPARE(w.Messages(),
             refused ? QStringList{"Only Numeric Values Are Allowed"} : QStringList());
    if (refused)
        QVERIFY(w.dialogs.messages[0].icon == MessageIcon::None);
    QCOMPARE(QApplication::focusWidget(), refused ? left : elsewhere);
    QCOMPARE(w.Tabs()->currentIndex(), tab);
    QCOMPARE(left->text(), shown);
    QCOMPARE(w.Reports(), QStringList());
}

void MainFormTest::missingLibraryIsReportedAndCloseStillWorks() {
    Window w(kGears + "[TYRES]\nA=70\n", "/nonexistent-gearsheet-folder/libqfstore.so");
    QCOMPARE(w.Reports(), QStringList{"MainForm.Form_Load 429"});
    QCOMPARE(w.dialogs.reports[0].description, "Can't create object");
    QCOMPARE(w.Items("cboTyreTypes"), QStringList());

    // Choosing a circuit has no store to read: reported as the answer to the choice.
    auto* circuits = w.Find<QComboBox>("cboCircuits");
    circuits->addItem("A");
    emit circuits->activated(0);
    QVERIFY(w.form->close());
    QCOMPARE(w.Reports(), QStringList({"MainForm.Form_Load 429", "MainForm.cboCircuits_Click 91",
                                       "MainForm.Form_QueryUnload 91"}));
    QVERIFY(!w.form->isVisible());
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
