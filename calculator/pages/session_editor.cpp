#include "pages/session_editor.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "pages/numeric_boxes.h"
#include "pages/session_texts.h"
#include "ui/page_layout.h"

namespace gearsheet {
namespace {

QLineEdit* Box(const char* name, QWidget* parent, int widthTwips = 1100) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMinimumWidth(TwipsWide(parent, widthTwips));
    return box;
}

QComboBox* Choice(const char* name, const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(items);
    return list;
}

QString Text(const std::optional<double>& value, int decimals) {
    return value ? LocaleText(*value, decimals) : QString();
}

// The locale's short date form with four-digit years, so that no year is guessed.
QString DateForm() {
    QString form = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!form.contains(QStringLiteral("yyyy")))
        form.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return form;
}

}  // namespace

struct SessionEditor::Widgets {
    QDateEdit* date;
    QLineEdit* name;
    QComboBox* weather;
    QLineEdit* air;
    QLineEdit* track;
    QLineEdit* frontTyre;
    QComboBox* rearTyre;
    QComboBox* pressureUnit;
    QLineEdit* coldFront;
    QLineEdit* coldRear;
    QLineEdit* hotFront;
    QLineEdit* hotRear;
    QLineEdit* laps;
    QLineEdit* bestLap;
    QLineEdit* topSpeed;
    QLabel* topSpeedUnit;
    QComboBox* gear;
    QLineEdit* engineSpeed;
    QLineEdit* front;
    QLineEdit* rear;
    QTableWidget* setup;
    QPlainTextEdit* notes;
    PressureUnit shownPressure = PressureUnit::kBar;
};

SessionEditor::SessionEditor(FormContext& context, QWidget* parent)
    : QWidget(parent), context_(context), checks_(new NumericBoxes(context, this)) {
    setObjectName(QStringLiteral("SessionEditor"));
    Build();
}

QLayout* SessionEditor::ConditionsForm() {
    Widgets& w = *w_;
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Date:"), w.date);
    form->addRow(QStringLiteral("Session:"), w.name);
    form->addRow(QStringLiteral("Weather:"), w.weather);
    form->addRow(QStringLiteral("Air temperature (°C):"), w.air);
    form->addRow(QStringLiteral("Track temperature (°C):"), w.track);
    form->addRow(QStringLiteral("Front tyre:"), w.frontTyre);
    form->addRow(QStringLiteral("Rear tyre:"), w.rearTyre);
    auto* pressures = new QGridLayout;
    pressures->addWidget(new QLabel(QStringLiteral("Front"), this), 0, 1);
    pressures->addWidget(new QLabel(QStringLiteral("Rear"), this), 0, 2);
    pressures->addWidget(new QLabel(QStringLiteral("Cold:"), this), 1, 0);
    pressures->addWidget(w.coldFront, 1, 1);
    pressures->addWidget(w.coldRear, 1, 2);
    pressures->addWidget(new QLabel(QStringLiteral("Hot:"), this), 2, 0);
    pressures->addWidget(w.hotFront, 2, 1);
    pressures->addWidget(w.hotRear, 2, 2);
    pressures->addWidget(w.pressureUnit, 1, 3);
    form->addRow(QStringLiteral("Pressures:"), pressures);
    form->addRow(QStringLiteral("Laps:"), w.laps);
    form->addRow(QStringLiteral("Best lap:"), w.bestLap);
    auto* top = new QHBoxLayout;
    top->addWidget(w.topSpeed);
    top->addWidget(w.topSpeedUnit);
    form->addRow(QStringLiteral("Top speed:"), top);
    form->addRow(QStringLiteral("In gear:"), w.gear);
    form->addRow(QStringLiteral("Or engine speed (rpm):"), w.engineSpeed);
    return form;
}

QLayout* SessionEditor::SetupColumn() {
    Widgets& w = *w_;
    auto* sprockets = new QHBoxLayout;
    sprockets->addWidget(new QLabel(QStringLiteral("Front Sprocket:"), this));
    sprockets->addWidget(w.front);
    sprockets->addWidget(new QLabel(QStringLiteral("Rear Sprocket:"), this));
    sprockets->addWidget(w.rear);
    sprockets->addStretch(1);
    auto* column = new QVBoxLayout;
    column->addLayout(sprockets);
    column->addWidget(w.setup);
    column->addWidget(new QLabel(QStringLiteral("Notes:"), this));
    column->addWidget(w.notes, 1);
    return column;
}

void SessionEditor::Build() {
    w_ = std::make_unique<Widgets>();
    Widgets& w = *w_;
    w.date = new QDateEdit(this);
    w.date->setObjectName(QStringLiteral("dteSessionDate"));
    w.date->setCalendarPopup(true);
    w.date->setDisplayFormat(DateForm());
    w.name = Box("txtSessionName", this, 2400);
    w.weather = Choice(
        "cboWeather",
        {QString(), QStringLiteral("dry"), QStringLiteral("damp"), QStringLiteral("wet")}, this);
    w.air = Box("txtAirTemp", this);
    w.track = Box("txtTrackTemp", this);
    w.frontTyre = Box("txtFrontTyre", this, 2400);
    w.rearTyre = NameList("cboRearTyre", this);
    w.pressureUnit =
        Choice("cboPressureUnit", {QStringLiteral("bar"), QStringLiteral("psi")}, this);
    w.coldFront = Box("txtColdFront", this, 700);
    w.coldRear = Box("txtColdRear", this, 700);
    w.hotFront = Box("txtHotFront", this, 700);
    w.hotRear = Box("txtHotRear", this, 700);
    w.laps = Box("txtLaps", this);
    w.bestLap = Box("txtBestLap", this);
    w.topSpeed = Box("txtTopSpeed", this);
    w.topSpeedUnit = new QLabel(this);
    w.topSpeedUnit->setObjectName(QStringLiteral("lblTopSpeedUnit"));
    w.gear = Choice("cboSessionGear",
                    {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                     QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")},
                    this);
    w.engineSpeed = Box("txtEngineSpeed", this);
    w.front = Box("txtSessionFront", this, 735);
    w.rear = Box("txtSessionRear", this, 735);
    w.setup = new QTableWidget(kSessionSuspensionRows, 2, this);
    w.setup->setObjectName(QStringLiteral("grdSessionSetup"));
    w.setup->setHorizontalHeaderLabels({QStringLiteral("FRONT"), QStringLiteral("REAR")});
    w.setup->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    w.setup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    w.setup->setFixedHeight(w.setup->horizontalHeader()->sizeHint().height() +
                            kSessionSuspensionRows *
                                w.setup->verticalHeader()->defaultSectionSize() +
                            2 * w.setup->frameWidth());
    for (int r = 0; r < kSessionSuspensionRows; ++r)
        for (int c = 0; c < 2; ++c) w.setup->setItem(r, c, new QTableWidgetItem);
    w.notes = new QPlainTextEdit(this);
    w.notes->setObjectName(QStringLiteral("txtNotes"));
    w.notes->setTabChangesFocus(true);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addLayout(ConditionsForm());
    columns->addLayout(SetupColumn(), 1);
    WatchBoxes();
    connect(w.pressureUnit, &QComboBox::activated, this, [this](int index) {
        const PressureUnit unit = index == 1 ? PressureUnit::kPsi : PressureUnit::kBar;
        ShowPressuresIn(unit);
        if (pressureUnitChosen)
            pressureUnitChosen(unit);
    });
}

void SessionEditor::WatchBoxes() {
    Widgets& w = *w_;
    const auto temperature = [](const QString& label) {
        return [label](const QString& text) {
            return RangeProblem(label, text, TemperatureRange(), QStringLiteral("°C"), false);
        };
    };
    checks_->Watch(w.air, temperature(QStringLiteral("Air temperature")));
    checks_->Watch(w.track, temperature(QStringLiteral("Track temperature")));
    const std::pair<QLineEdit*, const char*> pressures[] = {{w.coldFront, "Cold pressure front"},
                                                            {w.coldRear, "Cold pressure rear"},
                                                            {w.hotFront, "Hot pressure front"},
                                                            {w.hotRear, "Hot pressure rear"}};
    for (const auto& [box, label] : pressures)
        checks_->Watch(box, [this, label = QString::fromLatin1(label)](const QString& text) {
            const PressureUnit unit = w_->shownPressure;
            return RangeProblem(label, text, PressureRange(unit),
                                QString::fromLatin1(PressureUnitName(unit)), false);
        });
    checks_->Watch(w.laps, [](const QString& text) {
        return RangeProblem(QStringLiteral("Laps"), text, LapsRange(), {}, true);
    });
    checks_->Watch(w.bestLap, [](const QString& text) {
        return LapTimeProblem(QStringLiteral("Best lap"), text);
    });
    checks_->Watch(w.topSpeed, [this](const QString& text) {
        return RangeProblem(QStringLiteral("Top speed"), text, TopSpeedRange(),
                            w_->topSpeedUnit->text(), false);
    });
    checks_->Watch(w.engineSpeed, [](const QString& text) {
        return RangeProblem(QStringLiteral("Engine speed"), text, EngineSpeedRange(),
                            QStringLiteral("rpm"), false);
    });
    checks_->Watch(w.front, [](const QString& text) {
        return SprocketProblem(QStringLiteral("Front sprocket"), text);
    });
    checks_->Watch(w.rear, [](const QString& text) {
        return SprocketProblem(QStringLiteral("Rear sprocket"), text);
    });
}

void SessionEditor::SetTyres(const QStringList& names) {
    const QString shown = w_->rearTyre->currentText();
    w_->rearTyre->clear();
    w_->rearTyre->addItems(names);
    w_->rearTyre->setEditText(shown);
}

void SessionEditor::Show(const Session& s) {
    Widgets& w = *w_;
    shown_ = s;
    w.date->setDate(DateFromIso(s.date));
    w.name->setText(QString::fromStdString(s.name));
    w.weather->setCurrentIndex(static_cast<int>(s.weather));
    w.frontTyre->setText(QString::fromStdString(s.frontTyre));
    w.rearTyre->setEditText(QString::fromStdString(s.rearTyre));
    ShowNumbers(s);
    w.front->setText(QString::fromStdString(s.frontSprocket));
    w.rear->setText(QString::fromStdString(s.rearSprocket));
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        const QString rowName = QString::fromStdString(s.rowNames[at]);
        if (QTableWidgetItem* heading = w.setup->verticalHeaderItem(r))
            heading->setText(rowName);
        else
            w.setup->setVerticalHeaderItem(r, new QTableWidgetItem(rowName));
        w.setup->item(r, 0)->setText(QString::fromStdString(s.front[at]));
        w.setup->item(r, 1)->setText(QString::fromStdString(s.rear[at]));
    }
    w.notes->setPlainText(QString::fromStdString(s.notes));
}

void SessionEditor::ShowNumbers(const Session& s) {
    Widgets& w = *w_;
    w.air->setText(Text(s.airTemperature, 1));
    w.track->setText(Text(s.trackTemperature, 1));
    w.shownPressure = s.pressureUnit;
    w.pressureUnit->setCurrentIndex(s.pressureUnit == PressureUnit::kPsi ? 1 : 0);
    // Shown as stored: every decimal the rider typed.
    w.coldFront->setText(Text(s.coldFront, 6));
    w.coldRear->setText(Text(s.coldRear, 6));
    w.hotFront->setText(Text(s.hotFront, 6));
    w.hotRear->setText(Text(s.hotRear, 6));
    w.laps->setText(s.laps ? QString::number(*s.laps) : QString());
    w.bestLap->setText(s.bestLapMs
                           ? QString::fromStdString(LapTimeText(
                                 *s.bestLapMs, QLocale::system().decimalPoint().toStdString()))
                           : QString());
    w.topSpeed->setText(Text(s.topSpeed, 6));
    w.topSpeedUnit->setText(QString::fromLatin1(UnitName(s.speedUnit)));
    w.gear->setCurrentIndex(s.gear && *s.gear >= 1 && *s.gear <= 6 ? *s.gear : 0);
    w.engineSpeed->setText(Text(s.engineSpeed, 6));
}

void SessionEditor::ShowPressuresIn(PressureUnit unit) {
    Widgets& w = *w_;
    const int decimals = unit == PressureUnit::kBar ? 2 : 1;
    for (QLineEdit* box : {w.coldFront, w.coldRear, w.hotFront, w.hotRear})
        if (const std::optional<double> value = TypedNumber(box->text()))
            box->setText(LocaleText(ConvertPressure(*value, w.shownPressure, unit), decimals));
    w.shownPressure = unit;
    w.pressureUnit->setCurrentIndex(unit == PressureUnit::kPsi ? 1 : 0);
}

void SessionEditor::TakeNumbers(Session& s) const {
    const Widgets& w = *w_;
    s.airTemperature = TypedNumber(w.air->text());
    s.trackTemperature = TypedNumber(w.track->text());
    s.pressureUnit = w.shownPressure;
    s.coldFront = TypedNumber(w.coldFront->text());
    s.coldRear = TypedNumber(w.coldRear->text());
    s.hotFront = TypedNumber(w.hotFront->text());
    s.hotRear = TypedNumber(w.hotRear->text());
    const std::optional<double> laps = TypedNumber(w.laps->text());
    s.laps = laps ? std::optional(static_cast<int>(*laps)) : std::nullopt;
    s.bestLapMs = ParseLapTime(w.bestLap->text().toStdString());
    s.topSpeed = TypedNumber(w.topSpeed->text());
    s.gear = w.gear->currentIndex() > 0 ? std::optional(w.gear->currentIndex()) : std::nullopt;
    s.engineSpeed = TypedNumber(w.engineSpeed->text());
}

std::optional<Session> SessionEditor::Take() {
    if (checks_->FirstRefused())
        return std::nullopt;
    const Widgets& w = *w_;
    Session s = shown_;
    s.date = w.date->date().toString(Qt::ISODate).toStdString();
    s.name = w.name->text().toStdString();
    s.weather = static_cast<Weather>(w.weather->currentIndex());
    s.frontTyre = w.frontTyre->text().toStdString();
    s.rearTyre = w.rearTyre->currentText().toStdString();
    TakeNumbers(s);
    s.frontSprocket = w.front->text().toStdString();
    s.rearSprocket = w.rear->text().toStdString();
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        s.front[at] = w.setup->item(r, 0)->text().toStdString();
        s.rear[at] = w.setup->item(r, 1)->text().toStdString();
    }
    s.notes = w.notes->toPlainText().toStdString();
    return s;
}

}  // namespace gearsheet
