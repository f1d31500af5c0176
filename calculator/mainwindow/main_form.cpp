#include "main_form.h"

#include <QCloseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "artwork.h"
#include "circuit_page.h"
#include "details_page.h"
#include "dialogs.h"
#include "gearing/settings_file.h"
#include "gearing/speed_table.h"
#include "gearing/stuff.h"
#include "locale_numbers.h"
#include "module.h"
#include "planner_page.h"
#include "speed_page.h"
#include "twips.h"

namespace gearsheet {
namespace {

const QString kZeroWarning = QStringLiteral(
    "One Of The Values For The Speed Calculation Is Zero So The Calculation Can't Be Done");
constexpr int kSpeedTab = 1;

QString ProgramName(const std::string& executablePath) {
    std::string name = executablePath.substr(executablePath.rfind('/') + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    return QString::fromStdString(name);
}

}  // namespace

MainFormOptions MainFormOptions::ForRunningProgram() {
    const std::string executable = platform::ExecutablePath();
    const std::string folder = platform::ExecutableFolder();
    return {settings::SettingsFilePath(executable), folder + "libqfstore.so",
            ProgramName(executable), folder};
}

MainForm::MainForm(Dialogs& dialogs, MainFormOptions options, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      options_(std::move(options)),
      errors_(dialogs, options_.programName, options_.programFolder, this),
      context_{store_, dialogs, errors_} {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Arvel Gearsheet"));
    setWindowIcon(AppIcon());

    vsIndexTab1_ = new QTabWidget(this);
    vsIndexTab1_->setObjectName(QStringLiteral("vsIndexTab1"));
    details_ = new DetailsPage(context_);
    speed_ = new SpeedPage;
    circuits_ = new CircuitPage(context_);
    circuits_->SetSprocketTargets(details_->FrontSprocketBox(), details_->RearSprocketBox());
    planner_ = new PlannerPage(context_, *details_, gears_, unit_);
    const QStringList captions =
        QStringLiteral("Details|Speed Calculation|Circuit Database|Gear Planner")
            .split(QLatin1Char('|'));
    vsIndexTab1_->addTab(details_, captions[0]);
    vsIndexTab1_->addTab(speed_, captions[1]);
    vsIndexTab1_->addTab(circuits_, captions[2]);
    vsIndexTab1_->addTab(planner_, captions[3]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(vsIndexTab1_);

    // The tab bar makes the clicked tab current only after announcing the click; the handler
    // runs once that is done, so that it sees the clicked tab as current and may change it.
    connect(vsIndexTab1_->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0)
            return;  // a click beside the tabs
        QMetaObject::invokeMethod(
            this,
            [this, index] {
                vsIndexTab1_->setCurrentIndex(index);
                vsIndexTab1_Click();
            },
            Qt::QueuedConnection);
    });
}

MainForm::~MainForm() = default;

void MainForm::Form_Load() {
    Handled(errors_, ".Form_Load", [&] {
        store_.Create(options_.libraryPath, dialogs_);
        qfstore::QfINIFileHandler& store = store_.Get();
        store.Path(options_.settingsPath);
        store.Section(settings::kWindowPosSection);
        const qfstore::Variant byDefault(settings::kDefaultWindowPos);
        const float top = ToSingle(
            store.GetValue(settings::kTopKey, settings::kArrayDelimiter, true, true, byDefault));
        move(x(), TwipsToPixels(top, logicalDpiY()));
        const float left = ToSingle(
            store.GetValue(settings::kLeftKey, settings::kArrayDelimiter, true, true, byDefault));
        move(TwipsToPixels(left, logicalDpiX()), y());
        Stuff::InitializeGears(store, gears_);
        Stuff::InitalizeReductions(store, gears_);
        details_->SetInitialReductionText(NumberText(gears_.initialReduction));
        details_->RefreshTyreCombo();
        circuits_->RefreshCircuitCombo();
        circuits_->cboCircuits_Click();
    });
}

void MainForm::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void MainForm::Form_QueryUnload() {
    Handled(errors_, ".Form_QueryUnload", [&] {
        qfstore::QfINIFileHandler& store = store_.Get();
        store.Section(settings::kWindowPosSection);
        store.SetValue(settings::kTopKey, qfstore::Variant(PixelsToTwips(y(), logicalDpiY())),
                       settings::kArrayDelimiter);
        store.SetValue(settings::kLeftKey, qfstore::Variant(PixelsToTwips(x(), logicalDpiX())),
                       settings::kArrayDelimiter);
    });
}

void MainForm::vsIndexTab1_Click() {
    Handled(errors_, ".vsIndexTab1_Click", [&] {
        const double circumference = TextToDouble(details_->CircumferenceText());
        const double rear = TextToInteger(details_->RearSprocketText());
        const double front = TextToInteger(details_->FrontSprocketText());
        RereshGrid(front, rear, circumference);
    });
}

void MainForm::RereshGrid(double frontSprocket, double rearSprocket, double circumference) {
    qfstore::PassOn("MainForm.RereshGrid", kComponentName, [&] {
        const bool zero = frontSprocket == 0 || rearSprocket == 0 || circumference == 0 ||
                          gears_.initialReduction == 0;
        if (vsIndexTab1_->currentIndex() == kSpeedTab && zero) {
            dialogs_.Message(this, kZeroWarning, kProgramTitle, MessageIcon::Exclamation);
            vsIndexTab1_->setCurrentIndex(0);
            return;
        }
        bool shaded = false;  // every second row, starting with row 2
        const SpeedUnit unit = unit_.Get();
        speed_->SetUnitHeading(QString::fromLatin1(UnitName(unit)));
        SpeedTable(
            gears_, frontSprocket, rearSprocket, circumference,
            [&](int row, int gear, double speed) {
                speed_->PlaceSpeed(row, gear, NumberText(speed), shaded);
                if (gear == kGearCount)
                    shaded = !shaded;
            },
            unit);
        speed_->ResetCurrentCell();
    });
}

}  // namespace gearsheet
