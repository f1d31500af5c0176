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

#include "gearing/planner.h"
#include "pages/details_page.h"
#include "pages/planner_table.h"
#include "pages/speed_unit_choice.h"
#include "settings/settings_file.h"
#include "ui/locale_numbers.h"
#include "ui/page_layout.h"
#include "window/settings_store.h"

namespace gearsheet {
namespace {

constexpr int kShownPairs = 10;
// The title while no stored circuit is shown.
const QString kUntitled = QStringLiteral("Gearing for this circuit");

// A sprocket box's text as whole teeth (rounded half to even, as the speed table takes it); 0
// when it holds no number of teeth a spin box takes.
int Teeth(const QString& text) {
    const auto value = ParseLocaleNumber(text);
    return value && *value > 0 && *value < 199.5 ? static_cast<int>(std::nearbyint(*value)) : 0;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch(1);
    return row;
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
    QLabel* lblStraightEnd;
    QTableWidget* grdSprockets;
    QPushButton* cmdUsePair;
    SpeedUnit shownUnit = SpeedUnit::Mph;  // of the road speed box
    int chainSize = chain::kDefaultSize;
    int chainLinks = chain::kDefaultLinks;
    std::vector<SprocketChoice> choices;
    bool showing = false;  // a record is being put into the boxes
};

CircuitGearingPanel::CircuitGearingPanel(FormContext& context, const GearData& gears,
                                         SpeedUnitChoice& unit, const DetailsPage& details,
                                         QLineEdit* front, QLineEdit* rear, QWidget* parent)
    : QGroupBox(kUntitled, parent),
      context_(context),
      gears_(gears),
      unit_(unit),
      details_(details),
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
        // The unit, the chain and the Details page's tyre may have changed elsewhere.
        Widgets& w = *ui_;
        w.chainSize = static_cast<int>(PlannerNumber(settings::kPlannerChainKey, w.chainSize));
        w.chainLinks = static_cast<int>(PlannerNumber(settings::kPlannerLinksKey, w.chainLinks));
        const SpeedUnit unit = unit_.Get();
        if (unit != w.shownUnit) {
            const double mph = ToMph(w.spnStraightSpeed->value(), w.shownUnit);
            const QSignalBlocker quiet(w.spnStraightSpeed);
            w.spnStraightSpeed->setValue(static_cast<int>(std::lround(FromMph(mph, unit))));
            w.shownUnit = unit;
        }
        Refresh();
    });
}

void CircuitGearingPanel::Build() {
    ui_ = std::make_unique<Widgets>();
    Widgets& w = *ui_;
    w.optBySpeed = new QRadioButton(QStringLiteral("Road speed:"), this);
    w.optBySpeed->setObjectName(QStringLiteral("optBySpeed"));
    w.spnStraightSpeed = SpinBox("spnStraightSpeed", 0, 999, 1, this);
    w.spnStraightSpeed->setSpecialValueText(QStringLiteral(" "));  // 0: none seen
    w.lblStraightUnit = PlainLabel(QString(), this);
    w.lblStraightUnit->setObjectName(QStringLiteral("lblStraightUnit"));
    w.cboStraightGear = new QComboBox(this);
    w.cboStraightGear->setObjectName(QStringLiteral("cboStraightGear"));
    for (const char* gear : kGearNames) w.cboStraightGear->addItem(QString::fromLatin1(gear));
    w.optByRpm = new QRadioButton(QStringLiteral("Engine speed:"), this);
    w.optByRpm->setObjectName(QStringLiteral("optByRpm"));
    w.spnStraightRpm = SpinBox("spnStraightRpm", 0, 30000, 100, this);
    w.spnStraightRpm->setSpecialValueText(QStringLiteral(" "));
    w.spnSeenFront = SpinBox("spnSeenFront", 0, 99, 1, this);
    w.spnSeenFront->setSpecialValueText(QStringLiteral(" "));
    w.spnSeenRear = SpinBox("spnSeenRear", 0, 199, 1, this);
    w.spnSeenRear->setSpecialValueText(QStringLiteral(" "));
    w.spnTargetRpm = SpinBox("spnTargetRpm", 1000, 30000, 250, this);
    w.spnFrontLow = SpinBox("spnFrontLow", 1, 99, 1, this);
    w.spnFrontHigh = SpinBox("spnFrontHigh", 1, 99, 1, this);
    w.spnRearLow = SpinBox("spnRearLow", 1, 199, 1, this);
    w.spnRearHigh = SpinBox("spnRearHigh", 1, 199, 1, this);
    const SprocketRanges defaults;
    w.spnFrontLow->setValue(defaults.frontLow);
    w.spnFrontHigh->setValue(defaults.frontHigh);
    w.spnRearLow->setValue(defaults.rearLow);
    w.spnRearHigh->setValue(defaults.rearHigh);
    w.lblStraightEnd = PlainLabel(QString(), this);
    w.lblStraightEnd->setObjectName(QStringLiteral("lblStraightEnd"));
    w.lblStraightEnd->setWordWrap(true);

    w.grdSprockets = new QTableWidget(kShownPairs, 6, this);
    w.grdSprockets->setObjectName(QStringLiteral("grdSprockets"));
    w.grdSprockets->setHorizontalHeaderLabels(
        QStringLiteral("Pair|Final drive|Change %|End rpm|Links|Axle move")
            .split(QLatin1Char('|')));
    w.grdSprockets->verticalHeader()->hide();
    w.grdSprockets->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.grdSprockets->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.grdSprockets->setSelectionMode(QAbstractItemView::SingleSelection);
    w.grdSprockets->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w.grdSprockets->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w.grdSprockets->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    w.grdSprockets->horizontalHeader()->setStretchLastSection(true);
    const int rowHeight = w.grdSprockets->fontMetrics().height() + 6;
    w.grdSprockets->verticalHeader()->setMinimumSectionSize(rowHeight);
    w.grdSprockets->verticalHeader()->setDefaultSectionSize(rowHeight);
    w.grdSprockets->setFixedHeight(kShownPairs * rowHeight +
                                   w.grdSprockets->horizontalHeader()->sizeHint().height() +
                                   2 * w.grdSprockets->frameWidth());
    for (int r = 0; r < kShownPairs; ++r)
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            w.grdSprockets->setItem(r, c, item);
        }
    // The widest texts the columns will hold, so that the group keeps its width.
    const QStringList widest =
        QStringLiteral("18/52|2.8889|+10.99|14933|111.5 → 112|+12.9 mm").split(QLatin1Char('|'));
    for (int c = 0; c < 6; ++c) w.grdSprockets->item(0, c)->setText(widest[c]);
    w.grdSprockets->setMinimumWidth(w.grdSprockets->horizontalHeader()->length() +
                                    2 * w.grdSprockets->frameWidth() + 4);

    w.cmdUsePair = new QPushButton(QStringLiteral("Use this pair"), this);
    w.cmdUsePair->setObjectName(QStringLiteral("cmdUsePair"));
    auto* cmdPrint = new QPushButton(QStringLiteral("Print…"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrintPitCard"));
    auto* cmdExport = new QPushButton(QStringLiteral("Export PDF…"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExportPitCard"));

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
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(w.cmdUsePair);
    buttons->addStretch(1);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdExport);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(w.lblStraightEnd);
    layout->addWidget(w.grdSprockets);
    layout->addLayout(buttons);
    layout->addStretch(1);

    const auto refresh = [this] {
        if (!ui_->showing)
            Refresh();
    };
    for (QSpinBox* box :
         {w.spnStraightSpeed, w.spnStraightRpm, w.spnSeenFront, w.spnSeenRear, w.spnTargetRpm})
        connect(box, &QSpinBox::valueChanged, this, refresh);
    connect(w.cboStraightGear, &QComboBox::currentIndexChanged, this, refresh);
    connect(w.optByRpm, &QRadioButton::toggled, this, refresh);
    const auto saveRange = [this](QSpinBox* box, const char* key, const char* procedure) {
        connect(box, &QSpinBox::valueChanged, this, [this, key, procedure](int value) {
            SaveRange(key, value, procedure);
            Refresh();
        });
    };
    saveRange(w.spnFrontLow, settings::kFinderFrontLowKey, ".spnFrontLow_Change");
    saveRange(w.spnFrontHigh, settings::kFinderFrontHighKey, ".spnFrontHigh_Change");
    saveRange(w.spnRearLow, settings::kFinderRearLowKey, ".spnRearLow_Change");
    saveRange(w.spnRearHigh, settings::kFinderRearHighKey, ".spnRearHigh_Change");
    for (QLineEdit* box : {txtFrontSp_.data(), txtRearSp_.data()})
        if (box)
            connect(box, &QLineEdit::textChanged, this, [this] {
                FollowSprockets();
                Refresh();
            });
    connect(w.cmdUsePair, &QPushButton::clicked, this, [this] { cmdUsePair_Click(); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] {
        if (printCard)
            printCard();
    });
    connect(cmdExport, &QPushButton::clicked, this, [this] {
        if (exportCard)
            exportCard();
    });
    // The rider's ranges and the planner's chain; the defaults where they cannot be read.
    w.shownUnit = unit_.Get();
    Handled(context_.errors, ".fraCircuitGearing_Load", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        store.Section(settings::kSprocketFinderSection);
        const std::pair<QSpinBox*, const char*> ranges[] = {
            {w.spnFrontLow, settings::kFinderFrontLowKey},
            {w.spnFrontHigh, settings::kFinderFrontHighKey},
            {w.spnRearLow, settings::kFinderRearLowKey},
            {w.spnRearHigh, settings::kFinderRearHighKey}};
        for (const auto& [box, key] : ranges) {
            const QSignalBlocker quiet(box);  // what is read is not written back
            box->setValue(static_cast<int>(StoredNumber(store, key, box->value())));
        }
        w.chainSize = static_cast<int>(PlannerNumber(settings::kPlannerChainKey, w.chainSize));
        w.chainLinks = static_cast<int>(PlannerNumber(settings::kPlannerLinksKey, w.chainLinks));
    });
}

double CircuitGearingPanel::PlannerNumber(const char* key, double fallback) {
    qfstore::QfINIFileHandler& store = context_.store.Get();
    store.Section(settings::kPlannerSection);
    return StoredNumber(store, key, fallback);
}

void CircuitGearingPanel::SaveRange(const char* key, int value, const char* procedure) {
    Handled(context_.errors, procedure, [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        store.Section(settings::kSprocketFinderSection);
        store.SetValue(key, qfstore::Variant(static_cast<double>(value)),
                       settings::kArrayDelimiter);
    });
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
    qfstore::QfINIFileHandler& store = context_.store.Get();
    store.Section(settings::kCircuitGearingSection);
    const qfstore::Variant record =
        store.GetValue(pending_.toStdString(), settings::kCircuitDelimiter, true, false);
    hasPending_ = false;
    gearing_ = {};
    if (record.IsArray()) {
        std::vector<std::string> fields;
        for (const qfstore::Variant& field : record.Elements())
            fields.push_back(ValueText(field).toStdString());
        // A record this program did not write shows as nothing seen.
        gearing_ = CircuitGearingFromFields(fields).value_or(CircuitGearing{});
    }
    return gearing_;
}

CircuitGearing CircuitGearingPanel::Shown() const {
    const Widgets& w = *ui_;
    CircuitGearing g;
    g.seen.byEngineSpeed = w.optByRpm->isChecked();
    g.seen.roadSpeed = w.spnStraightSpeed->value();
    g.seen.unit = w.shownUnit;
    g.seen.gear = w.cboStraightGear->currentIndex() + 1;
    g.seen.engineSpeed = w.spnStraightRpm->value();
    g.seenFront = w.spnSeenFront->value();
    g.seenRear = w.spnSeenRear->value();
    g.targetRpm = w.spnTargetRpm->value();
    return g;
}

void CircuitGearingPanel::Show(const CircuitGearing& g) {
    Widgets& w = *ui_;
    w.showing = true;
    w.shownUnit = unit_.Get();
    const double mph = ToMph(g.seen.roadSpeed, g.seen.unit);
    w.spnStraightSpeed->setValue(static_cast<int>(std::lround(FromMph(mph, w.shownUnit))));
    w.cboStraightGear->setCurrentIndex(std::clamp(g.seen.gear, 1, kGearCount) - 1);
    w.spnStraightRpm->setValue(static_cast<int>(std::lround(g.seen.engineSpeed)));
    (g.seen.byEngineSpeed ? w.optByRpm : w.optBySpeed)->setChecked(true);
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

void CircuitGearingPanel::FollowSprockets() {
    if (!ui_ || !txtFrontSp_ || !txtRearSp_ || !NothingSeen(Shown()))
        return;
    Widgets& w = *ui_;
    const bool showing = std::exchange(w.showing, true);
    w.spnSeenFront->setValue(Teeth(txtFrontSp_->text()));
    w.spnSeenRear->setValue(Teeth(txtRearSp_->text()));
    w.showing = showing;
}

double CircuitGearingPanel::TargetRpm() {
    return ui_ ? ui_->spnTargetRpm->value() : ShiftLight(Wanted());
}

double CircuitGearingPanel::ShiftLight(const CircuitGearing& gearing) {
    return gearing.targetRpm > 0 ? gearing.targetRpm
                                 : PlannerNumber(settings::kPlannerShiftKey, kDefaultShiftSpeed);
}

void CircuitGearingPanel::Store(const QString& circuit) {
    const CircuitGearing g = ui_ ? Shown() : Wanted();
    if (NothingSeen(g)) {
        Remove(circuit);
        return;
    }
    qfstore::QfINIFileHandler& store = context_.store.Get();
    store.Section(settings::kCircuitGearingSection);
    store.SetValue(circuit.toStdString(), qfstore::Variant::StringArray(CircuitGearingFields(g)),
                   settings::kCircuitDelimiter);
}

void CircuitGearingPanel::Remove(const QString& circuit) {
    qfstore::QfINIFileHandler& store = context_.store.Get();
    store.Section(settings::kCircuitGearingSection);
    store.DeleteField(circuit.toStdString());
}

void CircuitGearingPanel::Refresh() {
    Widgets& w = *ui_;
    const CircuitGearing g = Shown();
    w.lblStraightUnit->setText(QString::fromLatin1(UnitName(w.shownUnit)));
    w.spnStraightSpeed->setEnabled(!g.seen.byEngineSpeed);
    w.cboStraightGear->setEnabled(!g.seen.byEngineSpeed);
    w.spnStraightRpm->setEnabled(g.seen.byEngineSpeed);

    const auto circumference = ParseLocaleNumber(details_.CircumferenceText());
    const auto rpm =
        ObservedEngineSpeed(gears_, g.seen, g.seenFront, g.seenRear, circumference.value_or(0));
    w.choices.clear();
    QString message;
    if (NothingSeen(g)) {
        message = QStringLiteral(
            "Give the road speed and gear, or the engine speed, at the end of the longest "
            "straight.");
    } else if (g.seenFront <= 0 || g.seenRear <= 0) {
        message = QStringLiteral("Give the sprockets it was seen on.");
    } else if (!rpm) {
        message = g.seen.byEngineSpeed
                      ? QStringLiteral("Give the engine speed at the end of the longest straight.")
                      : QStringLiteral(
                            "The road speed needs the gear data and a circumference above zero "
                            "on the Details page.");
    } else {
        const SprocketRanges ranges{w.spnFrontLow->value(), w.spnFrontHigh->value(),
                                    w.spnRearLow->value(), w.spnRearHigh->value()};
        w.choices = FindSprockets(*rpm, g.seenFront, g.seenRear, g.targetRpm, ranges, w.chainSize,
                                  w.chainLinks, kShownPairs);
        message = QStringLiteral("On %1/%2 the straight ends at %3 rpm.")
                      .arg(g.seenFront)
                      .arg(g.seenRear)
                      .arg(RoundedText(*rpm, 0));
        if (w.choices.empty())
            message += QStringLiteral(" No pair of these ranges stays below the shift light.");
    }
    w.lblStraightEnd->setText(message);
    for (int r = 0; r < kShownPairs; ++r) {
        QStringList texts(6);
        if (static_cast<std::size_t>(r) < w.choices.size()) {
            const SprocketChoice& c = w.choices[static_cast<std::size_t>(r)];
            texts[0] = QStringLiteral("%1/%2").arg(c.front).arg(c.rear);
            texts[1] = RoundedText(c.finalDrive, 4);
            texts[2] = SignedText(RoundedText(c.percentChange, 2));
            texts[3] = RoundedText(c.engineSpeed, 0);
            if (c.chain) {
                texts[4] = LinksText(c.chain->linksNeeded, c.chain->evenLinks);
                texts[5] = c.chain->axleMoveMm ? SignedText(RoundedText(*c.chain->axleMoveMm, 1)) +
                                                     QStringLiteral(" mm")
                                               : QStringLiteral("chain too short");
            }
        }
        for (int c = 0; c < 6; ++c) w.grdSprockets->item(r, c)->setText(texts[c]);
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
