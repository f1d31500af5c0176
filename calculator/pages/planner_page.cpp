#include "pages/planner_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "chart_module/chart_loader.h"
#include "gearing/chain.h"
#include "gearing/planner.h"
#include "pages/numeric_boxes.h"
#include "pages/planner_table.h"
#include "pages/speed_limits.h"
#include "pages/speed_unit_choice.h"
#include "platform/module.h"
#include "settings/planner_settings.h"
#include "ui/dialogs.h"
#include "ui/locale_numbers.h"
#include "ui/number_box.h"
#include "ui/page_layout.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

constexpr int kDefaultSpeedMph = 100;
constexpr int kDefaultSpeedKmh = 160;
// The proposed sprockets until the rider's own are numbers of teeth.
constexpr int kFallbackFront = 16;
constexpr int kFallbackRear = 45;
// What the number boxes take beside the speeds: the road speed's step, chain links.
constexpr int kSpeedStep = 5;
constexpr int kFewestLinks = 10;
constexpr int kMostLinks = 400;

QLineEdit* ReadOnlyBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(TwipsWide(parent, 975));
    // The page's own background, so that the box does not look as if it took typing.
    QPalette shown = box->palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    box->setPalette(shown);
    return box;
}

QLabel* ValueLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// One row of a group: caption, input and, when given, its unit.
void AddRow(QGridLayout* grid, int row, const QString& caption, QWidget* input,
            const QString& unit = {}) {
    QWidget* parent = grid->parentWidget();
    grid->addWidget(PlainLabel(caption, parent), row, 0);
    grid->addWidget(input, row, 1, Qt::AlignLeft);
    if (!unit.isEmpty())
        grid->addWidget(PlainLabel(unit, parent), row, 2);
}

}  // namespace

struct PlannerPage::Widgets {
    QRadioButton* optMph;
    QRadioButton* optKmh;
    QLineEdit* txtCurrentFront;
    QLineEdit* txtCurrentRear;
    QLineEdit* txtCurrentCircumference;
    NumberBox* spnProposedFront;
    NumberBox* spnProposedRear;
    QComboBox* cboProposedTyre;
    QLineEdit* txtProposedCircumference;
    QPushButton* cmdCopyToDetails;
    NumberBox* spnShiftSpeed;
    NumberBox* spnSpeedOfInterest;
    QLabel* lblSpeedUnit;
    QComboBox* cboChainSize;
    NumberBox* spnChainLinks;
    QLabel* lblCentreDistance;
    QLabel* lblLinksNeeded;
    QLabel* lblAxleMove;
    QLabel* lblPlannerProblem;
    PlannerTable* grdPlanner;
    NumericBoxes* numbers;        // says why a number box does not take what was typed
    SpeedChart* chart = nullptr;  // none when the chart module cannot be loaded
    // The stored tyre, chosen once the list is filled.
    QString storedTyre;
    // The speed of interest in each unit, as last set.
    int speedMph = kDefaultSpeedMph;
    int speedKmh = kDefaultSpeedKmh;
};

PlannerPage::PlannerPage(FormContext& context, SetupModel& setup, const GearData& gears,
                         SpeedUnitChoice& unit, QWidget* parent)
    : QWidget(parent), context_(context), setup_(setup), gears_(gears), unit_(unit) {
    setObjectName(QStringLiteral("PlannerPage"));
}

PlannerPage::~PlannerPage() = default;

void PlannerPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!ui_)
        Build();
    RefreshTyres();
    Refresh();
}

void PlannerPage::Build() {
    MakeWidgets();
    LoadInputs();
    Connect();
}

void PlannerPage::MakeWidgets() {
    ui_ = std::make_unique<Widgets>();
    Widgets& w = *ui_;
    w.numbers = new NumericBoxes(context_, this);
    QGroupBox* current = MakeCurrentGroup();
    QGroupBox* proposed = MakeProposedGroup();
    QGroupBox* compare = MakeCompareGroup();
    QGroupBox* chain = MakeChainGroup();
    w.lblPlannerProblem = ValueLabel("lblPlannerProblem", this);
    w.lblPlannerProblem->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold"));
    w.lblPlannerProblem->hide();
    w.grdPlanner = new PlannerTable(this);
    QString chartProblem;
    w.chart =
        CreateSpeedChart(QString::fromStdString(platform::ExecutableFolder()), this, chartProblem);
    QWidget* chartArea =
        w.chart ? w.chart->Widget() : PlainLabel(QStringLiteral("No chart: ") + chartProblem, this);
    LayOut({current, proposed, compare, chain}, chartArea);
}

QGroupBox* PlannerPage::MakeCurrentGroup() {
    // The rider's setup, not editable here.
    Widgets& w = *ui_;
    w.txtCurrentFront = ReadOnlyBox("txtCurrentFront", this);
    w.txtCurrentRear = ReadOnlyBox("txtCurrentRear", this);
    w.txtCurrentCircumference = ReadOnlyBox("txtCurrentCircumference", this);
    auto* group = new QGroupBox(QStringLiteral("Current setup (Details)"), this);
    auto* grid = new QGridLayout(group);
    AddRow(grid, 0, QStringLiteral("Front:"), w.txtCurrentFront, QStringLiteral("teeth"));
    AddRow(grid, 1, QStringLiteral("Rear:"), w.txtCurrentRear, QStringLiteral("teeth"));
    AddRow(grid, 2, QStringLiteral("Circumference:"), w.txtCurrentCircumference,
           QStringLiteral("\""));
    grid->setRowStretch(3, 1);
    return group;
}

QGroupBox* PlannerPage::MakeProposedGroup() {
    Widgets& w = *ui_;
    w.spnProposedFront = w.numbers->Number("spnProposedFront", "Proposed front", {1, kMaxTeeth});
    w.spnProposedRear = w.numbers->Number("spnProposedRear", "Proposed rear", {1, kMaxTeeth});
    w.cboProposedTyre = new QComboBox(this);
    w.cboProposedTyre->setObjectName(QStringLiteral("cboProposedTyre"));
    w.cboProposedTyre->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    w.cboProposedTyre->setMinimumContentsLength(14);
    w.txtProposedCircumference = InputBox("txtProposedCircumference", QString(), 975, this);
    w.cmdCopyToDetails = new QPushButton(QStringLiteral("Copy to Details"), this);
    w.cmdCopyToDetails->setObjectName(QStringLiteral("cmdCopyToDetails"));
    auto* group = new QGroupBox(QStringLiteral("Proposed setup"), this);
    auto* grid = new QGridLayout(group);
    AddRow(grid, 0, QStringLiteral("Front:"), w.spnProposedFront, QStringLiteral("teeth"));
    AddRow(grid, 1, QStringLiteral("Rear:"), w.spnProposedRear, QStringLiteral("teeth"));
    grid->addWidget(PlainLabel(QStringLiteral("Tyre:"), this), 2, 0);
    grid->addWidget(w.cboProposedTyre, 2, 1, 1, 2);
    AddRow(grid, 3, QStringLiteral("Circumference:"), w.txtProposedCircumference,
           QStringLiteral("\""));
    grid->addWidget(w.cmdCopyToDetails, 4, 0, 1, 3, Qt::AlignLeft);
    return group;
}

QGroupBox* PlannerPage::MakeCompareGroup() {
    // What the setups are compared at, and the unit of every road speed.
    Widgets& w = *ui_;
    w.spnShiftSpeed = w.numbers->Number("spnShiftSpeed", "Shift speed",
                                        {kLowestShiftRpm, kHighestRpm, kShiftRpmStep});
    w.spnSpeedOfInterest =
        w.numbers->Number("spnSpeedOfInterest", "Road speed", {1, kHighestRoadSpeed, kSpeedStep});
    w.lblSpeedUnit = ValueLabel("lblSpeedUnit", this);
    w.optMph = new QRadioButton(QStringLiteral("mph"), this);
    w.optMph->setObjectName(QStringLiteral("optMph"));
    w.optKmh = new QRadioButton(QStringLiteral("km/h"), this);
    w.optKmh->setObjectName(QStringLiteral("optKmh"));
    auto* group = new QGroupBox(QStringLiteral("Compare at"), this);
    auto* grid = new QGridLayout(group);
    AddRow(grid, 0, QStringLiteral("Shift speed:"), w.spnShiftSpeed, QStringLiteral("rpm"));
    grid->addWidget(PlainLabel(QStringLiteral("Road speed:"), this), 1, 0);
    grid->addWidget(w.spnSpeedOfInterest, 1, 1);
    grid->addWidget(w.lblSpeedUnit, 1, 2);
    grid->addWidget(PlainLabel(QStringLiteral("Speeds in:"), this), 2, 0);
    auto* units = new QHBoxLayout;
    units->addWidget(w.optMph);
    units->addWidget(w.optKmh);
    grid->addLayout(units, 2, 1, 1, 2);
    grid->setRowStretch(3, 1);
    return group;
}

QGroupBox* PlannerPage::MakeChainGroup() {
    Widgets& w = *ui_;
    w.cboChainSize = new QComboBox(this);
    w.cboChainSize->setObjectName(QStringLiteral("cboChainSize"));
    for (int size : chain::kSizes) w.cboChainSize->addItem(QString::number(size), size);
    w.spnChainLinks =
        w.numbers->Number("spnChainLinks", "Chain links", {kFewestLinks, kMostLinks, 2});
    w.lblCentreDistance = ValueLabel("lblCentreDistance", this);
    w.lblLinksNeeded = ValueLabel("lblLinksNeeded", this);
    w.lblAxleMove = ValueLabel("lblAxleMove", this);
    auto* group = new QGroupBox(QStringLiteral("Chain"), this);
    auto* grid = new QGridLayout(group);
    AddRow(grid, 0, QStringLiteral("Size:"), w.cboChainSize);
    AddRow(grid, 1, QStringLiteral("Links:"), w.spnChainLinks);
    AddRow(grid, 2, QStringLiteral("Sprocket centres:"), w.lblCentreDistance);
    AddRow(grid, 3, QStringLiteral("Links for proposed:"), w.lblLinksNeeded);
    AddRow(grid, 4, QStringLiteral("Axle move, this chain:"), w.lblAxleMove);
    return group;
}

void PlannerPage::LayOut(std::initializer_list<QGroupBox*> groups, QWidget* chartArea) {
    auto* inputs = new QHBoxLayout;
    for (QGroupBox* group : groups) inputs->addWidget(group);
    inputs->addStretch(1);
    auto* results = new QHBoxLayout;
    results->addWidget(ui_->grdPlanner, 0, Qt::AlignTop);
    results->addWidget(chartArea, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(PageHeading("Label5", QStringLiteral("Gear Planner"), this));
    page->addWidget(SeparatorLine(this));
    page->addLayout(inputs);
    page->addWidget(ui_->lblPlannerProblem);
    page->addLayout(results, 1);
}

void PlannerPage::LoadInputs() {
    Widgets& w = *ui_;
    Handled(context_.errors, ".PlannerPage_Load", [&] {
        const settings::PlannerSettings stored = settings::LoadPlanner(context_.store.Get());
        w.spnProposedFront->setValue(
            stored.front.value_or(setup_.Front().value_or(kFallbackFront)));
        w.spnProposedRear->setValue(stored.rear.value_or(setup_.Rear().value_or(kFallbackRear)));
        w.storedTyre = stored.tyre ? QString::fromStdString(*stored.tyre) : setup_.Tyre();
        w.txtProposedCircumference->setText(stored.circumference
                                                ? QString::fromStdString(*stored.circumference)
                                                : setup_.CircumferenceText());
        w.spnShiftSpeed->setValue(stored.shiftSpeed.value_or(kDefaultShiftSpeed));
        w.speedMph = stored.speedOfInterestMph.value_or(kDefaultSpeedMph);
        w.speedKmh = stored.speedOfInterestKmh.value_or(kDefaultSpeedKmh);
        const int size = stored.chainSize.value_or(chain::kDefaultSize);
        w.cboChainSize->setCurrentIndex(std::max(0, w.cboChainSize->findData(size)));
        w.spnChainLinks->setValue(stored.chainLinks.value_or(chain::kDefaultLinks));
    });
    const bool kmh = unit_.Get() == SpeedUnit::Kmh;
    (kmh ? w.optKmh : w.optMph)->setChecked(true);
    w.spnSpeedOfInterest->setValue(kmh ? w.speedKmh : w.speedMph);
}

void PlannerPage::Connect() {
    Widgets& w = *ui_;
    using Field = std::optional<int> settings::PlannerSettings::*;
    const auto saveNumber = [this](NumberBox* box, Field field, const char* procedure) {
        connect(box, &QSpinBox::valueChanged, this, [this, field, procedure](int value) {
            settings::PlannerSettings changed;
            changed.*field = value;
            Save(changed, procedure);
            Refresh();
        });
    };
    using settings::PlannerSettings;
    saveNumber(w.spnProposedFront, &PlannerSettings::front, ".spnProposedFront_Change");
    saveNumber(w.spnProposedRear, &PlannerSettings::rear, ".spnProposedRear_Change");
    saveNumber(w.spnShiftSpeed, &PlannerSettings::shiftSpeed, ".spnShiftSpeed_Change");
    saveNumber(w.spnChainLinks, &PlannerSettings::chainLinks, ".spnChainLinks_Change");
    connect(w.spnSpeedOfInterest, &QSpinBox::valueChanged, this, [this](int value) {
        const bool inKmh = unit_.Get() == SpeedUnit::Kmh;
        (inKmh ? ui_->speedKmh : ui_->speedMph) = value;
        PlannerSettings changed;
        (inKmh ? changed.speedOfInterestKmh : changed.speedOfInterestMph) = value;
        Save(changed, ".spnSpeedOfInterest_Change");
        Refresh();
    });
    connect(w.cboChainSize, &QComboBox::activated, this, [this] {
        PlannerSettings changed;
        changed.chainSize = ui_->cboChainSize->currentData().toInt();
        Save(changed, ".cboChainSize_Click");
        Refresh();
    });
    connect(w.cboProposedTyre, &QComboBox::activated, this, [this] { cboProposedTyre_Click(); });
    // The box may be too narrow for a tyre's name; the whole name is its tooltip.
    connect(w.cboProposedTyre, &QComboBox::currentIndexChanged, this,
            [this] { ui_->cboProposedTyre->setToolTip(ui_->cboProposedTyre->currentText()); });
    connect(w.txtProposedCircumference, &QLineEdit::textEdited, this, [this](const QString& text) {
        // A typed circumference is no tyre of the list.
        ui_->cboProposedTyre->setCurrentIndex(-1);
        Save({.tyre = std::string(), .circumference = text.toStdString()},
             ".txtProposedCircumference_Change");
        Refresh();
    });
    connect(w.optKmh, &QRadioButton::toggled, this, [this] { optSpeedUnit_Click(); });
    connect(w.cmdCopyToDetails, &QPushButton::clicked, this, [this] { cmdCopyToDetails_Click(); });
    connect(&setup_, &SetupModel::setupChanged, this, [this] {
        if (isVisible()) {
            RefreshTyres();
            Refresh();
        }
    });
}

void PlannerPage::RefreshTyres() {
    QComboBox* list = ui_->cboProposedTyre;
    const QString chosen =
        list->currentIndex() >= 0 ? list->currentText() : std::exchange(ui_->storedTyre, {});
    list->clear();
    for (const ListedTyre& tyre : setup_.Tyres()) {
        list->addItem(tyre.name, tyre.circumference);
        list->setItemData(list->count() - 1, tyre.name, Qt::ToolTipRole);
    }
    list->setCurrentIndex(chosen.isEmpty() ? -1 : list->findText(chosen, Qt::MatchExactly));
}

void PlannerPage::Save(const settings::PlannerSettings& changed, const char* procedure) {
    Handled(context_.errors, procedure,
            [&] { settings::SavePlanner(context_.store.Get(), changed); });
}

void PlannerPage::optSpeedUnit_Click() {
    Widgets& w = *ui_;
    const SpeedUnit unit = w.optKmh->isChecked() ? SpeedUnit::Kmh : SpeedUnit::Mph;
    Handled(context_.errors, ".optSpeedUnit_Click", [&] { unit_.Set(unit); });
    {
        const QSignalBlocker quiet(w.spnSpeedOfInterest);
        w.spnSpeedOfInterest->setValue(unit == SpeedUnit::Kmh ? w.speedKmh : w.speedMph);
    }
    Refresh();
}

void PlannerPage::cboProposedTyre_Click() {
    QComboBox* list = ui_->cboProposedTyre;
    if (list->currentIndex() < 0)
        return;
    ui_->txtProposedCircumference->setText(list->currentData().toString());
    Save({.tyre = list->currentText().toStdString(),
          .circumference = ui_->txtProposedCircumference->text().toStdString()},
         ".cboProposedTyre_Click");
    Refresh();
}

void PlannerPage::cmdCopyToDetails_Click() {
    const Widgets& w = *ui_;
    const auto refused = setup_.Adopt(
        w.spnProposedFront->value(), w.spnProposedRear->value(), w.txtProposedCircumference->text(),
        w.cboProposedTyre->currentIndex() >= 0 ? w.cboProposedTyre->currentText() : QString());
    if (refused)
        context_.dialogs.Message(window(), *refused, kProgramTitle, MessageIcon::Exclamation);
    Refresh();
}

Setup PlannerPage::ShowCurrent() {
    Widgets& w = *ui_;
    const auto front = setup_.Front();
    const auto rear = setup_.Rear();
    const auto circumference = setup_.Circumference();
    w.txtCurrentFront->setText(front ? LocaleNumberText(*front) : setup_.FrontText());
    w.txtCurrentRear->setText(rear ? LocaleNumberText(*rear) : setup_.RearText());
    w.txtCurrentCircumference->setText(circumference ? LocaleNumberText(*circumference)
                                                     : setup_.CircumferenceText());
    return {double(front.value_or(0)), double(rear.value_or(0)), circumference.value_or(0)};
}

QString PlannerPage::Problem(const Setup& current, const Setup& proposed) const {
    if (!Plannable(gears_, Setup{1, 1, 1}))
        return QStringLiteral("No gear data: the settings file needs its GEARS and REDUCTIONS.");
    if (!Plannable(gears_, current))
        return QStringLiteral(
                   "The Details page's sprockets must be whole numbers from 1 to %1 teeth and its "
                   "circumference a number above zero.")
            .arg(kMaxTeeth);
    if (!Plannable(gears_, proposed))
        return QStringLiteral("The proposed circumference must be a number above zero.");
    return {};
}

void PlannerPage::Refresh() {
    Widgets& w = *ui_;
    // Reported here: a refresh runs from event handlers that have no caller to pass a failure to.
    Handled(context_.errors, ".PlannerPage_Refresh", [&] {
        const SpeedUnit unit = unit_.Get();
        w.lblSpeedUnit->setText(QString::fromLatin1(UnitName(unit)));
        const Setup current = ShowCurrent();
        const Setup proposed{static_cast<double>(w.spnProposedFront->value()),
                             static_cast<double>(w.spnProposedRear->value()),
                             CircumferenceFromText(w.txtProposedCircumference->text()).value_or(0)};
        const PlannerTargets targets{static_cast<double>(w.spnShiftSpeed->value()),
                                     static_cast<double>(w.spnSpeedOfInterest->value()), unit};
        const QString problem = Problem(current, proposed);
        w.lblPlannerProblem->setText(problem);
        w.lblPlannerProblem->setVisible(!problem.isEmpty());
        if (!problem.isEmpty()) {
            w.grdPlanner->Clear(targets);
            for (QLabel* l : {w.lblCentreDistance, w.lblLinksNeeded, w.lblAxleMove}) l->clear();
            if (w.chart)
                w.chart->Clear(problem);
            return;
        }
        const SetupFigures now = Figures(gears_, current, targets);
        const SetupFigures next = Figures(gears_, proposed, targets);
        w.grdPlanner->Show(now, next, targets);
        ShowChain(current, proposed);
        if (w.chart)
            w.chart->Show(now, next, targets);
    });
}

void PlannerPage::ShowChain(const Setup& current, const Setup& proposed) {
    Widgets& w = *ui_;
    const auto change = chain::ChangeSprockets(
        w.cboChainSize->currentData().toInt(), w.spnChainLinks->value(),
        static_cast<int>(current.frontSprocket), static_cast<int>(current.rearSprocket),
        static_cast<int>(proposed.frontSprocket), static_cast<int>(proposed.rearSprocket));
    w.lblLinksNeeded->clear();
    w.lblAxleMove->clear();
    if (!change) {
        w.lblCentreDistance->setText(QStringLiteral("too short for the current sprockets"));
        return;
    }
    w.lblCentreDistance->setText(RoundedText(change->currentCentreMm, 1) + QStringLiteral(" mm"));
    w.lblLinksNeeded->setText(LinksText(change->linksNeeded, change->evenLinks));
    if (!change->axleMoveMm) {
        w.lblAxleMove->setText(QStringLiteral("too short for the proposed sprockets"));
        return;
    }
    const QString move = SignedText(RoundedText(*change->axleMoveMm, 1));
    w.lblAxleMove->setText(move + QStringLiteral(" mm") +
                           (move.startsWith(QLatin1Char('+'))   ? QStringLiteral(" (rearwards)")
                            : move.startsWith(QLatin1Char('-')) ? QStringLiteral(" (forwards)")
                                                                : QString()));
}

}  // namespace gearsheet
