#include "pages/circuit_page.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "chart_module/chart_loader.h"
#include "gearing/gear_data.h"
#include "pages/circuit_gearing_panel.h"
#include "pages/circuit_record.h"
#include "pages/numeric_boxes.h"
#include "pages/pit_card.h"
#include "pages/record_names.h"
#include "pages/sag_helper.h"
#include "pages/speed_unit_choice.h"
#include "platform/module.h"
#include "settings/circuits.h"
#include "settings/settings_file.h"
#include "ui/artwork.h"
#include "ui/dialogs.h"
#include "ui/locale_numbers.h"
#include "ui/page_layout.h"
#include "ui/screen_fit.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

using namespace settings;

constexpr int kFrontColumn = 1;
constexpr int kRearColumn = 2;

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    // The design's width, or more where the caption needs it.
    button->setMinimumWidth(std::max(TwipsWide(parent, 975), button->sizeHint().width()));
    return button;
}

// The heading row and column are plain cells that cannot be chosen or edited, and that Tab passes
// over (it goes from a REAR cell to the next row's FRONT cell, where typing goes on); their text
// keeps the colour of the value cells'.
QTableWidgetItem* HeadingCell(const QString& text, const QPalette& palette, Qt::Alignment align) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(palette.button());
    item->setForeground(palette.text());
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

// The suspension table: 11 rows × 3 columns, row 0 and column 0 headings, sized to show every
// cell without scrolling.
QTableWidget* FieldsGrid(QWidget* parent) {
    // The headers are hidden before the cells exist, so that no one measures them.
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(QStringLiteral("grdFields"));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setRowCount(1 + kSuspensionRows);
    grid->setColumnCount(3);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QPalette palette = grid->palette();
    grid->setItem(0, 0, HeadingCell(QString(), palette, Qt::AlignLeft));
    grid->setItem(0, kFrontColumn, HeadingCell(QStringLiteral("FRONT"), palette, Qt::AlignHCenter));
    grid->setItem(0, kRearColumn, HeadingCell(QStringLiteral("REAR"), palette, Qt::AlignHCenter));
    for (int r = 1; r <= kSuspensionRows; ++r) {
        grid->setItem(
            r, 0,
            HeadingCell(QString::fromLatin1(kSuspensionRowNames[r - 1]), palette, Qt::AlignLeft));
        grid->setItem(r, kFrontColumn, new QTableWidgetItem);
        grid->setItem(r, kRearColumn, new QTableWidgetItem);
    }

    // The heading column is as wide as its longest heading; the two value columns share the rest
    // of the page.
    const int widthsTwips[] = {1140, 2115, 2070};
    grid->resizeColumnToContents(0);
    grid->setColumnWidth(0, std::max(grid->columnWidth(0) + 8, TwipsWide(parent, widthsTwips[0])));
    int width = grid->columnWidth(0);
    for (int c = 1; c < 3; ++c) {
        grid->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
        width += TwipsWide(parent, widthsTwips[c]);
    }
    const int rowHeight = grid->fontMetrics().height() + 8;
    grid->verticalHeader()->setMinimumSectionSize(rowHeight);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    const int frame = 2 * grid->frameWidth();
    grid->setMinimumWidth(width + frame);
    grid->setFixedHeight(grid->rowCount() * rowHeight + frame);
    return grid;
}

}  // namespace

CircuitPage::CircuitPage(FormContext& context, const GearData& gears, SpeedUnitChoice& unit,
                         SetupModel& setup, QWidget* parent)
    : QWidget(parent), context_(context), gears_(gears), unit_(unit), setup_(setup) {
    setObjectName(QStringLiteral("CircuitPage"));

    cboCircuits_ = NameList("cboCircuits", this);
    txtFrontSp_ = InputBox("txtFrontSp", QStringLiteral("0"), 735, this);
    txtRearSp_ = InputBox("txtRearSp", QStringLiteral("0"), 735, this);
    auto* cmdCopyValues = Button("cmdCopyValues", QStringLiteral("Copy Values"), this);
    grdFields_ = FieldsGrid(this);
    auto* cmdClear = Button("cmdClear", QStringLiteral("Clear"), this);
    auto* cmdAddCirquit = Button("cmdAddCirquit", QStringLiteral("Add"), this);
    auto* cmdDeleteCirquit = Button("cmdDeleteCirquit", QStringLiteral("Delete"), this);

    // Row 1: the circuit list; row 2: the sprockets and "Copy Values".
    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(10);
    rows->addWidget(PlainLabel(QStringLiteral("Circuit:"), this), 0, 0);
    rows->addWidget(cboCircuits_, 0, 1, 1, 5);
    rows->addWidget(PlainLabel(QStringLiteral("Front Sprocket:"), this), 1, 0);
    rows->addWidget(txtFrontSp_, 1, 1);
    rows->addWidget(PlainLabel(QStringLiteral("Rear Sprocket:"), this), 1, 2);
    rows->addWidget(txtRearSp_, 1, 3);
    rows->addWidget(cmdCopyValues, 1, 5);
    rows->setColumnStretch(4, 1);

    // Row 4: "Clear" at the left, "Add" and "Delete" at the right.
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClear);
    buttons->addStretch(1);
    buttons->addWidget(cmdAddCirquit);
    buttons->addWidget(cmdDeleteCirquit);

    auto* page = new QVBoxLayout;
    page->addWidget(PageHeading("Label4", QStringLiteral("Circuit Database"), this));
    page->addWidget(SeparatorLine(this));
    page->addLayout(rows);
    page->addWidget(grdFields_);
    page->addLayout(buttons);
    page->addWidget(SeparatorLine(this));
    page->addWidget(new PictureBox(this), 0, Qt::AlignHCenter);
    page->addStretch(1);

    PlaceGearingGroup(page);

    connect(cboCircuits_, &QComboBox::activated, this, [this] {
        // The user's choice has no caller to pass a failure on to.
        Handled(context_.errors, ".cboCircuits_Click", [this] { cboCircuits_Click(); });
    });
    // A cell too narrow for its text shows it cut; the whole text is its tooltip.
    connect(grdFields_, &QTableWidget::itemChanged, this, [](QTableWidgetItem* item) {
        if (item->toolTip() != item->text())
            item->setToolTip(item->text());
    });
    connect(cmdAddCirquit, &QPushButton::clicked, this, [this] { cmdAddCirquit_Click(); });
    connect(cmdDeleteCirquit, &QPushButton::clicked, this, [this] { cmdDeleteCirquit_Click(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
    connect(cmdCopyValues, &QPushButton::clicked, this, [this] { cmdCopyValues_Click(); });
    // An emptied box means no sprocket yet; unlike on the Details page it is not refused.
    auto* numeric = new NumericBoxes(context_, this);
    numeric->Watch(txtFrontSp_, ".txtFrontSp_LostFocus", NumericBoxes::Empty::kZero);
    numeric->Watch(txtRearSp_, ".txtRearSp_LostFocus", NumericBoxes::Empty::kZero);
}

void CircuitPage::PlaceGearingGroup(QVBoxLayout* page) {
    gearing_ =
        new CircuitGearingPanel(context_, gears_, unit_, setup_, txtFrontSp_, txtRearSp_, this);
    connect(gearing_, &CircuitGearingPanel::printRequested, this,
            [this] { cmdPrintPitCard_Click(); });
    connect(gearing_, &CircuitGearingPanel::exportRequested, this,
            [this] { cmdExportPitCard_Click(); });
    // The gearing group and the sag helper under it scroll where the screen has no room for them
    // beside the described controls.
    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(gearing_);
    sideLayout->addWidget(new SagHelper(context_, grdFields_, side));
    sideLayout->addStretch(1);
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(page);
    columns->addWidget(new FittingScrollArea("scrCircuitGearing", side), 1);
}

void CircuitPage::RefreshCircuitCombo() {
    Handled(context_.errors, ".RefreshCircuitCombo", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        FillNameList(*cboCircuits_, [&] {
            std::vector<ListedName> names;
            for (const std::string& name : ReadCircuitNames(store))
                names.push_back({QString::fromStdString(name)});
            return names;
        });
    });
}

void CircuitPage::cboCircuits_Click() {
    qfstore::PassOn("MainForm.cboCircuits_Click", kComponentName, [&] {
        std::optional<qfstore::Error> missing;
        const auto record = ReadCircuitRecord(context_.store.Get(),
                                              cboCircuits_->currentText().toStdString(), missing);
        // A name without a record (an empty list, or the last circuit deleted) shows nothing.
        if (!record)
            return;
        PlaceCircuitData(*record, missing);
        gearing_->Load(cboCircuits_->currentText());
        emit circuitShown(cboCircuits_->currentText());
    });
}

void CircuitPage::ShowCircuit(const QString& circuit) {
    RefreshCircuitCombo();
    cboCircuits_->setEditText(circuit);
    Handled(context_.errors, ".cboCircuits_Click", [this] { cboCircuits_Click(); });
}

void CircuitPage::PlaceCircuitData(const CircuitRecord& record,
                                   const std::optional<qfstore::Error>& missing) {
    Handled(context_.errors, ".PlaceCircuitData", [&] {
        // A record too short for the page fills what it has and empties the rest, so that no
        // value of the circuit shown before stays under this one's name; then the first missing
        // field is reported.
        for (std::size_t i = 0; i < kSuspensionRows; ++i) {
            const int row = static_cast<int>(i) + 1;
            grdFields_->item(row, kFrontColumn)->setText(record.front[i]);
            grdFields_->item(row, kRearColumn)->setText(record.rear[i]);
        }
        txtFrontSp_->setText(record.frontSprocket);
        txtRearSp_->setText(record.rearSprocket);
        if (missing)
            throw *missing;
    });
}

CircuitRecord CircuitPage::GetCirquitData() {
    CircuitRecord record;
    Handled(context_.errors, ".GetCirquitData", [&] {
        for (std::size_t i = 0; i < kSuspensionRows; ++i) {
            const int row = static_cast<int>(i) + 1;
            record.front[i] = grdFields_->item(row, kFrontColumn)->text();
            record.rear[i] = grdFields_->item(row, kRearColumn)->text();
        }
        record.frontSprocket = txtFrontSp_->text();
        record.rearSprocket = txtRearSp_->text();
    });
    return record;
}

void CircuitPage::ClearCircuitData() {
    Handled(context_.errors, ".ClearCircuitData", [&] {
        for (int column : {kFrontColumn, kRearColumn})
            for (int r = 1; r <= kSuspensionRows; ++r) grdFields_->item(r, column)->setText({});
        txtFrontSp_->clear();
        txtRearSp_->clear();
        gearing_->Clear();
    });
}

void CircuitPage::cmdAddCirquit_Click() {
    Handled(context_.errors, ".cmdAddCirquit_Click", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        const QString name = cboCircuits_->currentText();
        const CircuitRecord record = GetCirquitData();
        // A name or text the settings file cannot hold faithfully is refused; nothing is written.
        std::optional<QString> problem = NameProblem(name, QStringLiteral("circuit"));
        if (!problem)
            problem = CircuitRecordProblem(record.Fields());
        if (problem) {
            context_.dialogs.Message(window(), *problem, kProgramTitle, MessageIcon::Exclamation);
            return;
        }
        WriteCircuitRecord(store, name.toStdString(), record);
        gearing_->Store(name);
        RefreshCircuitCombo();
        // The circuit just saved stays the one shown, so that nothing is filed under another.
        ChooseListed(*cboCircuits_, name);
        cboCircuits_Click();
    });
}

void CircuitPage::cmdDeleteCirquit_Click() {
    Handled(context_.errors, ".cmdDeleteCirquit_Click", [&] {
        qfstore::QfINIFileHandler& store = context_.store.Get();
        const int chosen = ShownItem(*cboCircuits_);
        if (chosen < 0)
            throw qfstore::Error::Runtime(qfstore::kErrObjectNotSet, kComponentName);
        DeleteCircuit(store, cboCircuits_->itemText(chosen).toStdString());
        gearing_->Remove(cboCircuits_->itemText(chosen));
        cboCircuits_->removeItem(chosen);
        ClearCircuitData();
        RefreshCircuitCombo();
        cboCircuits_Click();
    });
}

void CircuitPage::cmdClear_Click() {
    ClearCircuitData();
}

void CircuitPage::cmdCopyValues_Click() {
    Handled(context_.errors, ".cmdCopyValues_Click",
            [&] { setup_.SetSprockets(txtFrontSp_->text(), txtRearSp_->text()); });
}

std::optional<PitCard> CircuitPage::ShownPitCard(QString& problem) const {
    const QString circuit = cboCircuits_->currentText();
    if (circuit.isEmpty()) {
        problem = QStringLiteral("Choose or add a circuit first.");
        return std::nullopt;
    }
    std::optional<qfstore::Error> missing;  // a short record's card shows what it has
    const auto record = ReadCircuitRecord(context_.store.Get(), circuit.toStdString(), missing);
    if (!record) {
        problem = QStringLiteral("No circuit \"%1\" is stored: \"Add\" it first.").arg(circuit);
        return std::nullopt;
    }
    return GatherPitCard(circuit, *record, gears_, unit_.Get(), setup_.Tyre(),
                         setup_.CircumferenceText(), gearing_->TargetRpm());
}

void CircuitPage::cmdPrintPitCard_Click() {
    Handled(context_.errors, ".cmdPrintPitCard_Click", [&] {
        QString problem;
        const auto card = ShownPitCard(problem);
        if (!card || !PrintPitCard(QString::fromStdString(platform::ExecutableFolder()), *card,
                                   window(), context_.dialogs, problem))
            context_.dialogs.Message(window(), problem, kProgramTitle, MessageIcon::Exclamation);
    });
}

void CircuitPage::cmdExportPitCard_Click() {
    Handled(context_.errors, ".cmdExportPitCard_Click", [&] {
        QString problem;
        const auto card = ShownPitCard(problem);
        if (card) {
            const QString path = context_.dialogs.SaveFileName(
                window(), QStringLiteral("Export Pit Card"),
                QDir::home().filePath(card->circuit + QStringLiteral(" pit card.pdf")),
                QStringLiteral("PDF files (*.pdf)"));
            if (path.isEmpty() ||
                ExportPitCard(QString::fromStdString(platform::ExecutableFolder()), *card, path,
                              problem))
                return;
        }
        context_.dialogs.Message(window(), problem, kProgramTitle, MessageIcon::Exclamation);
    });
}

}  // namespace gearsheet
