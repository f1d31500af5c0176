#include "pages/planner_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "chart_module/speed_chart.h"
#include "gearing/chain.h"
#include "gearing/planner.h"
#include "pages/details_page.h"
#include "pages/planner_table.h"
#include "pages/speed_unit_choice.h"
#include "platform/module.h"
#include "qfstore/conversions.h"
#include "settings/settings_file.h"
#include "ui/locale_numbers.h"
#include "ui/page_layout.h"
#include "window/settings_store.h"

namespace gearsheet {
namespace {

constexpr int kDefaultSpeedMph = 100;
constexpr int kDefaultSpeedKmh = 160;

QLineEdit* ReadOnlyBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(TwipsWide(parent, 975));
    return box;
}

QLabel* ValueLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// A sprocket as the speed table takes it: the typed number, rounded half to even.
std::optional<double> Teeth(const QString& text) {
    const auto value = ParseLocaleNumber(text);
    return value ? std::optional<double>(std::nearbyint(*value)) : std::nullopt;
}

}  // namespace

struct PlannerPage::Widgets {
    QRadioButton* optMph;
    QRadioButton* optKmh;
    QLineEdit* txtCurrentFront;
    QLineEdit* txtCurrentRear;
    QLineEdit* txtCurrentCircumference;
    QSpinBox* spnProposedFront;
    QSpinBox* spnProposedRear;
    QComboBox* cboProposedTyre;
    QLineEdit* txtProposedCircumference;
    QSpinBox* spnShiftSpeed;
    QSpinBox* spnSpeedOfInterest;
    QLabel* lblSpeedUnit;
    QComboBox* cboChainSize;
    QSpinBox* spnChainLinks;
    QLabel* lblCentreDistance;
    QLabel* lblLinksNeeded;
    QLabel* lblAxleMove;
    QLabel* lblPlannerProblem;
    PlannerTable* grdPlanner;
    SpeedChart* chart = nullptr;  // none when the chart module cannot be loaded
    // The stored tyre, chosen once the list is filled.
    QString storedTyre;
    // The speed of interest in each unit, as last set.
    int speedMph = kDefaultSpeedMph;
    int speedKmh = kDefaultSpeedKmh;
};

PlannerPage::PlannerPage(FormContext& context, DetailsPage& details, const GearData& gears,
                         SpeedUnitChoice& unit, QWidget* parent)
    : QWidget(parent), context_(context), details_(details), gears_(gears), unit_(unit) {
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
    ui_ = std::make_unique<Widgets>();
    Widgets& w = *ui_;

    // Current setup: the Details page's inputs, not editable here.
    w.txtCurrentFront = ReadOnlyBox("txtCurrentFront", this);
    w.txtCurrentRear = ReadOnlyBox("txtCurrentRear", this);
    w.txtCurrentCircumference = ReadOnlyBox("txtCurrentCircumference", this);
    auto* current = new QGroupBox(QStringLiteral("Current setup (Details)"), this);
    auto* currentGrid = new QGridLayout(current);
    const auto row = [](QGridLayout* grid, int r, const QString& caption, QWidget* input,
                        const QString& unit, QWidget* parent) {
        grid->addWidget(PlainLabel(caption, parent), r, 0);
        grid->addWidget(input, r, 1, Qt::AlignLeft);
        if (!unit.isEmpty())
            grid->addWidget(PlainLabel(unit, parent), r, 2);
    };
    row(currentGrid, 0, QStringLiteral("Front:"), w.txtCurrentFront, QStringLiteral("teeth"), this);
    row(currentGrid, 1, QStringLiteral("Rear:"), w.txtCurrentRear, QStringLiteral("teeth"), this);
    row(currentGrid, 2, QStringLiteral("Circumference:"), w.txtCurrentCircumference,
        QStringLiteral("\""), this);
    currentGrid->setRowStretch(3, 1);

    // Proposed setup.
    w.spnProposedFront = SpinBox("spnProposedFront", 1, 200, 1, this);
    w.spnProposedRear = SpinBox("spnProposedRear", 1, 200, 1, this);
    w.cboProposedTyre = new QComboBox(this);
    w.cboProposedTyre->setObjectName(QStringLiteral("cboProposedTyre"));
    w.cboProposedTyre->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    w.cboProposedTyre->setMinimumContentsLength(14);
    w.txtProposedCircumference = InputBox("txtProposedCircumference", QString(), 975, this);
    auto* cmdCopyToDetails = new QPushButton(QStringLiteral("Copy to Details"), this);
    cmdCopyToDetails->setObjectName(QStringLiteral("cmdCopyToDetails"));
    auto* proposed = new QGroupBox(QStringLiteral("Proposed setup"), this);
    auto* proposedGrid = new QGridLayout(proposed);
    row(proposedGrid, 0, QStringLiteral("Front:"), w.spnProposedFront, QStringLiteral("teeth"),
        this);
    row(proposedGrid, 1, QStringLiteral("Rear:"), w.spnProposedRear, QStringLiteral("teeth"), this);
    proposedGrid->addWidget(PlainLabel(QStringLiteral("Tyre:"), this), 2, 0);
    proposedGrid->addWidget(w.cboProposedTyre, 2, 1, 1, 2);
    row(proposedGrid, 3, QStringLiteral("Circumference:"), w.txtProposedCircumference,
        QStringLiteral("\""), this);
    proposedGrid->addWidget(cmdCopyToDetails, 4, 0, 1, 3, Qt::AlignLeft);

    // What the setups are compared at, and the unit of every road speed.
    w.spnShiftSpeed = SpinBox("spnShiftSpeed", 1000, 30000, 250, this);
    w.spnSpeedOfInterest = SpinBox("spnSpeedOfInterest", 1, 999, 5, this);
    w.lblSpeedUnit = ValueLabel("lblSpeedUnit", this);
    w.optMph = new QRadioButton(QStringLiteral("mph"), this);
    w.optMph->setObjectName(QStringLiteral("optMph"));
    w.optKmh = new QRadioButton(QStringLiteral("km/h"), this);
    w.optKmh->setObjectName(QStringLiteral("optKmh"));
    auto* compare = new QGroupBox(QStringLiteral("Compare at"), this);
    auto* compareGrid = new QGridLayout(compare);
    row(compareGrid, 0, QStringLiteral("Shift speed:"), w.spnShiftSpeed, QStringLiteral("rpm"),
        this);
    compareGrid->addWidget(PlainLabel(QStringLiteral("Road speed:"), this), 1, 0);
    compareGrid->addWidget(w.spnSpeedOfInterest, 1, 1);
    compareGrid->addWidget(w.lblSpeedUnit, 1, 2);
    compareGrid->addWidget(PlainLabel(QStringLiteral("Speeds in:"), this), 2, 0);
    auto* units = new QHBoxLayout;
    units->addWidget(w.optMph);
    units->addWidget(w.optKmh);
    compareGrid->addLayout(units, 2, 1, 1, 2);
    compareGrid->setRowStretch(3, 1);

    // The chain.
    w.cboChainSize = new QComboBox(this);
    w.cboChainSize->setObjectName(QStringLiteral("cboChainSize"));
    for (int size : chain::kSizes) w.cboChainSize->addItem(QString::number(size), size);
    w.spnChainLinks = SpinBox("spnChainLinks", 10, 400, 2, this);
    w.lblCentreDistance = ValueLabel("lblCentreDistance", this);
    w.lblLinksNeeded = ValueLabel("lblLinksNeeded", this);
    w.lblAxleMove = ValueLabel("lblAxleMove", this);
    auto* chainBox = new QGroupBox(QStringLiteral("Chain"), this);
    auto* chainGrid = new QGridLayout(chainBox);
    row(chainGrid, 0, QStringLiteral("Size:"), w.cboChainSize, QString(), this);
    row(chainGrid, 1, QStringLiteral("Links:"), w.spnChainLinks, QString(), this);
    row(chainGrid, 2, QStringLiteral("Sprocket centres:"), w.lblCentreDistance, QString(), this);
    row(chainGrid, 3, QStringLiteral("Links for proposed:"), w.lblLinksNeeded, QString(), this);
    row(chainGrid, 4, QStringLiteral("Axle move, this chain:"), w.lblAxleMove, QString(), this);

    w.lblPlannerProblem = ValueLabel("lblPlannerProblem", this);
    w.lblPlannerProblem->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold"));
    w.lblPlannerProblem->hide();

    w.grdPlanner = new PlannerTable(this);
    QString chartProblem;
    w.chart =
        CreateSpeedChart(QString::fromStdString(platform::ExecutableFolder()), this, chartProblem);
    QWidget* chartArea =
        w.chart ? w.chart->Widget() : PlainLabel(QStringLiteral("No chart: ") + chartProblem, this);

    auto* inputs = new QHBoxLayout;
    for (QGroupBox* box : {current, proposed, compare, chainBox}) inputs->addWidget(box);
    inputs->addStretch(1);
    auto* results = new QHBoxLayout;
    results->addWidget(w.grdPlanner, 0, Qt::AlignTop);
    results->addWidget(chartArea, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(PageHeading("Label5", QStringLiteral("Gear Planner"), this));
    page->addWidget(SeparatorLine(this));
    page->addLayout(inputs);
    page->addWidget(w.lblPlannerProblem);
    page->addLayout(results, 1);

    // The stored inputs; the proposed setup starts as the current one.
    Handled(context_.errors, ".PlannerPage_Load", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        store.Section(settings::kPlannerSection);
        const double front = Teeth(details_.FrontSprocketText()).value_or(16);
        const double rear = Teeth(details_.RearSprocketText()).value_or(45);
        w.spnProposedFront->setValue(
            static_cast<int>(StoredNumber(store, settings::kPlannerFrontKey, front)));
        w.spnProposedRear->setValue(
            static_cast<int>(StoredNumber(store, settings::kPlannerRearKey, rear)));
        w.storedTyre = QString::fromStdString(StoredText(
            store, settings::kPlannerTyreKey, details_.TyreList()->currentText().toStdString()));
        w.txtProposedCircumference->setText(
            QString::fromStdString(StoredText(store, settings::kPlannerCircumferenceKey,
                                              details_.CircumferenceText().toStdString())));
        w.spnShiftSpeed->setValue(
            static_cast<int>(StoredNumber(store, settings::kPlannerShiftKey, kDefaultShiftSpeed)));
        w.speedMph =
            static_cast<int>(StoredNumber(store, settings::kPlannerSpeedMphKey, kDefaultSpeedMph));
        w.speedKmh =
            static_cast<int>(StoredNumber(store, settings::kPlannerSpeedKmhKey, kDefaultSpeedKmh));
        const int size =
            static_cast<int>(StoredNumber(store, settings::kPlannerChainKey, chain::kDefaultSize));
        w.cboChainSize->setCurrentIndex(std::max(0, w.cboChainSize->findData(size)));
        w.spnChainLinks->setValue(static_cast<int>(
            StoredNumber(store, settings::kPlannerLinksKey, chain::kDefaultLinks)));
    });
    const bool kmh = unit_.Get() == SpeedUnit::Kmh;
    (kmh ? w.optKmh : w.optMph)->setChecked(true);
    w.spnSpeedOfInterest->setValue(kmh ? w.speedKmh : w.speedMph);

    const auto saveNumber = [this](QSpinBox* box, const char* key, const char* procedure) {
        connect(box, &QSpinBox::valueChanged, this, [this, key, procedure](int value) {
            Save(key, qfstore::Variant(static_cast<double>(value)), procedure);
            Refresh();
        });
    };
    saveNumber(w.spnProposedFront, settings::kPlannerFrontKey, ".spnProposedFront_Change");
    saveNumber(w.spnProposedRear, settings::kPlannerRearKey, ".spnProposedRear_Change");
    saveNumber(w.spnShiftSpeed, settings::kPlannerShiftKey, ".spnShiftSpeed_Change");
    saveNumber(w.spnChainLinks, settings::kPlannerLinksKey, ".spnChainLinks_Change");
    connect(w.spnSpeedOfInterest, &QSpinBox::valueChanged, this, [this](int value) {
        const bool inKmh = unit_.Get() == SpeedUnit::Kmh;
        (inKmh ? ui_->speedKmh : ui_->speedMph) = value;
        Save(inKmh ? settings::kPlannerSpeedKmhKey : settings::kPlannerSpeedMphKey,
             qfstore::Variant(static_cast<double>(value)), ".spnSpeedOfInterest_Change");
        Refresh();
    });
    connect(w.cboChainSize, &QComboBox::activated, this, [this] {
        Save(settings::kPlannerChainKey,
             qfstore::Variant(ui_->cboChainSize->currentData().toDouble()), ".cboChainSize_Click");
        Refresh();
    });
    connect(w.cboProposedTyre, &QComboBox::activated, this, [this] { cboProposedTyre_Click(); });
    // The box may be too narrow for a tyre's name; the whole name is its tooltip.
    connect(w.cboProposedTyre, &QComboBox::currentIndexChanged, this,
            [this] { ui_->cboProposedTyre->setToolTip(ui_->cboProposedTyre->currentText()); });
    connect(w.txtProposedCircumference, &QLineEdit::textEdited, this, [this](const QString& text) {
        // A typed circumference is no tyre of the list.
        ui_->cboProposedTyre->setCurrentIndex(-1);
        Save(settings::kPlannerTyreKey, qfstore::Variant(std::string()),
             ".txtProposedCircumference_Change");
        Save(settings::kPlannerCircumferenceKey, qfstore::Variant(text.toStdString()),
             ".txtProposedCircumference_Change");
        Refresh();
    });
    connect(w.optKmh, &QRadioButton::toggled, this, [this] { optSpeedUnit_Click(); });
    connect(cmdCopyToDetails, &QPushButton::clicked, this, [this] { cmdCopyToDetails_Click(); });
}

void PlannerPage::RefreshTyres() {
    QComboBox* list = ui_->cboProposedTyre;
    const QString chosen =
        list->currentIndex() >= 0 ? list->currentText() : std::exchange(ui_->storedTyre, {});
    const QComboBox* tyres = details_.TyreList();
    list->clear();
    for (int i = 0; i < tyres->count(); ++i) {
        list->addItem(tyres->itemText(i), tyres->itemData(i));
        list->setItemData(i, tyres->itemText(i), Qt::ToolTipRole);
    }
    list->setCurrentIndex(chosen.isEmpty() ? -1 : list->findText(chosen, Qt::MatchExactly));
}

void PlannerPage::Save(const char* key, const qfstore::Variant& value, const char* procedure) {
    Handled(context_.errors, procedure, [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        store.Section(settings::kPlannerSection);
        store.SetValue(key, value, settings::kArrayDelimiter);
    });
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
    Save(settings::kPlannerTyreKey, qfstore::Variant(list->currentText().toStdString()),
         ".cboProposedTyre_Click");
    Save(settings::kPlannerCircumferenceKey,
         qfstore::Variant(ui_->txtProposedCircumference->text().toStdString()),
         ".cboProposedTyre_Click");
    Refresh();
}

void PlannerPage::cmdCopyToDetails_Click() {
    const Widgets& w = *ui_;
    details_.ShowSetup(
        LocaleNumberText(w.spnProposedFront->value()), LocaleNumberText(w.spnProposedRear->value()),
        w.txtProposedCircumference->text(),
        w.cboProposedTyre->currentIndex() >= 0 ? w.cboProposedTyre->currentText() : QString());
    Refresh();
}

void PlannerPage::Refresh() {
    Widgets& w = *ui_;
    const SpeedUnit unit = unit_.Get();
    const QString unitName = QString::fromLatin1(UnitName(unit));
    w.lblSpeedUnit->setText(unitName);

    const auto front = Teeth(details_.FrontSprocketText());
    const auto rear = Teeth(details_.RearSprocketText());
    const auto circumference = ParseLocaleNumber(details_.CircumferenceText());
    w.txtCurrentFront->setText(front ? LocaleNumberText(*front) : details_.FrontSprocketText());
    w.txtCurrentRear->setText(rear ? LocaleNumberText(*rear) : details_.RearSprocketText());
    w.txtCurrentCircumference->setText(circumference ? LocaleNumberText(*circumference)
                                                     : details_.CircumferenceText());
    const Setup current{front.value_or(0), rear.value_or(0), circumference.value_or(0)};
    const Setup proposed{static_cast<double>(w.spnProposedFront->value()),
                         static_cast<double>(w.spnProposedRear->value()),
                         ParseLocaleNumber(w.txtProposedCircumference->text()).value_or(0)};
    const PlannerTargets targets{static_cast<double>(w.spnShiftSpeed->value()),
                                 static_cast<double>(w.spnSpeedOfInterest->value()), unit};

    QString problem;
    if (!Plannable(gears_, Setup{1, 1, 1}))
        problem = QStringLiteral("No gear data: the settings file needs its GEARS and REDUCTIONS.");
    else if (!Plannable(gears_, current))
        problem = QStringLiteral(
            "The Details page's sprockets and circumference must be numbers above zero.");
    else if (!Plannable(gears_, proposed))
        problem = QStringLiteral("The proposed circumference must be a number above zero.");
    w.lblPlannerProblem->setText(problem);
    w.lblPlannerProblem->setVisible(!problem.isEmpty());
    if (!problem.isEmpty()) {
        w.grdPlanner->Clear();
        for (QLabel* l : {w.lblCentreDistance, w.lblLinksNeeded, w.lblAxleMove}) l->clear();
        if (w.chart)
            w.chart->Clear(problem);
        return;
    }

    const SetupFigures now = Figures(gears_, current, targets);
    const SetupFigures next = Figures(gears_, proposed, targets);
    w.grdPlanner->Show(now, next, targets);

    const int size = w.cboChainSize->currentData().toInt();
    const auto change = chain::ChangeSprockets(
        size, w.spnChainLinks->value(), static_cast<int>(current.frontSprocket),
        static_cast<int>(current.rearSprocket), static_cast<int>(proposed.frontSprocket),
        static_cast<int>(proposed.rearSprocket));
    if (!change) {
        w.lblCentreDistance->setText(QStringLiteral("too short for the current sprockets"));
        w.lblLinksNeeded->clear();
        w.lblAxleMove->clear();
    } else {
        w.lblCentreDistance->setText(RoundedText(change->currentCentreMm, 1) +
                                     QStringLiteral(" mm"));
        w.lblLinksNeeded->setText(LinksText(change->linksNeeded, change->evenLinks));
        if (!change->axleMoveMm) {
            w.lblAxleMove->setText(QStringLiteral("too short for the proposed sprockets"));
        } else {
            const QString move = SignedText(RoundedText(*change->axleMoveMm, 1));
            w.lblAxleMove->setText(
                move + QStringLiteral(" mm") +
                (move.startsWith(QLatin1Char('+'))   ? QStringLiteral(" (rearwards)")
                 : move.startsWith(QLatin1Char('-')) ? QStringLiteral(" (forwards)")
                                                     : QString()));
        }
    }
    if (w.chart)
        w.chart->Show(now, next, targets);
}

}  // namespace gearsheet
