// The Circuit Database page in the main window: start-up, adding, clearing, overwriting, deleting,
// records written by hand, and "Copy Values" feeding the speed table.
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
    void numericLookingTextsComeBackExactly();
    void refusedAddWritesNothing_data();
    void refusedAddWritesNothing();
    void shortRecordWrittenByHand();
    void copyValuesReachesTheTableAtTheNextTabClick();
};

void CircuitPageTest::addThenClearThenAdd() {
    Window w(kGears);  // no circuits yet, and no error for that
    QCOMPARE(w.Reports(), QStringList());
    QCOMPARE(w.Items("cboCircuits"), QStringList());
    QCOMPARE(w.Text("txtFrontSp"), "0");
    w.TypeName("cboCircuits", "Monza");
    w.TypeField(1, 1, "30");
    w.TypeField(2, 1, "42");
    w.TypeField(3, 1, "615");
    w.Type("txtFrontSp", "15");
    w.Type("txtRearSp", "45");
    w.Click("cmdAddCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\nMonza=30|42|615" + std::string(18, '|') + "15|45\n");
    QCOMPARE(w.Items("cboCircuits"), QStringList{"Monza"});
    QCOMPARE(w.Current("cboCircuits"), "Monza");
    QCOMPARE(w.Field(3, 1), "615");

    // "Clear" writes nothing; "Add" then stores 22 empty fields.
    w.Click("cmdClear");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\nMonza=30|42|615" + std::string(18, '|') + "15|45\n");
    for (int r = 1; r <= 10; ++r) QCOMPARE(w.Field(r, 1) + w.Field(r, 2), QString());
    w.Click("cmdAddCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\nMonza=" + std::string(21, '|') + "\n");
    QCOMPARE(w.Messages() + w.Reports(), QStringList());
}

void CircuitPageTest::overwriteThenDelete() {
    Window w(kGears + "[CIRCUITS]\n" + kA + kB + kC);
    QCOMPARE(w.Current("cboCircuits"), "C");  // start-up shows the last circuit
    // An existing name typed over edited values, Return, then leaving the list for "Add": the
    // values shown are stored, in the record's place, and the last circuit is shown.
    w.Activate();
    w.TypeField(1, 1, "new");
    w.Type("txtFrontSp", "17");
    QLineEdit* name = w.Find<QComboBox>("cboCircuits")->lineEdit();
    name->setFocus();
    w.TypeName("cboCircuits", "A");
    QTest::keyClick(name, Qt::Key_Return);
    w.Click("cmdAddCirquit");
    const std::string a = "A=" + Record("new", "cr", "17", "42") + "\n";
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + a + kB + kC);
    QCOMPARE(w.Items("cboCircuits"), QStringList({"A", "B", "C"}));
    QCOMPARE(w.Current("cboCircuits"), "C");
    QCOMPARE(w.Field(1, 1), "c");

    // Deleting the middle one leaves two and shows the last.
    w.Choose("cboCircuits", "B");
    QCOMPARE(w.Field(1, 2), "br");
    w.Click("cmdDeleteCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + a + kC);
    QCOMPARE(w.Items("cboCircuits"), QStringList({"A", "C"}));
    QCOMPARE(w.Current("cboCircuits"), "C");
    QCOMPARE(w.Field(1, 2), "cr");
    QCOMPARE(w.Text("txtRearSp"), "42");

    // Deleting the rest leaves an empty page without an error.
    w.Click("cmdDeleteCirquit");
    w.Click("cmdDeleteCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n");
    QCOMPARE(w.Field(1, 1), "");
    QCOMPARE(w.Reports(), QStringList());
}

void CircuitPageTest::numericLookingTextsComeBackExactly() {
    const std::string x =
        "X=0012|1.50" + std::string(9, '|') + "-0" + std::string(10, '|') + "015|45.0\n";
    Window w(kGears + "[CIRCUITS]\n" + x);
    QCOMPARE(w.Field(1, 1), "0012");
    QCOMPARE(w.Field(2, 1), "1.50");
    QCOMPARE(w.Field(1, 2), "-0");
    QCOMPARE(w.Text("txtRearSp"), "45.0");

    // Saved under another name, they are written as shown.
    w.TypeName("cboCircuits", "Y");
    w.Click("cmdAddCirquit");
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + x + "Y" + x.substr(1));
    QCOMPARE(w.Reports(), QStringList());
}

void CircuitPageTest::refusedAddWritesNothing_data() {
    QTest::addColumn<QString>("cell");  // row 4, REAR
    QTest::addColumn<QString>("rearSprocket");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, const char* cell, const char* rear, const char* problem) {
        QTest::newRow(name) << QString(cell) << QString(rear)
                            << "The circuit can't be saved: " + QString(problem);
    };
    row("bar in a cell", "3|4", "45",
        "the text in row \"Prelead:\", column \"REAR\" must not contain \"|\".");
    row("bar in a sprocket box", "3", "45|46",
        "the text in the \"Rear Sprocket:\" box must not contain \"|\".");
}

void CircuitPageTest::refusedAddWritesNothing() {
    QFETCH(QString, cell);
    QFETCH(QString, rearSprocket);
    QFETCH(QString, message);
    Window w(kGears + "[CIRCUITS]\n" + kA);
    w.TypeName("cboCircuits", "Monza");
    w.TypeField(4, 2, cell);
    w.Type("txtRearSp", rearSprocket);
    w.Click("cmdAddCirquit");
    QCOMPARE(w.Messages(), QStringList{message});
    QVERIFY(w.dialogs.messages[0].icon == gearsheet::MessageIcon::Exclamation);
    QCOMPARE(w.File(), kGears + "[CIRCUITS]\n" + kA);
    QCOMPARE(w.Items("cboCircuits"), QStringList{"A"});
    QCOMPARE(w.Field(4, 2), cell);  // what was typed stays for mending
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

void CircuitPageTest::copyValuesReachesTheTableAtTheNextTabClick() {
    Window w(kGears + "[TYRES]\nT=72\n[CIRCUITS]\nMonza=" + Record("32", "", "15", "42") + "\n");
    // 1000 rpm in 1st gear: 1000 ÷ 2 ÷ (48 ÷ 16) × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 4.545…
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), "4.55");
    w.ClickTab(2);
    w.Click("cmdCopyValues");
    QCOMPARE(w.Text("txtFrontSprocket"), "15");
    QCOMPARE(w.Text("txtRearSproket"), "42");
    QCOMPARE(w.Speed(1, 1), "4.55");
    // With 15 and 42: 1000 ÷ 2 ÷ 2.8 × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 4.870…
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), "4.87");
    QCOMPARE(w.Reports(), QStringList());
    QCOMPARE(w.Messages(), QStringList());
}

QTEST_MAIN(CircuitPageTest)
#include "circuit_page_test.moc"
