// The Circuit Database page inside the main window: what start-up shows, and "Copy Values"
// feeding the speed table through the Details page.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <optional>
#include <string>

#include "main_form.h"
#include "qtest_strings.h"
#include "scripted_dialogs.h"
#include "temp_dir.h"

using testing_support::ScriptedDialogs;

namespace {

const std::string kGears =
    "[GEARS]\nGear1=2.5\nGear2=2\nGear3=1.6\nGear4=1.4\nGear5=1.25\nGear6=1\n"
    "[REDUCTIONS]\nInitialReduction=2\n[TYRES]\nT=72\n";

std::string Circuit(const std::string& name, const std::string& front1, const std::string& fs,
                    const std::string& rs) {
    return name + "=" + front1 + std::string(20, '|') + fs + "|" + rs + "\n";
}

struct Window {
    testing_support::TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<gearsheet::MainForm> form;

    explicit Window(const std::string& settings) {
        testing_support::WriteFile(dir.File("Gearsheet.INI"), settings);
        form = std::make_unique<gearsheet::MainForm>(
            dialogs, gearsheet::MainFormOptions{dir.File("Gearsheet.INI"), QFSTORE_LIBRARY_PATH,
                                                "Gearsheet", dir.Path().string() + "/"});
        form->Form_Load();
        form->show();
    }

    template <class W>
    W* Find(const char* name) const {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QString Text(const char* box) const { return Find<QLineEdit>(box)->text(); }
    QString Speed(int row, int gear) const {
        return Find<QTableWidget>("grdMain")->item(row, gear)->text();
    }
    void ClickTab(int index) {
        QTabBar* bar = Find<QTabWidget>("vsIndexTab1")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCoreApplication::processEvents();
    }
};

}  // namespace

class CircuitMainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void startShowsTheLastCircuit();
    void startWithoutCircuitsShowsNoError();
    void copyValuesReachesTheTableAtTheNextTabClick();
};

void CircuitMainFormTest::startShowsTheLastCircuit() {
    Window w(kGears + "[CIRCUITS]\n" + Circuit("Home", "30", "16", "45") +
             Circuit("Monza", "32", "15", "42"));
    QVERIFY(w.dialogs.reports.empty());
    auto* combo = w.Find<QComboBox>("cboCircuits");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentText(), QStringLiteral("Monza"));
    QCOMPARE(w.Find<QTableWidget>("grdFields")->item(1, 1)->text(), QStringLiteral("32"));
    QCOMPARE(w.Text("txtFrontSp"), QStringLiteral("15"));
    QCOMPARE(w.Text("txtRearSp"), QStringLiteral("42"));
}

void CircuitMainFormTest::startWithoutCircuitsShowsNoError() {
    Window w(kGears);
    QVERIFY(w.dialogs.reports.empty());
    QVERIFY(w.dialogs.messages.empty());
    QCOMPARE(w.Find<QComboBox>("cboCircuits")->count(), 0);
    QCOMPARE(w.Text("txtFrontSp"), QStringLiteral("0"));
    QCOMPARE(w.Text("txtRearSp"), QStringLiteral("0"));
}

void CircuitMainFormTest::copyValuesReachesTheTableAtTheNextTabClick() {
    Window w(kGears + "[CIRCUITS]\n" + Circuit("Monza", "32", "15", "42"));
    // 1000 rpm in 1st gear: 1000 ÷ 2 ÷ (48 ÷ 16) × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 4.545…
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), QStringLiteral("4.55"));
    w.ClickTab(2);
    QTest::mouseClick(w.Find<QPushButton>("cmdCopyValues"), Qt::LeftButton);
    QCOMPARE(w.Text("txtFrontSprocket"), QStringLiteral("15"));
    QCOMPARE(w.Text("txtRearSproket"), QStringLiteral("42"));
    QCOMPARE(w.Speed(1, 1), QStringLiteral("4.55"));
    // With 15 and 42: 1000 ÷ 2 ÷ 2.8 × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 4.870…
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), QStringLiteral("4.87"));
    QVERIFY(w.dialogs.reports.empty());
    QVERIFY(w.dialogs.messages.empty());
}

QTEST_MAIN(CircuitMainFormTest)
#include "circuit_main_form_test.moc"
