// The main window: start-up and shut-down, the tab strip and the speed table's recalculation.
#pragma once

#include <QWidget>
#include <string>

#include "form_context.h"
#include "gearing/gear_data.h"
#include "settings_store.h"
#include "speed_unit_choice.h"

class QTabWidget;

namespace gearsheet {

class CircuitPage;
class DetailsPage;
class PlannerPage;
class SpeedPage;

// Where the window finds what it needs; ForRunningProgram() gives the program's own places, tests
// point them at temporary folders.
struct MainFormOptions {
    std::string settingsPath;   // the settings file
    std::string libraryPath;    // the Qfstore component to load
    QString programName;        // the executable's name without extension
    std::string programFolder;  // the executable's folder, ending with "/" (for error.log)

    static MainFormOptions ForRunningProgram();
};

class MainForm : public QWidget {
    Q_OBJECT
  public:
    MainForm(Dialogs& dialogs, MainFormOptions options, QWidget* parent = nullptr);
    ~MainForm() override;

    // The start-up sequence: store, window position, gear data, lists. Runs once, before the
    // window is first shown; a failure stops it and is reported under ".Form_Load".
    void Form_Load();

    // The handler of a click on any tab; the clicked tab is already the current one.
    void vsIndexTab1_Click();

    const GearData& Gears() const { return gears_; }
    ErrorReporter& Errors() { return errors_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Saves the window position; never refuses the close.
    void Form_QueryUnload();
    // Checks for zero inputs on the "Speed Calculation" tab, then fills the speed table.
    void RereshGrid(double frontSprocket, double rearSprocket, double circumference);

    Dialogs& dialogs_;
    MainFormOptions options_;
    SettingsStore store_;
    ErrorReporter errors_;
    FormContext context_;
    GearData gears_;
    SpeedUnitChoice unit_{store_};

    QTabWidget* vsIndexTab1_;
    DetailsPage* details_;
    SpeedPage* speed_;
    CircuitPage* circuits_;
    PlannerPage* planner_;
};

}  // namespace gearsheet
