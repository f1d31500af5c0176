// The Circuit Database page in the main window: start-up, adding, clearing, overwriting, deleting,
// records written by hand, the gearing group's record and finder, the pit card and "Copy Values".
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>

#include "main_window.h"

using testing_support::kGears;
using testing_support::Window;

namespace {

// 22 fields: the FRONT column, the REAR column, then the two sprockets.
std::string Record(const std::string& front1, const std::string& rear1, const std::string& fs,
                   const std::string& rs) {
    return front1 + std::string(10, '|') + rear1 + std::string(10, '|') + fs + "|" + rs;
}

const std::string kA = "A=" + Record("a", "ar", "14", "40") + "\n";
const std::string kB = "B=" + Record("b", "br", "15", "41") + "\n";
const std::string kC = "C=" + Record("c", "cr", "16", "42") + "\n";

}  // namespace

class CircuitPageTest : public QObject {
    Q_OBJECT
  private slots:
    void addThenClearThenAdd();
    void overwriteThenDelete();
    void refusedAddWritesNothing();
    void shortRecordWrittenByHand();
    void gearingStoredWithAddAndRemovedWithDelete();
    void pitCardThenCopyValues();
    void pitCardWrapsLongCellsAndRoundsTheFinalDrive();
    void observationKeepsItsTyreAndItsUnit();
    void findingSaysWhatIsWrong();
    void tabGoesOnFromCellToCell();
};

void CircuitPageTest::addThenClearThenAdd() {
    Window w(kGears);  // no circuits yet, and no error for that
    QCOMPARE(w.Reports(), QStringList());
    QCOMPARE(w.Items("cboCircuits"), QStringList());
    w.Type("cboCircuits", "Monza");
    w.TypeField(3, 1, "615");
    w.Type("txtRearSp", "45");
    w.Click("cmdAddCirquit");  // the front sprocket box shows 0 from the start
    const std::string monza = kGears + "[CIRCUITS]\nMonza=||615" + std::string(18, '|') + "0|45\n";
    QCOMPARE(w.File(), monza);
    QCOMPARE(w.Items("cboCircuits"), QStringList{"Monza"});
    QCOMPARE(w.Current("cboCircuits"), "Monza");

    // "Clear" writes nothing; "Add" then stores 22 empty fields.
    w.Click("cmdClear");
    QCOMPARE(w.File(), monza);
    for (int r = 1; r <= 10; ++r) QCOMPARE(w.Field(r, 1) + w.Field(r, 2), QString());
    w.Click("cmdAddCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\nMonza=" + std::string(21, '|') + "\n");
    QCOMPARE(w.Messages() + w.Reports(), QStringList());
}

void CircuitPageTest::overwriteThenDelete() {
    Window w(kGears + "[CIRCUITS]\n" + kA + kB + kC);
    QCOMPARE(w.Current("cboCircuits"), "C");  // start-up shows the last circuit
    // An existing name typed over edited values, Return, then leaving the list for "Add": the
    // values shown are stored, in the record's place, and that circuit stays the one shown.
    w.Activate();
    w.TypeField(1, 1, "new");
    w.Type("txtFrontSp", "17");
    QLineEdit* name = w.Find<QComboBox>("cboCircuits")->lineEdit();
    name->setFocus();
    w.Type("cboCircuits", "A");
    QTest::keyClick(name, Qt::Key_Return);
    w.Click("cmdAddCirquit");
    const std::string a = "A=" + Record("new", "cr", "17", "42") + "\n";
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + a + kB + kC);
    QCOMPARE(w.Items("cboCircuits"), QStringList({"A", "B", "C"}));
    QCOMPARE(w.Current("cboCircuits"), "A");
    QCOMPARE(w.Find<QComboBox>("cboCircuits")->currentIndex(), 0);
    QCOMPARE(w.Field(1, 1) + " " + w.Text("txtFrontSp"), "new 17");

    // Deleting the middle one leaves two and shows the last.
    w.Choose("cboCircuits", "B");
    QCOMPARE(w.Field(1, 2), "br");
    w.Click("cmdDeleteCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + a + kC);
    QCOMPARE(w.Items("cboCircuits"), QStringList({"A", "C"}));
    QCOMPARE(w.Current("cboCircuits"), "C");
    QCOMPARE(w.Text("txtRearSp"), "42");

    // Deleting the rest leaves an empty page without an error.
    w.Click("cmdDeleteCirquit");
    w.Click("cmdDeleteCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n");
    QCOMPARE(w.Field(1, 1), "");
    QCOMPARE(w.Reports(), QStringList());
}

// The fields are named as circuit_record_test names them for a line break.
void CircuitPageTest::refusedAddWritesNothing() {
    Window w(kGears + "[CIRCUITS]\n" + kA);
    w.Type("cboCircuits", "Monza");
    w.TypeField(4, 2, "3|4");
    w.Click("cmdAddCirquit");
    QCOMPARE(w.Messages(), QStringList{"The circuit can't be saved: the text in row \"Prelead:\", "
                                       "column \"REAR\" must not contain \"|\"."});
    QVERIFY(w.dialogs.messages[0].icon == gearsheet::MessageIcon::Exclamation);
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + kA);
    QCOMPARE(w.Items("cboCircuits"), QStringList{"A"});
    QCOMPARE(w.Field(4, 2), "3|4");  // what was typed stays for mending
}

// Records too short for the page, chosen after a full one: their fields are placed, every other
// cell and both sprocket boxes are emptied, and the first missing field is reported.
void CircuitPageTest::shortRecordWrittenByHand() {
    Window w(kGears + "[CIRCUITS]\nShort=1|2|3\nSolo=30\n" + kA);  // A is shown first
    w.Choose("cboCircuits", "Short");
    QCOMPARE(w.Field(3, 1), "3");
    QCOMPARE(w.Field(1, 2), "");                                      // A's "ar" is gone
    QCOMPARE(w.Text("txtFrontSp") + w.Text("txtRearSp"), QString());  // and its 14 and 40
    w.Choose("cboCircuits", "A");
    w.Choose("cboCircuits", "Solo");  // one field, not a list: none is placed
    QCOMPARE(w.Field(1, 1) + w.Field(1, 2) + w.Text("txtRearSp"), QString());
    QCOMPARE(w.Reports(),
             QStringList({"MainForm.PlaceCircuitData 9", "MainForm.PlaceCircuitData 13"}));
}

void CircuitPageTest::gearingStoredWithAddAndRemovedWithDelete() {
    // A file from before the gearing group: start-up reads and writes nothing new.
    const std::string before =
        kGears + "[CIRCUITS]\nHome=" + Record("30", "25", "16", "45") + "\n" + kA;
    Window w(before);
    QCOMPARE(w.File(), before);
    w.Choose("cboCircuits", "Home");
    w.ClickTab(2);  // the group is made when first shown
    QCOMPARE(w.Find<QSpinBox>("spnTargetRpm")->value(), 15500);  // the planner's shift speed
    // 14000 rpm at the end of the straight on 16/45, shift light at 15000 (planner_test's finder).
    w.Find<QRadioButton>("optByRpm")->click();
    w.Find<QSpinBox>("spnStraightRpm")->setValue(14000);
    w.Find<QSpinBox>("spnTargetRpm")->setValue(15000);
    // The axle adjuster's default travel, 20 mm either way, leaves out 14/42 (+20.2 mm) and more.
    QCOMPARE(w.Find<QLabel>("lblStraightEnd")->text(),
             "On 16/45 the straight ends at 14000 rpm. 25 pairs left out: they need a longer chain "
             "or an axle move beyond the adjuster's travel.");
    auto* pairs = w.Find<QTableWidget>("grdSprockets");
    QStringList first;
    for (int c = 0; c < 6; ++c) first << pairs->item(0, c)->text();
    QCOMPARE(first, QStringList({"15/45", "3", "+6.67", "14933", "111.5 → 112", "+3.7 mm"}));

    w.Click("cmdAddCirquit");  // Home is rewritten in its place and stays the one shown
    const std::string gearing = "[CIRCUIT_GEARING]\nHome=rpm|0|mph|6|14000|16|45|15000\n";
    QCOMPARE(w.File(), before + gearing);
    QCOMPARE(w.Find<QGroupBox>("fraCircuitGearing")->title(), "Gearing for Home");
    QCOMPARE(w.Find<QSpinBox>("spnStraightRpm")->value(), 14000);
    w.Choose("cboCircuits", "A");
    QCOMPARE(w.Find<QGroupBox>("fraCircuitGearing")->title(), "Gearing for A");
    QCOMPARE(w.Find<QSpinBox>("spnStraightRpm")->value(), 0);  // A: nothing seen
    QCOMPARE(w.Find<QSpinBox>("spnSeenFront")->value(), 14);   // on A's sprockets
    w.Choose("cboCircuits", "Home");
    QCOMPARE(w.Find<QSpinBox>("spnStraightRpm")->value(), 14000);

    // "Use this pair" fills the sprocket boxes; the finder still works from what was seen on 16/45.
    pairs->setCurrentCell(1, 0);
    w.Click("cmdUsePair");
    QCOMPARE(w.Text("txtFrontSp") + "/" + w.Text("txtRearSp"), "16/48");
    QCOMPARE(pairs->item(0, 0)->text(), "15/45");
    w.Click("cmdAddCirquit");
    const std::string home = "Home=" + Record("30", "25", "16", "48") + "\n";
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + home + kA + gearing);

    w.Choose("cboCircuits", "Home");
    w.Click("cmdDeleteCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + kA + "[CIRCUIT_GEARING]\n");
    w.Find<QSpinBox>("spnRearHigh")->setValue(48);  // the ranges are the rider's, kept apart
    w.Find<QSpinBox>("spnAxleBack")->setValue(12);
    QVERIFY(w.File().ends_with("[CIRCUIT_GEARING]\n[SPROCKET_FINDER]\nRearHigh=48\nAxleBack=12\n"));
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
}

// The pit card is exported on the circuit's sprockets, not the Details page's; "Copy Values" then
// brings them to the Details page, whose table changes at the next tab click.
void CircuitPageTest::pitCardThenCopyValues() {
    Window w(kGears + "[TYRES]\nT=72\n[CIRCUITS]\nMonza=" + Record("32", "", "15", "42") + "\n");
    // 1000 rpm in 1st gear: 1000 ÷ 2 ÷ (48 ÷ 16) × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 4.545…
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), "4.55");
    w.ClickTab(2);
    w.dialogs.savePath = QString::fromStdString(w.dir.File("card.pdf"));
    w.Click("cmdExportPitCard");
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
    QVERIFY(w.dialogs.suggestedPaths.value(0).endsWith("/Monza pit card.pdf"));
    const auto run = [](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    QVERIFY(run("pdfinfo", {w.dialogs.savePath}).contains(QRegularExpression("Pages: +1\n")));
    const QString text = run("pdftotext", {"-layout", w.dialogs.savePath, "-"});
    QVERIFY(text.contains("Monza"));
    QVERIFY(text.contains("Sprockets: 15 front, 42 rear"));
    QVERIFY(text.contains("Road speed (mph) on 15/42"));
    // 15500 rpm ÷ 2 ÷ (42 ÷ 15) × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 75.49 in 1st; in 6th: 188.72.
    QVERIFY(text.contains(QRegularExpression(
        "\n *15500 RPM +75\\.49 +94\\.36 +117\\.95 +134\\.8 +150\\.97 +188\\.72 *\n")));
    QVERIFY(text.contains(QRegularExpression("Static Sag: +32\n")));

    w.Click("cmdCopyValues");
    QCOMPARE(w.Text("txtFrontSprocket") + "/" + w.Text("txtRearSproket"), "15/42");
    QCOMPARE(w.Speed(1, 1), "4.55");
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), "4.87");  // 1000 rpm ÷ 2 ÷ (42 ÷ 15) × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5

    // A name without a record has no card.
    w.ClickTab(2);
    w.Type("cboCircuits", "Nowhere");
    w.Click("cmdExportPitCard");
    QCOMPARE(w.Reports() + w.Messages(),
             QStringList{"No circuit \"Nowhere\" is stored: \"Add\" it first."});
}

// A note longer than its cell: wrapped on the card, whole in the page's tooltip. The final drive
// is rounded as the planner rounds it. With no circuit at all there is nothing to export.
void CircuitPageTest::pitCardWrapsLongCellsAndRoundsTheFinalDrive() {
    const QString note = "Check the rebound damping on the left fork leg again after Q2";
    Window w(kGears + "[TYRES]\nT=72\n[CIRCUITS]\nMonza=" +
             Record(note.toStdString(), "", "15", "47") + "\n");
    w.ClickTab(2);
    QCOMPARE(w.Find<QTableWidget>("grdFields")->item(1, 1)->toolTip(), note);
    w.TypeField(2, 2, note + " twice");
    QCOMPARE(w.Find<QTableWidget>("grdFields")->item(2, 2)->toolTip(), note + " twice");

    w.dialogs.savePath = QString::fromStdString(w.dir.File("card.pdf"));
    w.Click("cmdExportPitCard");
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
    QProcess process;
    process.start("pdftotext", {w.dialogs.savePath, "-"});
    process.waitForFinished();
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).simplified();
    QVERIFY(text.contains("Final drive: 3.133 "));  // 47 ÷ 15 = 3.1333…
    QVERIFY2(text.contains("Check the rebound"), qPrintable(text));
    QVERIFY(text.contains("again after Q2"));

    w.Click("cmdDeleteCirquit");
    w.Click("cmdExportPitCard");
    QCOMPARE(w.Messages(), QStringList{"Choose or add a circuit first."});
}

// An observation is worked out on the tyre it was seen on, and kept in the unit it was entered
// in; an older one says that it uses the Details page's tyre. Shipped gearbox, 6th gear, 16/45:
// rpm = mph × 1056 ÷ circumference × 2.073 × 1.15 × 45 ÷ 16.
void CircuitPageTest::observationKeepsItsTyreAndItsUnit() {
    const std::string shipped = testing_support::ReadFile(SHIPPED_SETTINGS);
    const std::string older = "[CIRCUIT_GEARING]\nHome=speed|158|mph|6|0|16|45|15000\n";
    Window w(shipped + "[CIRCUITS]\nHome=" + Record("", "", "16", "45") + "\n" + older +
             "[DISPLAY]\nSpeedUnit=km/h\n");
    w.ClickTab(2);
    auto* speed = w.Find<QSpinBox>("spnStraightSpeed");
    auto* finding = w.Find<QLabel>("lblStraightEnd");
    QCOMPARE(speed->value(), 254);  // 158 mph shown in km/h
    // 158 × 1056 ÷ 79.2 × … = 14124.9 on the Details page's slick.
    QCOMPARE(finding->text(),
             "On 16/45 the straight ends at 14125 rpm. The record does not say which tyre it was "
             "seen on: the Details page's Slick 180/640R17, 79.2 in is used. 22 pairs left out: "
             "they need a longer chain or an axle move beyond the adjuster's travel.");
    w.Click("cmdAddCirquit");
    QVERIFY(w.File().find(older) != std::string::npos);  // not rewritten as 254 km/h

    // A new observation is made on the Details page's tyre and stored with it and its unit:
    // 250 km/h = 155.3 mph, 13887.4 rpm on 79.2 in.
    speed->setValue(250);
    QCOMPARE(finding->text(),
             "On 16/45 with Slick 180/640R17, 79.2 in, the straight ends at 13887 rpm. 25 pairs "
             "left out: they need a longer chain or an axle move beyond the adjuster's travel.");
    w.Click("cmdAddCirquit");
    const std::string seen =
        "[CIRCUIT_GEARING]\nHome=speed|250|km/h|6|0|16|45|15000|79.2|Slick 180/640R17\n";
    QVERIFY(w.File().find(seen) != std::string::npos);

    // Another tyre on the Details page and mph for speeds: the observation stays as seen.
    w.ClickTab(0);
    w.Choose("cboTyreTypes", "180/55ZR17");
    w.ClickTab(3);
    w.Find<QRadioButton>("optMph")->click();
    w.ClickTab(2);
    QCOMPARE(speed->value(), 155);
    QCOMPARE(finding->text(),
             "On 16/45 with Slick 180/640R17, 79.2 in, the straight ends at 13887 rpm. 25 pairs "
             "left out: they need a longer chain or an axle move beyond the adjuster's travel.");
    w.Click("cmdAddCirquit");
    QVERIFY(w.File().find(seen) != std::string::npos);
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
}

// The finder names what stops it: a road speed of 0 once the engine speed was given, a range
// given the wrong way round.
void CircuitPageTest::findingSaysWhatIsWrong() {
    Window w(kGears + "[TYRES]\nT=72\n[CIRCUITS]\nHome=" + Record("", "", "16", "45") + "\n");
    w.ClickTab(2);
    auto* finding = w.Find<QLabel>("lblStraightEnd");
    w.Find<QRadioButton>("optByRpm")->click();
    w.Find<QSpinBox>("spnStraightRpm")->setValue(14000);
    w.Find<QRadioButton>("optBySpeed")->click();  // no road speed given
    QCOMPARE(finding->text(), "Give the road speed at the end of the longest straight.");
    w.Find<QRadioButton>("optByRpm")->click();
    w.Find<QSpinBox>("spnFrontLow")->setValue(18);
    w.Find<QSpinBox>("spnFrontHigh")->setValue(13);
    QCOMPARE(finding->text(), "The fronts run from 18 to 13: give the smaller number first.");
    w.Find<QSpinBox>("spnFrontHigh")->setValue(18);
    w.Find<QSpinBox>("spnRearLow")->setValue(52);
    w.Find<QSpinBox>("spnRearHigh")->setValue(38);
    QCOMPARE(finding->text(), "The rears run from 52 to 38: give the smaller number first.");
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
}

void CircuitPageTest::tabGoesOnFromCellToCell() {
    // Values typed with Tab between them fill FRONT and REAR of a row, then the next row: Tab
    // passes over the heading column.
    Window w(kGears);
    w.Activate();
    auto* grid = w.Find<QTableWidget>("grdFields");
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    for (const QString& text : {QStringLiteral("32"), QStringLiteral("28"), QStringLiteral("1.50"),
                                QStringLiteral("27"), QStringLiteral("845")}) {
        for (const QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();  // the delegate commits in a queued call
    }
    const QStringList typed{w.Field(1, 1), w.Field(1, 2), w.Field(2, 1), w.Field(2, 2),
                            w.Field(3, 1)};
    QCOMPARE(typed, QStringList({"32", "28", "1.50", "27", "845"}));
    QCOMPARE(w.Field(2, 0), "Loaded Sag:");
    QCOMPARE(w.Field(3, 0), "Ride Height:");
}

QTEST_MAIN(CircuitPageTest)
#include "circuit_page_test.moc"
