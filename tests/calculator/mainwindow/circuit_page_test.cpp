// The Circuit Database page on its own: a real settings file in a temporary folder, the store
// loaded as the program loads it, dialogs answered through the seam.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <string>

#include "circuit_page.h"
#include "form_context.h"
#include "qtest_strings.h"
#include "scripted_dialogs.h"
#include "settings_store.h"
#include "temp_dir.h"

using gearsheet::CircuitPage;
using testing_support::ReadFile;
using testing_support::ScriptedDialogs;
using testing_support::WriteFile;

namespace {

// 22 fields: the FRONT column, the REAR column, then the two sprockets.
std::string Record(const std::string& front1, const std::string& rear1, const std::string& fs,
                   const std::string& rs) {
    return front1 + std::string(10, '|') + rear1 + std::string(10, '|') + fs + "|" + rs;
}

const std::string kThree = "[CIRCUITS]\nA=" + Record("a", "ar", "14", "40") +
                           "\nB=" + Record("b", "br", "15", "41") +
                           "\nC=" + Record("c", "cr", "16", "42") + "\n";

// One page with its own settings file, store, dialogs and error report.
struct Page {
    testing_support::TempDir dir;
    std::string file = dir.File("Gearsheet.INI");
    ScriptedDialogs dialogs;
    gearsheet::SettingsStore store;
    gearsheet::ErrorReporter errors{dialogs, QStringLiteral("Gearsheet"), dir.Path().string() + "/",
                                    nullptr};
    gearsheet::FormContext context{store, dialogs, errors};
    std::unique_ptr<CircuitPage> page;

    // `contents` is written as the settings file first, unless it is empty.
    explicit Page(const std::string& contents = {}) {
        if (!contents.empty())
            WriteFile(file, contents);
        store.Create(QFSTORE_LIBRARY_PATH, dialogs);
        store.Get().Path(file);
        page = std::make_unique<CircuitPage>(context);
    }

    // What start-up does with the page.
    void Start() {
        page->RefreshCircuitCombo();
        page->cboCircuits_Click();
    }

    template <class W>
    W* Find(const char* name) const {
        W* w = page->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QComboBox* Combo() const { return Find<QComboBox>("cboCircuits"); }
    QTableWidget* Grid() const { return Find<QTableWidget>("grdFields"); }
    QString Cell(int row, int column) const { return Grid()->item(row, column)->text(); }

    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

    static void TypeInto(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void TypeBox(const char* name, const QString& text) { TypeInto(Find<QLineEdit>(name), text); }
    void TypeName(const QString& text) { TypeInto(Combo()->lineEdit(), text); }

    // Edits a cell in place as the user does: open the editor, type, press Enter.
    void TypeCell(int row, int column, const QString& text) {
        QTableWidget* grid = Grid();
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        auto* editor =
            qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
        if (!editor)
            qFatal("no editor for cell %d, %d", row, column);
        TypeInto(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the text and closes the editor in a queued call.
        QCoreApplication::processEvents();
    }

    // Chooses a circuit of the list by typing its name and pressing Enter.
    void Choose(const QString& name) {
        TypeName(name);
        QTest::keyClick(Combo()->lineEdit(), Qt::Key_Return);
    }

    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < Combo()->count(); ++i) items << Combo()->itemText(i);
        return items;
    }
};

}  // namespace

class CircuitPageTest : public QObject {
    Q_OBJECT
  private slots:
    void controlsAndHeadings();
    void addWritesTheRecordLine();
    void clearThenAddStoresOnlySeparators();
    void overwriteKeepsPlaceAndShowsLast();
    void deleteMiddleOfThreeShowsLast();
    void deleteWithoutChoiceReports();
    void numericLookingTextsComeBackExactly();
    void refusedAddWritesNothing_data();
    void refusedAddWritesNothing();
    void shortRecordPlacesWhatItHas();
    void recordWithoutBarIsTypeMismatch();
    void startWithoutCircuitsShowsNoError();
    void deletingTheLastCircuitShowsNoError();
    void choiceFailureIsReportedByTheChoice();
    void copyValuesSetsDetailsBoxes();
    void emptySprocketBoxBecomesZero();
    void nonNumericSprocketBoxKeepsFocus();
};

void CircuitPageTest::controlsAndHeadings() {
    Page p;
    QTableWidget* grid = p.Grid();
    QCOMPARE(grid->rowCount(), 11);
    QCOMPARE(grid->columnCount(), 3);
    QCOMPARE(p.Cell(0, 1), QStringLiteral("FRONT"));
    QCOMPARE(p.Cell(0, 2), QStringLiteral("REAR"));
    const QStringList rows = {
        "Static Sag:", "Loaded Sag:", "Ride Height:", "Prelead:", "Compression:",
        "Rebound:",    "Other1:",     "Other2:",      "Other3:",  "Other4:"};
    for (int r = 1; r <= 10; ++r) QCOMPARE(p.Cell(r, 0), rows[r - 1]);
    QVERIFY(!(grid->item(4, 0)->flags() & Qt::ItemIsEditable));
    QVERIFY(grid->item(4, 1)->flags() & Qt::ItemIsEditable);
    QVERIFY(p.Combo()->isEditable());
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QStringLiteral("0"));
    QCOMPARE(p.Find<QLineEdit>("txtRearSp")->text(), QStringLiteral("0"));
    QCOMPARE(p.Find<QPushButton>("cmdCopyValues")->text(), QStringLiteral("Copy Values"));
    QCOMPARE(p.Find<QPushButton>("cmdClear")->text(), QStringLiteral("Clear"));
    QCOMPARE(p.Find<QPushButton>("cmdAddCirquit")->text(), QStringLiteral("Add"));
    QCOMPARE(p.Find<QPushButton>("cmdDeleteCirquit")->text(), QStringLiteral("Delete"));
    QStringList labels;
    for (QLabel* l : p.page->findChildren<QLabel*>(QStringLiteral("Label1"))) labels << l->text();
    QCOMPARE(labels, QStringList({"Circuit:", "Front Sprocket:", "Rear Sprocket:"}));
}

void CircuitPageTest::addWritesTheRecordLine() {
    Page p;
    p.Start();
    p.TypeName(QStringLiteral("Monza"));
    p.TypeCell(1, 1, QStringLiteral("30"));
    p.TypeCell(2, 1, QStringLiteral("42"));
    p.TypeCell(3, 1, QStringLiteral("615"));
    p.TypeBox("txtFrontSp", QStringLiteral("15"));
    p.TypeBox("txtRearSp", QStringLiteral("45"));
    p.Click("cmdAddCirquit");

    const std::string line = "Monza=30|42|615" + std::string(18, '|') + "15|45";
    QCOMPARE(ReadFile(p.file), "[CIRCUITS]\n" + line + "\n");
    QCOMPARE(std::count(line.begin(), line.end(), '|'), 21);
    QCOMPARE(p.Items(), QStringList{"Monza"});
    QCOMPARE(p.Combo()->currentText(), QStringLiteral("Monza"));
    QCOMPARE(p.Cell(3, 1), QStringLiteral("615"));
    QCOMPARE(p.Find<QLineEdit>("txtRearSp")->text(), QStringLiteral("45"));
    QVERIFY(p.dialogs.messages.empty());
    QVERIFY(p.dialogs.reports.empty());
}

void CircuitPageTest::clearThenAddStoresOnlySeparators() {
    Page p("[CIRCUITS]\nHome=" + Record("30", "25", "16", "45") + "\n");
    p.Start();
    QCOMPARE(p.Cell(1, 2), QStringLiteral("25"));
    p.Click("cmdClear");
    QCOMPARE(ReadFile(p.file), "[CIRCUITS]\nHome=" + Record("30", "25", "16", "45") + "\n");
    for (int r = 1; r <= 10; ++r) QCOMPARE(p.Cell(r, 1) + p.Cell(r, 2), QString());
    QCOMPARE(p.Cell(4, 0), QStringLiteral("Prelead:"));
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QString());

    p.Click("cmdAddCirquit");
    QCOMPARE(ReadFile(p.file), "[CIRCUITS]\nHome=" + std::string(21, '|') + "\n");
    QCOMPARE(p.Find<QLineEdit>("txtRearSp")->text(), QString());
    QVERIFY(p.dialogs.reports.empty());
}

void CircuitPageTest::overwriteKeepsPlaceAndShowsLast() {
    Page p(kThree);
    p.Start();
    p.Choose(QStringLiteral("A"));
    QCOMPARE(p.Cell(1, 1), QStringLiteral("a"));
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QStringLiteral("14"));
    p.TypeCell(1, 1, QStringLiteral("new"));
    p.Click("cmdAddCirquit");

    QCOMPARE(ReadFile(p.file), "[CIRCUITS]\nA=" + Record("new", "ar", "14", "40") +
                                   "\nB=" + Record("b", "br", "15", "41") +
                                   "\nC=" + Record("c", "cr", "16", "42") + "\n");
    QCOMPARE(p.Items(), QStringList({"A", "B", "C"}));
    QCOMPARE(p.Combo()->currentText(), QStringLiteral("C"));
    QCOMPARE(p.Cell(1, 1), QStringLiteral("c"));
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QStringLiteral("16"));
}

void CircuitPageTest::deleteMiddleOfThreeShowsLast() {
    Page p(kThree);
    p.Start();
    p.Choose(QStringLiteral("B"));
    QCOMPARE(p.Cell(1, 2), QStringLiteral("br"));
    p.Click("cmdDeleteCirquit");

    QCOMPARE(ReadFile(p.file), "[CIRCUITS]\nA=" + Record("a", "ar", "14", "40") +
                                   "\nC=" + Record("c", "cr", "16", "42") + "\n");
    QCOMPARE(p.Items(), QStringList({"A", "C"}));
    QCOMPARE(p.Combo()->currentText(), QStringLiteral("C"));
    QCOMPARE(p.Cell(1, 1), QStringLiteral("c"));
    QCOMPARE(p.Cell(1, 2), QStringLiteral("cr"));
    QCOMPARE(p.Find<QLineEdit>("txtRearSp")->text(), QStringLiteral("42"));
    QVERIFY(p.dialogs.reports.empty());
}

void CircuitPageTest::deleteWithoutChoiceReports() {
    Page p("[CIRCUITS]\nA=" + Record("a", "ar", "14", "40") + "\n");
    p.Start();
    p.Combo()->setCurrentIndex(-1);
    p.Click("cmdDeleteCirquit");
    QCOMPARE(p.dialogs.reports.size(), size_t(1));
    QCOMPARE(p.dialogs.reports[0].sourceName, std::string("MainForm.cmdDeleteCirquit_Click"));
    QCOMPARE(p.dialogs.reports[0].number, 91);
    QCOMPARE(p.dialogs.reports[0].description, std::string("Object variable not set"));
    QCOMPARE(ReadFile(p.file), "[CIRCUITS]\nA=" + Record("a", "ar", "14", "40") + "\n");
    QCOMPARE(p.Cell(1, 1), QStringLiteral("a"));
}

void CircuitPageTest::numericLookingTextsComeBackExactly() {
    Page p("[CIRCUITS]\nX=0012|1.50" + std::string(9, '|') + "-0|" + std::string(9, '|') +
           "015|45.0\n");
    p.Start();
    QCOMPARE(p.Cell(1, 1), QStringLiteral("0012"));
    QCOMPARE(p.Cell(2, 1), QStringLiteral("1.50"));
    QCOMPARE(p.Cell(1, 2), QStringLiteral("-0"));
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QStringLiteral("015"));
    QCOMPARE(p.Find<QLineEdit>("txtRearSp")->text(), QStringLiteral("45.0"));

    // Typed and saved, then shown again after choosing another circuit and back.
    p.TypeName(QStringLiteral("Y"));
    p.TypeCell(10, 2, QStringLiteral("1.50"));
    p.TypeCell(10, 1, QStringLiteral("0012"));
    p.Click("cmdAddCirquit");
    p.Choose(QStringLiteral("X"));
    QCOMPARE(p.Cell(10, 2), QString());
    p.Choose(QStringLiteral("Y"));
    QCOMPARE(p.Cell(10, 1), QStringLiteral("0012"));
    QCOMPARE(p.Cell(10, 2), QStringLiteral("1.50"));
    QVERIFY(p.dialogs.reports.empty());
}

void CircuitPageTest::refusedAddWritesNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("rearSprocket");
    QTest::addColumn<QString>("message");
    QTest::newRow("bar in a cell")
        << "Monza" << 4 << 2 << "3|4"
        << "45"
        << "The circuit can't be saved: the text in row \"Prelead:\", column \"REAR\" must not "
           "contain \"|\".";
    QTest::newRow("bar in a sprocket box")
        << "Monza" << 1 << 1 << "30"
        << "45|46"
        << "The circuit can't be saved: the text in the \"Rear Sprocket:\" box must not contain "
           "\"|\".";
    QTest::newRow("empty name") << "" << 1 << 1 << "30"
                                << "45"
                                << "The circuit can't be saved: please type a name first.";
    QTest::newRow("blank after the name")
        << "Monza " << 1 << 1 << "30"
        << "45"
        << "The circuit can't be saved: its name must not begin or end with a blank.";
    QTest::newRow("equals sign") << "a=b" << 1 << 1 << "30"
                                 << "45"
                                 << "The circuit can't be saved: its name must not contain \"=\".";
    QTest::newRow("leading bracket")
        << "[Monza" << 1 << 1 << "30"
        << "45"
        << "The circuit can't be saved: its name must not begin with \"[\" or \";\".";
}

void CircuitPageTest::refusedAddWritesNothing() {
    QFETCH(QString, name);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, cell);
    QFETCH(QString, rearSprocket);
    QFETCH(QString, message);
    const std::string before = "[CIRCUITS]\nA=" + Record("a", "ar", "14", "40") + "\n";
    Page p(before);
    p.Start();
    p.TypeName(name);
    p.TypeCell(row, column, cell);
    p.TypeBox("txtRearSp", rearSprocket);
    p.Click("cmdAddCirquit");

    QCOMPARE(p.dialogs.messages.size(), size_t(1));
    QCOMPARE(p.dialogs.messages[0].text, message);
    QCOMPARE(p.dialogs.messages[0].title, QStringLiteral("Gearsheet"));
    QVERIFY(p.dialogs.messages[0].icon == gearsheet::MessageIcon::Exclamation);
    QCOMPARE(ReadFile(p.file), before);
    QCOMPARE(p.Items(), QStringList{"A"});
    QCOMPARE(p.Cell(row, column), cell);  // what was typed stays for mending
    QVERIFY(p.dialogs.reports.empty());
}

void CircuitPageTest::shortRecordPlacesWhatItHas() {
    // Written by hand: three FRONT values and nothing else.
    Page p("[CIRCUITS]\nShort=1|2|3\n");
    p.page->findChild<QTableWidget*>("grdFields")->item(4, 1)->setText("before");
    p.Start();
    QCOMPARE(p.Cell(1, 1), QStringLiteral("1"));
    QCOMPARE(p.Cell(2, 1), QStringLiteral("2"));
    QCOMPARE(p.Cell(3, 1), QStringLiteral("3"));
    QCOMPARE(p.Cell(4, 1), QStringLiteral("before"));
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QStringLiteral("0"));
    QCOMPARE(p.dialogs.reports.size(), size_t(1));
    const auto& report = p.dialogs.reports[0];
    QCOMPARE(report.sourceName, std::string("MainForm.PlaceCircuitData"));
    QCOMPARE(report.number, 9);
    QCOMPARE(report.description, std::string("Subscript out of range"));
}

void CircuitPageTest::recordWithoutBarIsTypeMismatch() {
    Page p("[CIRCUITS]\nOne=30\n");
    p.Start();
    QCOMPARE(p.dialogs.reports.size(), size_t(1));
    QCOMPARE(p.dialogs.reports[0].sourceName, std::string("MainForm.PlaceCircuitData"));
    QCOMPARE(p.dialogs.reports[0].number, 13);
    QCOMPARE(p.Cell(1, 1), QString());
}

void CircuitPageTest::startWithoutCircuitsShowsNoError() {
    Page p("[GEARS]\nGear1=2.5\n");
    p.Start();
    QVERIFY(p.dialogs.reports.empty());
    QVERIFY(p.dialogs.messages.empty());
    QCOMPARE(p.Combo()->count(), 0);
    QCOMPARE(p.Combo()->currentText(), QString());
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QStringLiteral("0"));
    QCOMPARE(p.Cell(1, 1), QString());
}

void CircuitPageTest::deletingTheLastCircuitShowsNoError() {
    Page p("[CIRCUITS]\nA=" + Record("a", "ar", "14", "40") + "\n");
    p.Start();
    p.Click("cmdDeleteCirquit");
    QVERIFY(p.dialogs.reports.empty());
    QCOMPARE(ReadFile(p.file), std::string("[CIRCUITS]\n"));
    QCOMPARE(p.Combo()->count(), 0);
    QCOMPARE(p.Cell(1, 1), QString());
    QCOMPARE(p.Find<QLineEdit>("txtFrontSp")->text(), QString());
}

void CircuitPageTest::choiceFailureIsReportedByTheChoice() {
    // A page whose store could not be created: every store call fails with error 91.
    Page p;
    gearsheet::SettingsStore none;
    gearsheet::FormContext context{none, p.dialogs, p.errors};
    CircuitPage page(context);
    auto* combo = page.findChild<QComboBox*>("cboCircuits");
    combo->addItems({QStringLiteral("A"), QStringLiteral("B")});

    // Called by a handler, the failure is passed on with its own line.
    try {
        page.cboCircuits_Click();
        QFAIL("no error");
    } catch (const qfstore::Error& e) {
        QCOMPARE(e.Number(), 91);
        QCOMPARE(e.Source(), std::string("Gearsheet\r\nMainForm.cboCircuits_Click"));
    }
    QVERIFY(p.dialogs.reports.empty());

    // As the answer to the user's choice, it is reported.
    Page::TypeInto(combo->lineEdit(), QStringLiteral("B"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    QCOMPARE(p.dialogs.reports.size(), size_t(1));
    QCOMPARE(p.dialogs.reports[0].sourceName, std::string("MainForm.cboCircuits_Click"));
    QCOMPARE(p.dialogs.reports[0].number, 91);
}

void CircuitPageTest::copyValuesSetsDetailsBoxes() {
    Page p("[CIRCUITS]\nMonza=" + Record("30", "", "15", "45") + "\n");
    QLineEdit front(QStringLiteral("16"));
    QLineEdit rear(QStringLiteral("48"));
    p.page->SetSprocketTargets(&front, &rear);
    p.Start();
    p.Click("cmdCopyValues");
    QCOMPARE(front.text(), QStringLiteral("15"));
    QCOMPARE(rear.text(), QStringLiteral("45"));
    // Copied as shown, without a check.
    p.TypeBox("txtFrontSp", QStringLiteral("x"));
    p.Click("cmdCopyValues");
    QCOMPARE(front.text(), QStringLiteral("x"));
    QVERIFY(p.dialogs.reports.empty());
    QVERIFY(p.dialogs.messages.empty());
}

void CircuitPageTest::emptySprocketBoxBecomesZero() {
    Page p;
    p.page->show();
    QVERIFY(QTest::qWaitForWindowActive(p.page.get()));
    auto* rear = p.Find<QLineEdit>("txtRearSp");
    auto* front = p.Find<QLineEdit>("txtFrontSp");
    rear->setFocus(Qt::MouseFocusReason);
    Page::TypeInto(rear, QString());
    QCOMPARE(rear->text(), QString());
    front->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(rear->text(), QStringLiteral("0"));
    QCOMPARE(QApplication::focusWidget(), front);
    QVERIFY(p.dialogs.messages.empty());
}

void CircuitPageTest::nonNumericSprocketBoxKeepsFocus() {
    Page p;
    p.page->show();
    QVERIFY(QTest::qWaitForWindowActive(p.page.get()));
    auto* rear = p.Find<QLineEdit>("txtRearSp");
    rear->setFocus(Qt::MouseFocusReason);
    Page::TypeInto(rear, QStringLiteral("x"));
    p.Combo()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(p.dialogs.messages.size(), size_t(1));
    QCOMPARE(p.dialogs.messages[0].text, QStringLiteral("Only Numeric Values Are Allowed"));
    QCOMPARE(p.dialogs.messages[0].title, QStringLiteral("Gearsheet"));
    QVERIFY(p.dialogs.messages[0].icon == gearsheet::MessageIcon::None);
    QCOMPARE(rear->text(), QStringLiteral("x"));
    QCOMPARE(QApplication::focusWidget(), rear);
    // A number passes without a word.
    Page::TypeInto(rear, QStringLiteral("45"));
    p.Combo()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(p.dialogs.messages.size(), size_t(1));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(p.Combo()));
}

QTEST_MAIN(CircuitPageTest)
#include "circuit_page_test.moc"
