// The main window: start-up and shut-down, the tab strip and the speed table's recalculation.
#pragma once

#include <QWidget>
#include <string>

#include "gearing/gear_data.h"
#include "pages/speed_unit_choice.h"
#include "window/form_context.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

class QTabWidget;

namespace gearsheet {

class CircuitPage;
class DetailsPage;
class PlannerPage;
class SessionLogPage;
class SpeedPage;

// Where the window finds what it needs; ForRunningProgram() gives the program's own places, tests
// point them at temporary folders.
struct MainFormOptions {
    std::string settingsPath;          // the settings file
    std::string libraryPath;           // the Qfstore component to load
    QString programName;               // the executable's name without extension
    std::string logFolder;             // the folder of error.log, ending with "/"
    std::string settingsProblem = {};  // shown at start-up when the settings file is not usable

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

    // The tab handler: runs once for every change of page by the user (mouse or keyboard) and for
    // a click on the tab in front, once the chosen page is in front.
    void vsIndexTab1_Click();

    const GearData& Gears() const { return gears_; }
    ErrorReporter& Errors() { return errors_; }

    void setVisible(bool visible) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The keys that change pages.
    void ConnectPageKeys();
    // The innermost tab strip holding `focus`; the page strip when none does.
    QTabWidget* TabsAround(QWidget* focus) const;
    // Runs the tab handler once the current change of page is complete; several notices of one
    // change run it once.
    void PageChosen();
    // Brings page `index` in front as the program's own doing: the tab handler does not run.
    void ShowPage(int index);
    // An input box refused its text: its page comes back in front, and the pending tab handler
    // is dropped.
    void InputRefused(QWidget* box);
    // Moves the window to the default position when its title bar would be on no screen.
    void KeepTitleBarOnScreen();
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
    SetupModel setup_;

    QTabWidget* vsIndexTab1_;
    DetailsPage* details_;
    SpeedPage* speed_;
    CircuitPage* circuits_;
    PlannerPage* planner_;
    SessionLogPage* sessions_;
    bool pageChosen_ = false;   // a run of the tab handler is pending
    bool showingPage_ = false;  // the program itself changes the page
    bool shownOnce_ = false;    // the window has been shown
};

}  // namespace gearsheet
