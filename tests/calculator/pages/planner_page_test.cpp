// The Gear Planner page, the unit choice and "From Size", on the shipped settings file.
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

#include "main_window.h"

using testing_support::ReadFile;
using testing_support::Window;

namespace {

// The cells of one quantity of the planner's table (rows Current, Proposed, Difference, %) in
// one gear column (1 … 6).
QStringList Column(const Window& w, int quantity, int gear) {
    auto* grid = w.Find<QTableWidget>("grdPlanner");
    QStringList cells;
    for (int k = 0; k < 4; ++k) cells << grid->item(quantity * 4 + k, 1 + gear)->text();
    return cells;
}

}  // namespace

class PlannerPageTest : public QObject {
    Q_OBJECT
  private slots:
    void unitChoiceChangesTheSpeedTableAndSurvivesARestart();
    void plannerComparesThenFromSizeAndCopyToDetails();
};

void PlannerPageTest::unitChoiceChangesTheSpeedTableAndSurvivesARestart() {
    Window w(ReadFile(SHIPPED_SETTINGS));  // 4.67 mph in the first cell (main_form_test)
    w.ClickTab(3);
    w.Find<QRadioButton>("optKmh")->click();
    QCOMPARE(w.Find<QSpinBox>("spnSpeedOfInterest")->value(), 160);
    // 1000 rpm in 1st: 4.66892 mph × 1.609344 = 7.5139 km/h.
    w.ClickTab(1);
    QCOMPARE(w.Speed(0, 0), "km/h");
    QCOMPARE(w.Speed(1, 1), "7.51");
    QVERIFY(w.File().ends_with("[DISPLAY]\nSpeedUnit=km/h\n"));
    QVERIFY(w.form->close());
    w.Start();
    w.ClickTab(1);
    QCOMPARE(w.Speed(1, 1), "7.51");
    w.ClickTab(3);
    QVERIFY(w.Find<QRadioButton>("optKmh")->isChecked());
    QCOMPARE(w.Reports() + w.Messages(), QStringList());
}

void PlannerPageTest::plannerComparesThenFromSizeAndCopyToDetails() {
    Window w(ReadFile(SHIPPED_SETTINGS));
    w.Type("txtRearSproket", "45");
    w.ClickTab(3);
    QVERIFY(w.form->findChild<QWidget*>("chtPlanner"));  // from the chart module
    QCOMPARE(w.Text("txtCurrentRear"), "45");
    QCOMPARE(w.Text("txtCurrentCircumference"), "79.2");
    w.Find<QSpinBox>("spnProposedFront")->setValue(15);
    w.Find<QSpinBox>("spnProposedRear")->setValue(45);
    // The figures are worked out in planner_test; here they are rounded, differenced and placed.
    QCOMPARE(Column(w, 0, 1), QStringList({"2.8125", "3", "+0.1875", "+6.67"}));
    QCOMPARE(Column(w, 2, 6), QStringList({"173.38", "162.55", "-10.83", "-6.25"}));
    QCOMPARE(Column(w, 4, 2), QStringList({"3498", "3498", "0", "0"}));
    // 520 chain, 112 links (planner_test): 15/45 needs 111.54 links; 16/48 moves the axle forwards.
    QCOMPARE(w.Find<QLabel>("lblCentreDistance")->text(), "642.7 mm");
    QCOMPARE(w.Find<QLabel>("lblLinksNeeded")->text(), "111.5 → 112");
    QCOMPARE(w.Find<QLabel>("lblAxleMove")->text(), "+3.7 mm (rearwards)");
    w.Find<QSpinBox>("spnProposedFront")->setValue(16);
    w.Find<QSpinBox>("spnProposedRear")->setValue(48);
    QCOMPARE(w.Find<QLabel>("lblAxleMove")->text(), "-12.9 mm (forwards)");
    QVERIFY(w.File().ends_with("[PLANNER]\nFront=16\nRear=48\n"));

    // A zero on the Details page: the page says so instead of figures.
    w.ClickTab(0);
    w.Type("txtCircumferance", "0");
    w.ClickTab(3);
    QVERIFY(w.Find<QLabel>("lblPlannerProblem")->isVisible());
    QCOMPARE(Column(w, 2, 6), QStringList({"", "", "", ""}));
    QCOMPARE(w.Reports(), QStringList());

    // "From Size" on the Details page, then the planner's proposed tyre copied to the Details page.
    w.ClickTab(0);
    const std::string before = w.File();
    // π × (17 × 25.4 + 2 × 190 × 0.55) mm = 2013.13 mm = 79.257 in.
    w.Type("cboTyreTypes", "190/55ZR17");
    w.Click("cmdFromSize");
    QCOMPARE(w.Text("txtCircumferance"), "79.3");
    w.Type("cboTyreTypes", "Slick");
    w.Click("cmdFromSize");
    QCOMPARE(w.Messages(),
             QStringList{"The tyre name holds no size. Write the size as width/aspect "
                         "ratio, construction and rim diameter, for example "
                         "180/55ZR17, 190/50 R17 or 120/70-17."});
    QCOMPARE(w.Text("txtCircumferance"), "79.3");
    QCOMPARE(w.File(), before);

    w.ClickTab(3);
    w.Find<QSpinBox>("spnProposedFront")->setValue(15);
    w.Find<QSpinBox>("spnProposedRear")->setValue(45);
    auto* tyre = w.Find<QComboBox>("cboProposedTyre");
    tyre->setCurrentIndex(tyre->findText("190/55ZR17"));
    emit tyre->activated(tyre->currentIndex());
    QCOMPARE(w.Text("txtProposedCircumference"), "79.3");
    w.Click("cmdCopyToDetails");
    QCOMPARE(w.Text("txtFrontSprocket") + " " + w.Text("txtRearSproket") + " " +
                 w.Text("txtCircumferance") + " " + w.Current("cboTyreTypes"),
             "15 45 79.3 190/55ZR17");
    QVERIFY(w.File().starts_with(ReadFile(SHIPPED_SETTINGS)));  // no tyre written

    // A circumference the Details page's box would refuse is not copied.
    w.Type("txtProposedCircumference", "1e400");
    QVERIFY(w.Find<QLabel>("lblPlannerProblem")->isVisible());
    w.Find<QSpinBox>("spnProposedFront")->setValue(14);
    w.Click("cmdCopyToDetails");
    QCOMPARE(
        w.Messages().mid(1),
        QStringList{"Nothing was copied: the proposed circumference must be a number above zero."});
    QCOMPARE(w.Text("txtFrontSprocket") + " " + w.Text("txtCircumferance"), "15 79.3");
    w.ClickTab(1);
    QCOMPARE(w.Reports(), QStringList());
}

QTEST_MAIN(PlannerPageTest)
#include "planner_page_test.moc"
