// The main window as the user meets it: a real settings file in a temporary folder, the store
// loaded from the built library, widgets found by name and driven by events, dialogs answered
// through the seam.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <memory>

#include "locale_numbers.h"
#include "main_form.h"
#include "profile.h"
#include "qtest_strings.h"
#include "scripted_dialogs.h"
#include "temp_dir.h"
#include "twips.h"

using gearsheet::MainForm;
using gearsheet::MessageIcon;
using testing_support::ReadFile;
using testing_support::ScriptedDialogs;
using testing_support::WriteFile;

namespace {

const std::string kGears =
    "[GEARS]\nGear1=2.5\nGear2=2\nGear3=1.6\nGear4=1.4\nGear5=1.25\nGear6=1\n"
    "[REDUCTIONS]\nInitialReduction=2\n";
const QString kZeroWarning =
    "One Of The Values For The Speed Calculation Is Zero So The Calculation Can't Be Done";

// One main window with its own folder, settings file and dialogs.
struct Window {
    testing_support::TempDir dir;
    std::string settings = dir.File("Gearsheet.INI");
    ScriptedDialogs dialogs;
    std::unique_ptr<MainForm> form;

    // `contents` is the settings file, or nothing for a first start without one.
    explicit Window(const std::optional<std::string>& contents,
                    std::string library = QFSTORE_LIBRARY_PATH) {
        if (contents)
            WriteFile(settings, *contents);
        Start(std::move(library));
    }

    void Start(std::string library = QFSTORE_LIBRARY_PATH) {
        form = std::make_unique<MainForm>(
            dialogs, gearsheet::MainFormOptions{settings, std::move(library), "Gearsheet",
                                                dir.Path().string() + "/"});
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
    QComboBox* Tyres() const { return Find<QComboBox>("cboTyreTypes"); }
    QLineEdit* Box(const char* name) const { return Find<QLineEdit>(name); }
    QTableWidget* Grid() const { return Find<QTableWidget>("grdMain"); }
    QTabWidget* Tabs() const { return Find<QTabWidget>("vsIndexTab1"); }
    QStringList TyreNames() const {
        QStringList names;
        for (int i = 0; i < Tyres()->count(); ++i) names << Tyres()->itemText(i);
        return names;
    }

    void ClickTab(int index) {
        QTabBar* bar = Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCoreApplication::processEvents();  // the click handler runs after the tab switch
    }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    static void TypeInto(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void TypeTyre(const QString& name, const QString& circumference) {
        TypeInto(Tyres()->lineEdit(), name);
        TypeInto(Box("txtCircumferance"), circumference);
    }
    int Px(int twips) const { return gearsheet::TwipsToPixels(twips, form->logicalDpiY()); }
};

// The table's speed, worked out here on its own: rpm ÷ reduction ÷ (rear ÷ front) ×
// circumference × 60 ÷ 12 ÷ 5280 ÷ ratio, rounded to hundredths, halves to even.
QString ExpectedSpeed(int row, double ratio, double reduction, double front, double rear,
                      double circumference) {
    const double rpm = row == 16 ? 15500 : row * 1000.0;
    const double mph = rpm / reduction / (rear / front) * circumference * 60 / 12 / 5280 / ratio;
    return gearsheet::NumberText(std::nearbyint(mph * 100) / 100);
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartWithoutSettingsFile();
    void shippedFileFillsTheTableOnFirstClick();
    void sprocketTextsRoundHalfToEven();
    void notANumberOnTabClickIsReported();
    void addingANewTyreAppendsAndChoosesIt();
    void overwritingATyreKeepsItsPlace();
    void deletingTheChosenTyre();
    void deleteWithNoTyreChosenIsReported();
    void refusedTyreNamesWriteNothing_data();
    void refusedTyreNamesWriteNothing();
    void leavingABoxWithTextShowsTheMessage_data();
    void leavingABoxWithTextShowsTheMessage();
    void windowPositionRoundTrip();
    void missingLibraryIsReportedAndCloseStillWorks();
    void badWindowPositionStopsStartUp();
};

void MainFormTest::firstStartWithoutSettingsFile() {
    Window w(std::nullopt);
    QCOMPARE(w.dialogs.reports.size(), size_t{1});
    const auto& report = w.dialogs.reports[0];
    QCOMPARE(report.sourceName, "MainForm.Form_Load");
    QCOMPARE(report.number, 13);
    QCOMPARE(report.description, "Type mismatch");
    QCOMPARE(report.callStack, "Gearsheet.InitializeGears\r\n");
    QCOMPARE(w.form->pos(), QPoint(w.Px(500), w.Px(500)));
    QCOMPARE(w.Find<QLabel>("lblInitalReduction")->text(), "");
    QCOMPARE(w.Tyres()->count(), 0);
    QCOMPARE(w.Box("txtCircumferance")->text(), "0");
    QCOMPARE(w.Box("txtFrontSprocket")->text(), "16");
    QCOMPARE(w.Box("txtRearSproket")->text(), "48");
    QCOMPARE(w.Find<QComboBox>("cboCircuits")->count(), 0);
    QVERIFY(!std::filesystem::exists(w.settings));  // reading never creates it

    // The speed tab refuses the zero reduction and goes back to "Details".
    w.ClickTab(1);
    QCOMPARE(w.dialogs.messages.size(), size_t{1});
    QCOMPARE(w.dialogs.messages[0].text, kZeroWarning);
    QCOMPARE(w.dialogs.messages[0].title, "Gearsheet");
    QVERIFY(w.dialogs.messages[0].icon == MessageIcon::Exclamation);
    QCOMPARE(w.Tabs()->currentIndex(), 0);
    QCOMPARE(w.Grid()->item(1, 1)->text(), "");
    QCOMPARE(w.dialogs.reports.size(), size_t{1});

    // Another tab runs the calculation, which divides by the zero reduction.
    w.ClickTab(2);
    QCOMPARE(w.Tabs()->currentIndex(), 2);
    QCOMPARE(w.dialogs.reports.size(), size_t{2});
    QCOMPARE(w.dialogs.reports[1].sourceName, "MainForm.vsIndexTab1_Click");
    QCOMPARE(w.dialogs.reports[1].number, 11);
    QCOMPARE(w.dialogs.reports[1].description, "Division by zero");
    QCOMPARE(w.dialogs.reports[1].callStack, "Gearsheet.MainForm.RereshGrid\r\n");
    QCOMPARE(w.Grid()->item(1, 1)->text(), "");
    QCOMPARE(w.dialogs.messages.size(), size_t{1});
}

void MainFormTest::shippedFileFillsTheTableOnFirstClick() {
    Window w(ReadFile(SHIPPED_SETTINGS));
    QCOMPARE(w.dialogs.reports.size(), size_t{0});
    QCOMPARE(w.Find<QLabel>("lblInitalReduction")->text(), "2.073");
    QCOMPARE(w.TyreNames(), QStringList({"180/55ZR17", "190/50ZR17", "190/55ZR17", "180/60ZR17",
                                         "Slick 180/640R17"}));
    QCOMPARE(w.Tyres()->currentIndex(), 4);
    QCOMPARE(w.Tyres()->currentText(), "Slick 180/640R17");
    QCOMPARE(w.Box("txtCircumferance")->text(), "79.2");
    QCOMPARE(w.Grid()->item(1, 1)->text(), "");  // nothing is computed at start-up

    w.ClickTab(1);
    QCOMPARE(w.Tabs()->currentIndex(), 1);
    QCOMPARE(w.dialogs.messages.size(), size_t{0});
    QCOMPARE(w.dialogs.reports.size(), size_t{0});
    QTableWidget* grid = w.Grid();
    QCOMPARE(grid->rowCount(), 17);
    QCOMPARE(grid->columnCount(), 7);
    QCOMPARE(grid->item(0, 1)->text(), "1st Gear");
    QCOMPARE(grid->item(0, 6)->text(), "6th Gear");
    QCOMPARE(grid->item(1, 0)->text(), "1000 RPM");
    QCOMPARE(grid->item(15, 0)->text(), "15000 RPM");
    QCOMPARE(grid->item(16, 0)->text(), "15500 RPM");

    const QStringList firstRow{"4.67", "6.03", "7.23", "8.35", "9.38", "10.49"};
    const QStringList lastRow{"72.37", "93.46", "112.13", "129.45", "145.36", "162.55"};
    const double ratios[] = {2.583, 2.000, 1.667, 1.444, 1.286, 1.150};
    const QBrush shading(QColor(202, 215, 230));
    for (int r = 1; r <= 16; ++r) {
        for (int g = 1; g <= 6; ++g) {
            const QTableWidgetItem* cell = grid->item(r, g);
            QCOMPARE(cell->text(), ExpectedSpeed(r, ratios[g - 1], 2.073, 16, 48, 79.2));
            if (r == 1)
                QCOMPARE(cell->text(), firstRow[g - 1]);
            if (r == 16)
                QCOMPARE(cell->text(), lastRow[g - 1]);
            if (r % 2 == 0)
                QCOMPARE(cell->background(), shading);
            else
                QCOMPARE(cell->background(), QBrush());
        }
        QCOMPARE(grid->item(r, 0)->background() == shading, false);
    }
    QCOMPARE(grid->currentRow(), 0);
    QCOMPARE(grid->currentColumn(), 0);

    // The same click again leaves the same table.
    w.ClickTab(1);
    QCOMPARE(grid->item(16, 6)->text(), "162.55");
    QCOMPARE(grid->item(16, 6)->background(), shading);
    QCOMPARE(grid->item(15, 6)->background(), QBrush());
}

void MainFormTest::sprocketTextsRoundHalfToEven() {
    Window w(kGears + "[TYRES]\nT=72\n");
    Window::TypeInto(w.Box("txtFrontSprocket"), "16.5");  // 16 teeth
    Window::TypeInto(w.Box("txtRearSproket"), "47.5");    // 48 teeth
    w.ClickTab(1);
    QCOMPARE(w.dialogs.messages.size(), size_t{0});
    // Reduction 2, sprockets 16 and 48, circumference 72, sixth gear ratio 1.
    QCOMPARE(w.Grid()->item(1, 6)->text(), "11.36");
    QCOMPARE(w.Grid()->item(16, 6)->text(), "176.14");

    // 0.5 teeth become 0: the speed tab refuses the calculation and the table stays.
    Window::TypeInto(w.Box("txtFrontSprocket"), "0.5");
    w.ClickTab(1);
    QCOMPARE(w.dialogs.messages.size(), size_t{1});
    QCOMPARE(w.dialogs.messages[0].text, kZeroWarning);
    QCOMPARE(w.Tabs()->currentIndex(), 0);
    QCOMPARE(w.Grid()->item(1, 6)->text(), "11.36");
}

void MainFormTest::notANumberOnTabClickIsReported() {
    Window w(kGears);
    Window::TypeInto(w.Box("txtRearSproket"), "40000");
    w.ClickTab(2);
    QCOMPARE(w.dialogs.reports.size(), size_t{1});
    QCOMPARE(w.dialogs.reports[0].number, 6);
    QCOMPARE(w.dialogs.reports[0].sourceName, "MainForm.vsIndexTab1_Click");
    QCOMPARE(w.dialogs.reports[0].callStack, "Gearsheet\r\n");

    Window::TypeInto(w.Box("txtCircumferance"), "abc");
    w.ClickTab(0);
    QCOMPARE(w.dialogs.reports.size(), size_t{2});
    QCOMPARE(w.dialogs.reports[1].number, 13);
    QCOMPARE(w.dialogs.reports[1].description, "Type mismatch");
    QCOMPARE(w.Grid()->item(1, 1)->text(), "");
}

void MainFormTest::addingANewTyreAppendsAndChoosesIt() {
    Window w(kGears + "[TYRES]\nA=70\nB=75.5\n; end of tyres\n");
    QCOMPARE(w.TyreNames(), QStringList({"A", "B"}));
    QCOMPARE(w.Box("txtCircumferance")->text(), "75.5");
    w.TypeTyre("Slick 17", "25");
    w.Click("cmdAddTyre");
    QCOMPARE(ReadFile(w.settings), kGears + "[TYRES]\nA=70\nB=75.5\nSlick 17=25\n; end of tyres\n");
    QCOMPARE(w.TyreNames(), QStringList({"A", "B", "Slick 17"}));
    QCOMPARE(w.Tyres()->currentIndex(), 2);
    QCOMPARE(w.Tyres()->currentText(), "Slick 17");
    QCOMPARE(w.Box("txtCircumferance")->text(), "25");
    QCOMPARE(w.dialogs.messages.size(), size_t{0});
    QCOMPARE(w.dialogs.reports.size(), size_t{0});
}

void MainFormTest::overwritingATyreKeepsItsPlace() {
    Window w(kGears + "[TYRES]\nA=70\nB=75\nC=80\n");
    w.TypeTyre("A", "wide");
    w.Click("cmdAddTyre");
    QCOMPARE(ReadFile(w.settings), kGears + "[TYRES]\nA=wide\nB=75\nC=80\n");
    QCOMPARE(w.TyreNames(), QStringList({"A", "B", "C"}));
    // The refresh chooses the last tyre, not the one just written.
    QCOMPARE(w.Tyres()->currentText(), "C");
    QCOMPARE(w.Box("txtCircumferance")->text(), "80");
    // Choosing A shows its new, non-numeric circumference as stored.
    w.Tyres()->setFocus();
    QTest::keyClick(w.Tyres(), Qt::Key_Up);
    QTest::keyClick(w.Tyres(), Qt::Key_Up);
    QCOMPARE(w.Tyres()->currentText(), "A");
    QCOMPARE(w.Box("txtCircumferance")->text(), "wide");
}

void MainFormTest::deletingTheChosenTyre() {
    Window w(kGears + "[TYRES]\nA=70\nB=75\nC=80\n");
    w.Tyres()->setFocus();
    QTest::keyClick(w.Tyres(), Qt::Key_Up);  // choose B
    QCOMPARE(w.Box("txtCircumferance")->text(), "75");
    w.Click("cmdDeteTyreType");
    QCOMPARE(ReadFile(w.settings), kGears + "[TYRES]\nA=70\nC=80\n");
    QCOMPARE(w.TyreNames(), QStringList({"A", "C"}));
    QCOMPARE(w.Tyres()->currentIndex(), -1);
    QCOMPARE(w.Tyres()->currentText(), "");
    QCOMPARE(w.Box("txtCircumferance")->text(), "");
    QCOMPARE(w.dialogs.reports.size(), size_t{0});
}

void MainFormTest::deleteWithNoTyreChosenIsReported() {
    Window w(kGears + "[TYRES]\nA=70\nB=75\n");
    w.Click("cmdDeteTyreType");  // deletes B, the chosen one
    w.Click("cmdDeteTyreType");  // nothing is chosen now
    QCOMPARE(w.dialogs.reports.size(), size_t{1});
    QCOMPARE(w.dialogs.reports[0].sourceName, "MainForm.cmdDeteTyreType_Click");
    QCOMPARE(w.dialogs.reports[0].number, 91);
    QCOMPARE(ReadFile(w.settings), kGears + "[TYRES]\nA=70\n");
    QCOMPARE(w.TyreNames(), QStringList({"A"}));
}

void MainFormTest::refusedTyreNamesWriteNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << ""
                           << "The tyre type can't be saved: please type a name first.";
    QTest::newRow("leading blank")
        << " Slick"
        << "The tyre type can't be saved: its name must not begin or end with a blank.";
    QTest::newRow("trailing blank")
        << "Slick "
        << "The tyre type can't be saved: its name must not begin or end with a blank.";
    QTest::newRow("equals sign")
        << "a=b"
        << "The tyre type can't be saved: its name must not contain \"=\".";
    QTest::newRow("bracket")
        << "[Slick]"
        << "The tyre type can't be saved: its name must not begin with \"[\" or \";\".";
    QTest::newRow("semicolon")
        << ";Slick"
        << "The tyre type can't be saved: its name must not begin with \"[\" or \";\".";
}

void MainFormTest::refusedTyreNamesWriteNothing() {
    QFETCH(QString, name);
    QFETCH(QString, message);
    const std::string contents = kGears + "[TYRES]\nA=70\n";
    Window w(contents);
    w.TypeTyre(name, "25");
    w.Click("cmdAddTyre");
    QCOMPARE(w.dialogs.messages.size(), size_t{1});
    QCOMPARE(w.dialogs.messages[0].text, message);
    QVERIFY(w.dialogs.messages[0].icon == MessageIcon::Exclamation);
    QCOMPARE(ReadFile(w.settings), contents);
    QCOMPARE(w.TyreNames(), QStringList({"A"}));
}

void MainFormTest::leavingABoxWithTextShowsTheMessage_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");
    QTest::newRow("letters in front sprocket") << "txtFrontSprocket"
                                               << "abc" << true;
    QTest::newRow("emptied rear sprocket") << "txtRearSproket"
                                           << "" << true;
    QTest::newRow("emptied circumference") << "txtCircumferance"
                                           << "" << true;
    QTest::newRow("decimal circumference") << "txtCircumferance"
                                           << " 78.5 " << false;
    QTest::newRow("exponent") << "txtFrontSprocket"
                              << "1e1" << false;
    QTest::newRow("negative") << "txtRearSproket"
                              << "-4" << false;
}

void MainFormTest::leavingABoxWithTextShowsTheMessage() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    Window w(kGears);
    QApplication::setActiveWindow(w.form.get());
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    QLineEdit* left = w.Box(box.toLatin1().constData());
    left->setFocus();
    Window::TypeInto(left, text);
    QLineEdit* elsewhere =
        w.Box(box == "txtCircumferance" ? "txtFrontSprocket" : "txtCircumferance");
    QTest::mouseClick(elsewhere, Qt::LeftButton);
    QCoreApplication::processEvents();  // the check runs once the focus has moved
    if (refused) {
        QCOMPARE(w.dialogs.messages.size(), size_t{1});
        QCOMPARE(w.dialogs.messages[0].text, "Only Numeric Values Are Allowed");
        QCOMPARE(w.dialogs.messages[0].title, "Gearsheet");
        QVERIFY(w.dialogs.messages[0].icon == MessageIcon::None);
        QCOMPARE(QApplication::focusWidget(), left);
    } else {
        QCOMPARE(w.dialogs.messages.size(), size_t{0});
        QCOMPARE(QApplication::focusWidget(), elsewhere);
    }
    QCOMPARE(left->text(), text);
    QCOMPARE(w.dialogs.reports.size(), size_t{0});
}

void MainFormTest::windowPositionRoundTrip() {
    Window w(kGears);
    QCOMPARE(w.form->pos(), QPoint(w.Px(500), w.Px(500)));
    w.form->move(120, 90);
    QVERIFY(w.form->close());
    const int dpiX = w.form->logicalDpiX(), dpiY = w.form->logicalDpiY();
    const auto stored = [&](const char* key) {
        return std::stod(platform::profile::ReadValue(w.settings, "WINDOW_POS", key).value());
    };
    QCOMPARE(stored("Top"), double(gearsheet::PixelsToTwips(90, dpiY)));
    QCOMPARE(stored("Left"), double(gearsheet::PixelsToTwips(120, dpiX)));
    if (dpiX == 96 && dpiY == 96) {
        QCOMPARE(*platform::profile::ReadValue(w.settings, "WINDOW_POS", "Top"), "1350");
        QCOMPARE(*platform::profile::ReadValue(w.settings, "WINDOW_POS", "Left"), "1800");
    }

    w.Start();
    QCOMPARE(w.form->pos(), QPoint(120, 90));
    QCOMPARE(w.dialogs.reports.size(), size_t{0});
}

void MainFormTest::missingLibraryIsReportedAndCloseStillWorks() {
    Window w(kGears + "[TYRES]\nA=70\n", "/nonexistent-gearsheet-folder/libqfstore.so");
    QCOMPARE(w.dialogs.reports.size(), size_t{1});
    QCOMPARE(w.dialogs.reports[0].sourceName, "MainForm.Form_Load");
    QCOMPARE(w.dialogs.reports[0].number, 429);
    QCOMPARE(w.dialogs.reports[0].description, "Can't create object");
    QCOMPARE(w.TyreNames(), QStringList());

    QVERIFY(w.form->close());
    QCOMPARE(w.dialogs.reports.size(), size_t{2});
    QCOMPARE(w.dialogs.reports[1].sourceName, "MainForm.Form_QueryUnload");
    QCOMPARE(w.dialogs.reports[1].number, 91);
    QVERIFY(!w.form->isVisible());
}

void MainFormTest::badWindowPositionStopsStartUp() {
    Window w("[WINDOW_POS]\nTop=high\nLeft=100\n" + kGears + "[TYRES]\nA=70\n");
    QCOMPARE(w.dialogs.reports.size(), size_t{1});
    QCOMPARE(w.dialogs.reports[0].sourceName, "MainForm.Form_Load");
    QCOMPARE(w.dialogs.reports[0].number, 13);
    QCOMPARE(w.Find<QLabel>("lblInitalReduction")->text(), "");
    QCOMPARE(w.TyreNames(), QStringList());
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
