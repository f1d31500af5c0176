#include "pages/circuit_gearing_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "gearing/chain.h"
#include "gearing/planner.h"
#include "gearing/sprocket_finder.h"
#include "pages/numeric_boxes.h"
#include "pages/speed_limits.h"
#include "pages/speed_unit_choice.h"
#include "settings/finder_settings.h"
#include "settings/planner_settings.h"
#include "ui/locale_numbers.h"
#include "ui/number_box.h"
#include "ui/page_layout.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

using settings::CircuitGearing;

// The title while no stored circuit is shown.
const QString kUntitled = QStringLiteral("Gearing for this circuit");

constexpr int kShownPairs = 10;
// Columns of the pairs table.
enum PairColumn { kPair, kFinalDrive, kChange, kEndRpm, kLinks, kAxleMove, kPairColumns };
// The step of the engine speed seen at the end of the straight.
constexpr int kRpmStep = 100;
// The most an axle adjuster's slot lets the axle go either way, in mm.
constexpr int kLongestAxleTravel = 100;

// Why the ranges hold no pair because one runs backwards; empty when both run upwards.
QString ReversedRange(const SprocketRanges& ranges) {
    const auto says = [](const char* which, int low, int high) {
        return QStringLiteral("The %1 run from %2 to %3: give the smaller number first.")
            .arg(QString::fromLatin1(which))
            .arg(low)
            .arg(high);
    };
    if (ranges.frontLow > ranges.frontHigh)
        return says("fronts", ranges.frontLow, ranges.frontHigh);
    if (ranges.rearLow > ranges.rearHigh)
        return says("rears", ranges.rearLow, ranges.rearHigh);
    return {};
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch(1);
    return row;
}

// "180/55ZR17, 77.9 in", or "77.9 in" for a typed circumference.
QString TyreText(const std::string& tyre, double circumference) {
    const QString inches = LocaleNumberText(circumference) + QStringLiteral(" in");
    return tyre.empty() ? inches : QString::fromStdString(tyre) + QStringLiteral(", ") + inches;
}

}  // namespace

struct CircuitGearingPanel::Widgets {
    QRadioButton* optBySpeed;
    QSpinBox* spnStraightSpeed;
    QLabel* lblStraightUnit;
    QComboBox* cboStraightGear;
    QRadioButton* optByRpm;
    QSpinBox* spnStraightRpm;
    QSpinBox* spnSeenFront;
    QSpinBox* spnSeenRear;
    QSpinBox* spnTargetRpm;
    QSpinBox* spnFrontLow;
    QSpinBox* spnFrontHigh;
    QSpinBox* spnRearLow;
    QSpinBox* spnRearHigh;
    QSpinBox* spnAxleForward;
    QSpinBox* spnAxleBack;
    QLabel* lblStraightEnd;
    QTableWidget* grdSprockets;
    QPushButton* cmdUsePair;
    QPushButton* cmdPrint;
    QPushButton* cmdExport;
    SpeedUnit shownUnit = SpeedUnit::Mph;  // of the road speed box
    // The observation as entered: its road speed and unit, and the tyre it was seen on. Shown
    // converted to shownUnit; converting never changes it.
    CircuitGearing entered;
    // The observation was made now, on the rider's tyre (or nothing was seen yet): it is stored
    // with the rider's tyre and circumference.
    bool seenNow = true;
    int chainSize = chain::kDefaultSize;
    int chainLinks = chain::kDefaultLinks;
    std::vector<SprocketChoice> choices;
    bool showing = false;  // a record is being put into the boxes
};

CircuitGearingPanel::CircuitGearingPanel(FormContext& context, const GearData& gears,
                                         SpeedUnitChoice& unit, const SetupModel& setup,
                                         QLineEdit* front, QLineEdit* rear, QWidget* parent)
    : QGroupBox(kUntitled, parent),
      context_(context),
      gears_(gears),
      unit_(unit),
      setup_(setup),
      txtFrontSp_(front),
      txtRearSp_(rear) {
    setObjectName(QStringLiteral("fraCircuitGearing"));
}

CircuitGearingPanel::~CircuitGearingPanel() = default;

void CircuitGearingPanel::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    Handled(context_.errors, ".fraCircuitGearing_Show", [&] {
        if (!ui_) {
            Build();
            Show(Wanted());
            return;
        }
        CatchUp();
        Refresh();
    });
}

void CircuitGearingPanel::CatchUp() {
    // The unit, the chain and the rider's tyre may have changed elsewhere.
    Widgets& w = *ui_;
    const settings::PlannerSettings planner = settings::LoadPlanner(context_.store.Get());
    w.chainSize = planner.chainSize.value_or(w.chainSize);
    w.chainLinks = planner.chainLinks.value_or(w.chainLinks);
    if (unit_.Get() != w.shownUnit)
        ShowRoadSpeed();
}

void CircuitGearingPanel::Build() {
    MakeWidgets();
    LayOut();
    LoadInputs();
    Connect();
}

void CircuitGearingPanel::MakeWidgets() {
    ui_ = std::make_unique<Widgets>();
    Widgets& w = *ui_;
    w.optBySpeed = new QRadioButton(QStringLiteral("Road speed:"), this);
    w.optBySpeed->setObjectName(QStringLiteral("optBySpeed"));
    auto* numbers = new NumericBoxes(context_, this);
    const auto notGiven = NumberBox::Blank::kNotGiven;
    w.spnStraightSpeed =
        numbers->Number("spnStraightSpeed", "Road speed", {1, kHighestRoadSpeed}, notGiven);
    w.lblStraightUnit = PlainLabel(QString(), this);
    w.lblStraightUnit->setObjectName(QStringLiteral("lblStraightUnit"));
    w.cboStraightGear = new QComboBox(this);
    w.cboStraightGear->setObjectName(QStringLiteral("cboStraightGear"));
    for (const char* gear : kGearNames) w.cboStraightGear->addItem(QString::fromLatin1(gear));
    w.optByRpm = new QRadioButton(QStringLiteral("Engine speed:"), this);
    w.optByRpm->setObjectName(QStringLiteral("optByRpm"));
    w.spnStraightRpm =
        numbers->Number("spnStraightRpm", "Engine speed", {1, kHighestRpm, kRpmStep}, notGiven);
    w.spnSeenFront =
        numbers->Number("spnSeenFront", "On sprockets (front)", {1, kMaxTeeth}, notGiven);
    w.spnSeenRear = numbers->Number("spnSeenRear", "On sprockets (rear)", {1, kMaxTeeth}, notGiven);
    w.spnTargetRpm = numbers->Number("spnTargetRpm", "Shift light",
                                     {kLowestShiftRpm, kHighestRpm, kShiftRpmStep});
    w.spnFrontLow = numbers->Number("spnFrontLow", "Fronts from", {1, kMaxTeeth});
    w.spnFrontHigh = numbers->Number("spnFrontHigh", "Fronts to", {1, kMaxTeeth});
    w.spnRearLow = numbers->Number("spnRearLow", "Rears from", {1, kMaxTeeth});
    w.spnRearHigh = numbers->Number("spnRearHigh", "Rears to", {1, kMaxTeeth});
    const SprocketRanges defaults;
    w.spnFrontLow->setValue(defaults.frontLow);
    w.spnFrontHigh->setValue(defaults.frontHigh);
    w.spnRearLow->setValue(defaults.rearLow);
    w.spnRearHigh->setValue(defaults.rearHigh);
    const AxleTravel travel;
    w.spnAxleForward =
        numbers->Number("spnAxleForward", "Axle travel forwards", {0, kLongestAxleTravel});
    w.spnAxleForward->setValue(static_cast<int>(travel.forwardMm));
    w.spnAxleBack = numbers->Number("spnAxleBack", "Axle travel back", {0, kLongestAxleTravel});
    w.spnAxleBack->setValue(static_cast<int>(travel.backMm));
    w.lblStraightEnd = PlainLabel(QString(), this);
    w.lblStraightEnd->setObjectName(QStringLiteral("lblStraightEnd"));
    w.lblStraightEnd->setWordWrap(true);
    MakePairsTable();
    w.cmdUsePair = new QPushButton(QStringLiteral("Use this pair"), this);
    w.cmdUsePair->setObjectName(QStringLiteral("cmdUsePair"));
    w.cmdPrint = new QPushButton(QStringLiteral("Print…"), this);
    w.cmdPrint->setObjectName(QStringLiteral("cmdPrintPitCard"));
    w.cmdExport = new QPushButton(QStringLiteral("Export PDF…"), this);
    w.cmdExport->setObjectName(QStringLiteral("cmdExportPitCard"));
}

void CircuitGearingPanel::MakePairsTable() {
    auto* table = new QTableWidget(kShownPairs, kPairColumns, this);
    ui_->grdSprockets = table;
    table->setObjectName(QStringLiteral("grdSprockets"));
    table->setHorizontalHeaderLabels(
        QStringLiteral("Pair|Final drive|Change %|End rpm|Links|Axle move")
            .split(QLatin1Char('|')));
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Columns as wide as their texts, so that a row's figures stand together.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    const int rowHeight = table->fontMetrics().height() + 6;
    table->verticalHeader()->setMinimumSectionSize(rowHeight);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->setFixedHeight(kShownPairs * rowHeight + table->horizontalHeader()->sizeHint().height() +
                          2 * table->frameWidth());
    for (int r = 0; r < kShownPairs; ++r)
        for (int c = 0; c < kPairColumns; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    // The widest texts the columns will hold, so that the group keeps its width.
    const QStringList widest =
        QStringLiteral("18/52|2.8889|+10.99|14933|111.5 → 112|+12.9 mm").split(QLatin1Char('|'));
    for (int c = 0; c < kPairColumns; ++c) table->item(0, c)->setText(widest[c]);
    table->setMinimumWidth(table->horizontalHeader()->length() + 2 * table->frameWidth() + 4);
}

void CircuitGearingPanel::LayOut() {
    Widgets& w = *ui_;
    const auto text = [this](const char* t) { return PlainLabel(QString::fromUtf8(t), this); };
    auto* grid = new QGridLayout;
    grid->addWidget(PlainLabel(QStringLiteral("End of the longest straight:"), this), 0, 0, 1, 2);
    grid->addWidget(w.optBySpeed, 1, 0);
    grid->addLayout(Row({w.spnStraightSpeed, w.lblStraightUnit, text("in"), w.cboStraightGear}), 1,
                    1);
    grid->addWidget(w.optByRpm, 2, 0);
    grid->addLayout(Row({w.spnStraightRpm, text("rpm")}), 2, 1);
    grid->addWidget(text("On sprockets:"), 3, 0);
    grid->addLayout(Row({w.spnSeenFront, text("/"), w.spnSeenRear}), 3, 1);
    grid->addWidget(text("Shift light:"), 4, 0);
    grid->addLayout(Row({w.spnTargetRpm, text("rpm")}), 4, 1);
    grid->addWidget(text("Fronts:"), 5, 0);
    grid->addLayout(Row({w.spnFrontLow, text("to"), w.spnFrontHigh}), 5, 1);
    grid->addWidget(text("Rears:"), 6, 0);
    grid->addLayout(Row({w.spnRearLow, text("to"), w.spnRearHigh}), 6, 1);
    grid->addWidget(text("Axle travel:"), 7, 0);
    grid->addLayout(Row({w.spnAxleForward, text("mm forwards,"), w.spnAxleBack, text("mm back")}),
                    7, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(w.cmdUsePair);
    buttons->addStretch(1);
    buttons->addWidget(w.cmdPrint);
    buttons->addWidget(w.cmdExport);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(w.lblStraightEnd);
    layout->addWidget(w.grdSprockets);
    layout->addLayout(buttons);
    layout->addStretch(1);
}

void CircuitGearingPanel::LoadInputs() {
    // The rider's ranges and the planner's chain; the defaults where they cannot be read.
    Widgets& w = *ui_;
    w.shownUnit = unit_.Get();
    Handled(context_.errors, ".fraCircuitGearing_Load", [&] {
        const settings::FinderSettings ranges = settings::LoadFinder(context_.store.Get());
        const std::pair<QSpinBox*, std::optional<int>> boxes[] = {
            {w.spnFrontLow, ranges.frontLow},         {w.spnFrontHigh, ranges.frontHigh},
            {w.spnRearLow, ranges.rearLow},           {w.spnRearHigh, ranges.rearHigh},
            {w.spnAxleForward, ranges.axleForwardMm}, {w.spnAxleBack, ranges.axleBackMm}};
        for (const auto& [box, stored] : boxes) {
            const QSignalBlocker quiet(box);  // what is read is not written back
            box->setValue(stored.value_or(box->value()));
        }
        CatchUp();
    });
}

void CircuitGearingPanel::Connect() {
    Widgets& w = *ui_;
    // A change of what was seen makes it an observation made now, on the rider's tyre.
    const auto seenChanged = [this] {
        if (ui_->showing)
            return;
        ui_->seenNow = true;
        Refresh();
    };
    for (QSpinBox* box : {w.spnStraightRpm, w.spnSeenFront, w.spnSeenRear})
        connect(box, &QSpinBox::valueChanged, this, seenChanged);
    connect(w.cboStraightGear, &QComboBox::currentIndexChanged, this, seenChanged);
    connect(w.optByRpm, &QRadioButton::toggled, this, seenChanged);
    connect(w.spnStraightSpeed, &QSpinBox::valueChanged, this, [this, seenChanged](int value) {
        if (ui_->showing)
            return;
        ui_->entered.roadSpeed = value;
        ui_->entered.unit = std::string(UnitName(ui_->shownUnit));
        seenChanged();
    });
    connect(w.spnTargetRpm, &QSpinBox::valueChanged, this, [this] {
        if (!ui_->showing)
            Refresh();
    });
    for (QSpinBox* box : {w.spnFrontLow, w.spnFrontHigh, w.spnRearLow, w.spnRearHigh,
                          w.spnAxleForward, w.spnAxleBack})
        connect(box, &QSpinBox::valueChanged, this, [this, box](int value) {
            SaveRange(box, value);
            Refresh();
        });
    for (QLineEdit* box : {txtFrontSp_.data(), txtRearSp_.data()})
        if (box)
            connect(box, &QLineEdit::textChanged, this, [this] {
                FollowSprockets();
                Refresh();
            });
    connect(&setup_, &SetupModel::setupChanged, this, [this] {
        if (isVisible())
            Refresh();
    });
    connect(w.cmdUsePair, &QPushButton::clicked, this, [this] { cmdUsePair_Click(); });
    connect(w.cmdPrint, &QPushButton::clicked, this, &CircuitGearingPanel::printRequested);
    connect(w.cmdExport, &QPushButton::clicked, this, &CircuitGearingPanel::exportRequested);
}

void CircuitGearingPanel::SaveRange(QSpinBox* box, int value) {
    const Widgets& w = *ui_;
    settings::FinderSettings changed;
    const char* procedure = ".spnRearHigh_Change";
    if (box == w.spnFrontLow) {
        changed.frontLow = value;
        procedure = ".spnFrontLow_Change";
    } else if (box == w.spnFrontHigh) {
        changed.frontHigh = value;
        procedure = ".spnFrontHigh_Change";
    } else if (box == w.spnRearLow) {
        changed.rearLow = value;
        procedure = ".spnRearLow_Change";
    } else if (box == w.spnAxleForward) {
        changed.axleForwardMm = value;
        procedure = ".spnAxleForward_Change";
    } else if (box == w.spnAxleBack) {
        changed.axleBackMm = value;
        procedure = ".spnAxleBack_Change";
    } else {
        changed.rearHigh = value;
    }
    Handled(context_.errors, procedure,
            [&] { settings::SaveFinder(context_.store.Get(), changed); });
}

void CircuitGearingPanel::Load(const QString& circuit) {
    setTitle(QStringLiteral("Gearing for %1").arg(circuit));
    pending_ = circuit;
    hasPending_ = true;
    if (ui_)
        Show(Wanted());
}

void CircuitGearingPanel::Clear() {
    setTitle(kUntitled);
    hasPending_ = false;
    gearing_ = {};
    if (ui_)
        Show(gearing_);
}

CircuitGearing CircuitGearingPanel::Wanted() {
    if (!hasPending_)
        return gearing_;
    hasPending_ = false;
    // A record this program did not write shows as nothing seen.
    gearing_ = settings::LoadCircuitGearing(context_.store.Get(), pending_.toStdString())
                   .value_or(CircuitGearing{});
    return gearing_;
}

CircuitGearing CircuitGearingPanel::Shown() const {
    const Widgets& w = *ui_;
    CircuitGearing g = w.entered;
    g.byEngineSpeed = w.optByRpm->isChecked();
    g.gear = w.cboStraightGear->currentIndex() + 1;
    g.engineSpeed = w.spnStraightRpm->value();
    g.seenFront = w.spnSeenFront->value();
    g.seenRear = w.spnSeenRear->value();
    g.targetRpm = w.spnTargetRpm->value();
    if (w.seenNow) {
        g.circumference = setup_.Circumference();
        g.tyre = g.circumference ? setup_.Tyre().toStdString() : std::string();
    }
    return g;
}

void CircuitGearingPanel::Show(const CircuitGearing& g) {
    Widgets& w = *ui_;
    w.showing = true;
    w.entered = g;
    w.seenNow = NothingSeen(g);
    ShowRoadSpeed();
    w.cboStraightGear->setCurrentIndex(std::clamp(g.gear, 1, kGearCount) - 1);
    w.spnStraightRpm->setValue(static_cast<int>(std::lround(g.engineSpeed)));
    (g.byEngineSpeed ? w.optByRpm : w.optBySpeed)->setChecked(true);
    w.spnTargetRpm->setValue(static_cast<int>(std::lround(ShiftLight(g))));
    if (NothingSeen(g)) {
        w.showing = false;
        FollowSprockets();
    } else {
        w.spnSeenFront->setValue(g.seenFront);
        w.spnSeenRear->setValue(g.seenRear);
    }
    w.showing = false;
    Refresh();
}

void CircuitGearingPanel::ShowRoadSpeed() {
    Widgets& w = *ui_;
    w.shownUnit = unit_.Get();
    const double mph = ToMph(w.entered.roadSpeed, UnitFromName(w.entered.unit));
    const bool showing = std::exchange(w.showing, true);
    w.spnStraightSpeed->setValue(static_cast<int>(std::lround(FromMph(mph, w.shownUnit))));
    w.showing = showing;
}

void CircuitGearingPanel::FollowSprockets() {
    if (!ui_ || !txtFrontSp_ || !txtRearSp_ || !NothingSeen(Shown()))
        return;
    Widgets& w = *ui_;
    const bool showing = std::exchange(w.showing, true);
    w.spnSeenFront->setValue(TeethFromText(txtFrontSp_->text()).value_or(0));
    w.spnSeenRear->setValue(TeethFromText(txtRearSp_->text()).value_or(0));
    w.showing = showing;
}

double CircuitGearingPanel::TargetRpm() {
    return ui_ ? ui_->spnTargetRpm->value() : ShiftLight(Wanted());
}

double CircuitGearingPanel::ShiftLight(const CircuitGearing& gearing) {
    if (gearing.targetRpm > 0)
        return gearing.targetRpm;
    return settings::LoadPlanner(context_.store.Get()).shiftSpeed.value_or(kDefaultShiftSpeed);
}

void CircuitGearingPanel::Store(const QString& circuit) {
    settings::SaveCircuitGearing(context_.store.Get(), circuit.toStdString(),
                                 ui_ ? Shown() : Wanted());
}

void CircuitGearingPanel::Remove(const QString& circuit) {
    settings::DeleteCircuitGearing(context_.store.Get(), circuit.toStdString());
}

void CircuitGearingPanel::Refresh() {
    Widgets& w = *ui_;
    const CircuitGearing g = Shown();
    w.lblStraightUnit->setText(QString::fromLatin1(UnitName(w.shownUnit)));
    w.spnStraightSpeed->setEnabled(!g.byEngineSpeed);
    w.cboStraightGear->setEnabled(!g.byEngineSpeed);
    w.spnStraightRpm->setEnabled(g.byEngineSpeed);
    w.choices.clear();
    w.lblStraightEnd->setText(Finding(g));
    ShowPairs();
}

QString CircuitGearingPanel::Finding(const CircuitGearing& g) {
    if (NothingSeen(g))
        return QStringLiteral(
            "Give the road speed and gear, or the engine speed, at the end of the longest "
            "straight.");
    if (g.seenFront <= 0 || g.seenRear <= 0)
        return QStringLiteral("Give the sprockets it was seen on.");
    // A record from before the tyre was kept is worked out on the rider's tyre, and says so.
    const bool riderTyre = !g.circumference;
    const double circumference = riderTyre ? setup_.Circumference().value_or(0) : *g.circumference;
    const StraightObservation seen{g.byEngineSpeed, g.roadSpeed, UnitFromName(g.unit), g.gear,
                                   g.engineSpeed};
    const auto rpm = ObservedEngineSpeed(gears_, seen, g.seenFront, g.seenRear, circumference);
    if (g.byEngineSpeed && g.engineSpeed <= 0)
        return QStringLiteral("Give the engine speed at the end of the longest straight.");
    if (!g.byEngineSpeed && g.roadSpeed <= 0)
        return QStringLiteral("Give the road speed at the end of the longest straight.");
    if (!rpm)
        return QStringLiteral(
            "The road speed needs the gear data and a circumference above zero on the Details "
            "page.");
    const SprocketRanges ranges{ui_->spnFrontLow->value(), ui_->spnFrontHigh->value(),
                                ui_->spnRearLow->value(), ui_->spnRearHigh->value()};
    if (const QString reversed = ReversedRange(ranges); !reversed.isEmpty())
        return reversed;
    const AxleTravel travel{static_cast<double>(ui_->spnAxleForward->value()),
                            static_cast<double>(ui_->spnAxleBack->value())};
    std::size_t leftOut = 0;
    ui_->choices = FindSprockets(*rpm, g.seenFront, g.seenRear, g.targetRpm, ranges, ui_->chainSize,
                                 ui_->chainLinks, kShownPairs, travel, &leftOut);
    const QString pair = QStringLiteral("%1/%2").arg(g.seenFront).arg(g.seenRear);
    const QString end = RoundedText(*rpm, 0);
    QString message;
    if (g.byEngineSpeed)
        message = QStringLiteral("On %1 the straight ends at %2 rpm.").arg(pair, end);
    else if (riderTyre)
        message = QStringLiteral(
                      "On %1 the straight ends at %2 rpm. The record does not say "
                      "which tyre it was seen on: the Details page's %3 is used.")
                      .arg(pair, end, TyreText(setup_.Tyre().toStdString(), circumference));
    else
        message = QStringLiteral("On %1 with %2, the straight ends at %3 rpm.")
                      .arg(pair, TyreText(g.tyre, circumference), end);
    if (leftOut > 0)
        message += QStringLiteral(
                       " %1 pairs left out: they need a longer chain or an axle move beyond the "
                       "adjuster's travel.")
                       .arg(leftOut);
    else if (ui_->choices.empty())
        message += QStringLiteral(" No pair of these ranges stays below the shift light.");
    return message;
}

void CircuitGearingPanel::ShowPairs() {
    Widgets& w = *ui_;
    for (int r = 0; r < kShownPairs; ++r) {
        QStringList texts(kPairColumns);
        if (static_cast<std::size_t>(r) < w.choices.size()) {
            const SprocketChoice& c = w.choices[static_cast<std::size_t>(r)];
            texts[kPair] = QStringLiteral("%1/%2").arg(c.front).arg(c.rear);
            texts[kFinalDrive] = RoundedText(c.finalDrive, 4);
            texts[kChange] = SignedText(RoundedText(c.percentChange, 2));
            texts[kEndRpm] = RoundedText(c.engineSpeed, 0);
            if (c.chain) {
                texts[kLinks] = LinksText(c.chain->linksNeeded, c.chain->evenLinks);
                texts[kAxleMove] =
                    c.chain->axleMoveMm
                        ? SignedText(RoundedText(*c.chain->axleMoveMm, 1)) + QStringLiteral(" mm")
                        : QStringLiteral("chain too short");
            }
        }
        for (int c = 0; c < kPairColumns; ++c) w.grdSprockets->item(r, c)->setText(texts[c]);
    }
    w.cmdUsePair->setEnabled(!w.choices.empty());
}

void CircuitGearingPanel::cmdUsePair_Click() {
    const Widgets& w = *ui_;
    if (w.choices.empty() || !txtFrontSp_ || !txtRearSp_)
        return;
    const int row = w.grdSprockets->currentRow();
    const SprocketChoice& c = w.choices[row >= 0 && static_cast<std::size_t>(row) < w.choices.size()
                                            ? static_cast<std::size_t>(row)
                                            : 0];
    const int front = c.front;
    const int rear = c.rear;
    txtFrontSp_->setText(LocaleNumberText(front));
    txtRearSp_->setText(LocaleNumberText(rear));
}

}  // namespace gearsheet
