#include "pages/session_log_page.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "pages/circuit_record.h"
#include "pages/session_compare_view.h"
#include "pages/session_editor.h"
#include "pages/session_list_model.h"
#include "pages/session_log_widgets.h"
#include "pages/session_texts.h"
#include "pages/speed_unit_choice.h"
#include "platform/ascii.h"
#include "platform/module.h"
#include "settings/circuits.h"
#include "settings/display_settings.h"
#include "settings/settings_file.h"
#include "settings/tyres.h"
#include "ui/dialogs.h"
#include "ui/page_layout.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

constexpr int kCompareTab = 1;
constexpr int kChartTab = 2;

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

SessionLogPage::SessionLogPage(FormContext& context, SpeedUnitChoice& unit, const SetupModel& setup,
                               QWidget* parent)
    : QWidget(parent), context_(context), unit_(unit), setup_(setup) {
    setObjectName(QStringLiteral("SessionLogPage"));
}

SessionLogPage::~SessionLogPage() = default;

void SessionLogPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Handled(context_.errors, ".SessionLog_Show", [&] {
        if (!ui_)
            Build();
        RefreshCircuits();
    });
}

void SessionLogPage::Build() {
    SettingsStore& store = context_.store;
    files_ = std::make_unique<SessionFiles>(
        store.Get().Path(), [&store](const std::string& path) { return store.Open(path); });
    log_ = std::make_unique<SessionLog>(*files_);
    ui_ = std::make_unique<Widgets>();
    Widgets& w = *ui_;
    // The widgets go into one body that the page, already visible, shows as a whole once they
    // are filled, instead of showing and laying out each one as it comes.
    auto* body = new QWidget(this);
    w.circuits = new QComboBox(body);
    w.circuits->setObjectName(QStringLiteral("cboSessionCircuit"));
    w.circuits->setMinimumWidth(TwipsWide(this, 4335));
    w.list = new QTreeView(body);
    w.list->setObjectName(QStringLiteral("lstSessions"));
    w.list->setRootIsDecorated(false);
    w.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    w.sessions = new SessionListModel(w.list);
    w.list->setModel(w.sessions);
    w.list->setUniformRowHeights(true);
    w.list->setMinimumHeight(w.list->fontMetrics().height() * 9);
    w.views = new QTabWidget(body);
    w.views->setObjectName(QStringLiteral("tabSessionViews"));
    // Filled once it is in its place: a tab is laid out as it is added.
    auto* sessionTab = new QWidget(body);
    w.views->addTab(sessionTab, QStringLiteral("Session"));
    BuildSessionTab(sessionTab);
    // The comparison and the chart are made when first asked for: opening the tab shows neither.
    w.compareArea = new QWidget(body);
    w.compareArea->setObjectName(QStringLiteral("SessionCompareArea"));
    (new QVBoxLayout(w.compareArea))->setContentsMargins(0, 0, 0, 0);
    w.views->addTab(w.compareArea, QStringLiteral("Compare"));
    w.chartArea = new QWidget(body);
    w.chartArea->setObjectName(QStringLiteral("BestLapArea"));
    new QVBoxLayout(w.chartArea);
    w.views->addTab(w.chartArea, QStringLiteral("Best Laps"));
    LayOut(body);
    Connect();
}

void SessionLogPage::LayOut(QWidget* body) {
    Widgets& w = *ui_;
    auto* chooser = new QHBoxLayout;
    chooser->addWidget(PlainLabel(QStringLiteral("Circuit:"), body));
    chooser->addWidget(w.circuits);
    chooser->addStretch(1);
    for (auto [name, text] :
         {std::pair{"cmdNewSession", "New Session"}, std::pair{"cmdCompareSessions", "Compare"},
          std::pair{"cmdExportCsv", "Export CSV…"},
          std::pair{"cmdExportAllCsv", "Export All CSV…"}})
        chooser->addWidget(Button(name, QString::fromUtf8(text), body));
    auto* column = new QVBoxLayout(body);
    column->addWidget(PageHeading("lblSessionLog", QStringLiteral("Session Log"), body));
    column->addWidget(SeparatorLine(body));
    column->addLayout(chooser);
    column->addWidget(w.list, 1);
    column->addWidget(w.views, 2);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(body);
}

void SessionLogPage::BuildSessionTab(QWidget* tab) {
    Widgets& w = *ui_;
    w.editor = new SessionEditor(context_, tab);
    w.editor->pressureUnitChosen = [this](PressureUnit unit) {
        Handled(context_.errors, ".cboPressureUnit_Click",
                [&] { settings::SavePressureUnit(context_.store.Get(), PressureUnitName(unit)); });
    };
    auto* buttons = new QHBoxLayout;
    for (auto [name, text] :
         {std::pair{"cmdSaveSession", "Save"}, std::pair{"cmdDeleteSession", "Delete"},
          std::pair{"cmdUseSetup", "Use this setup"},
          std::pair{"cmdUseObservation", "Use this observation"}})
        buttons->addWidget(Button(name, QString::fromUtf8(text), tab));
    buttons->addStretch(1);
    for (auto [name, text] :
         {std::pair{"cmdPrintSession", "Print…"}, std::pair{"cmdExportSessionPdf", "Export PDF…"}})
        buttons->addWidget(Button(name, QString::fromUtf8(text), tab));
    auto* column = new QVBoxLayout(tab);
    column->addWidget(w.editor, 1);
    column->addLayout(buttons);
}

void SessionLogPage::Connect() {
    Widgets& w = *ui_;
    const auto on = [this](const char* name, const char* procedure, void (SessionLogPage::*run)()) {
        connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this,
                [this, procedure, run] {
                    Handled(context_.errors, procedure, [&] { (this->*run)(); });
                });
    };
    on("cmdNewSession", ".cmdNewSession_Click", &SessionLogPage::cmdNewSession_Click);
    on("cmdSaveSession", ".cmdSaveSession_Click", &SessionLogPage::cmdSaveSession_Click);
    on("cmdDeleteSession", ".cmdDeleteSession_Click", &SessionLogPage::cmdDeleteSession_Click);
    on("cmdCompareSessions", ".cmdCompareSessions_Click",
       &SessionLogPage::cmdCompareSessions_Click);
    on("cmdUseSetup", ".cmdUseSetup_Click", &SessionLogPage::cmdUseSetup_Click);
    on("cmdUseObservation", ".cmdUseObservation_Click", &SessionLogPage::cmdUseObservation_Click);
    connect(findChild<QPushButton*>(QStringLiteral("cmdExportCsv")), &QPushButton::clicked, this,
            [this] { ExportCsv(false); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdExportAllCsv")), &QPushButton::clicked, this,
            [this] { ExportCsv(true); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdPrintSession")), &QPushButton::clicked, this,
            [this] { PrintSession(false); });
    connect(findChild<QPushButton*>(QStringLiteral("cmdExportSessionPdf")), &QPushButton::clicked,
            this, [this] { PrintSession(true); });
    connect(w.circuits, &QComboBox::activated, this, [this] {
        Handled(context_.errors, ".cboSessionCircuit_Click", [&] { ChooseCircuit(); });
    });
    connect(w.list, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { ShowSession(ui_->sessions->KeyAt(index.row())); });
    connect(w.list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid() && ui_->sessions->KeyAt(index.row()) != key_)
                    ShowSession(ui_->sessions->KeyAt(index.row()));
            });
    connect(w.views, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == kCompareTab)
            CompareView();
        if (index == kChartTab)
            RefreshChart();
    });
}

void SessionLogPage::RefreshCircuits() {
    Widgets& w = *ui_;
    const QString chosen = w.circuits->currentData().toString();
    w.circuits->clear();
    const std::vector<std::string> names = ReadCircuitNames(context_.store.Get());
    for (const std::string& name : names) {
        const QString shown = QString::fromStdString(name);
        w.circuits->addItem(shown, shown);
    }
    // Sessions keep the name they were saved under: a circuit renamed or deleted since is
    // still offered, marked, after the circuit database's. Circuit names are INI keys, which
    // ignore the case of ASCII letters only.
    for (const std::string& logged : log_->Circuits()) {
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) {
                return platform::ascii::SameIgnoringCase(n, logged);
            })) {
            const QString name = QString::fromStdString(logged);
            w.circuits->addItem(name + QStringLiteral(" (not in the circuit database)"), name);
        }
    }
    const int followed = follow_.isEmpty() ? -1 : w.circuits->findData(follow_);
    follow_.clear();
    w.circuits->setCurrentIndex(followed >= 0 ? followed
                                              : std::max(0, w.circuits->findData(chosen)));
    QStringList tyres;
    std::optional<qfstore::Error> unread;  // the Details page reports an unreadable tyre
    for (const StoredTyre& t : ReadTyres(context_.store.Get(), unread))
        tyres << QString::fromStdString(t.name);
    w.editor->SetTyres(tyres);
    if (!shownOnce_ || w.circuits->currentData().toString() != chosen)
        ChooseCircuit();
    shownOnce_ = true;
}

void SessionLogPage::FollowCircuit(const QString& circuit) {
    follow_ = circuit;
}

void SessionLogPage::ChooseCircuit() {
    log_->Choose(ui_->circuits->currentData().toString().toStdString());
    ShowNewest();
}

void SessionLogPage::ShowNewest() {
    FillList();
    const std::vector<LoggedSession>& sessions = log_->Sessions();
    if (sessions.empty())
        cmdNewSession_Click();
    else
        ShowSession(QString::fromStdString(sessions.front().key));
    if (ui_->chart)
        RefreshChart();
}

void SessionLogPage::FillList() {
    ui_->sessions->Show(log_->Sessions());
}

const LoggedSession* SessionLogPage::Logged(const QString& key) const {
    const std::string wanted = key.toStdString();
    for (const LoggedSession& logged : log_->Sessions())
        if (logged.key == wanted)
            return &logged;
    return nullptr;
}

void SessionLogPage::ShowSession(const QString& key) {
    const LoggedSession* logged = Logged(key);
    if (!logged)
        return;
    key_ = key;
    ui_->editor->Show(logged->session);
    // The list's own choice of this row finds it shown already.
    ui_->list->setCurrentIndex(ui_->sessions->index(ui_->sessions->RowOf(key), 0));
}

PressureUnit SessionLogPage::DisplayPressureUnit() {
    return PressureUnitFromName(settings::LoadPressureUnit(context_.store.Get()));
}

Session SessionLogPage::FromCircuitRecord(const std::string& circuit) {
    Session s;
    // A short record gives what it has, the rest empty, as the circuit page shows it.
    std::optional<qfstore::Error> missing;
    const CircuitRecord record =
        ReadCircuitRecord(context_.store.Get(), circuit, missing).value_or(CircuitRecord{});
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        s.rowNames[at] = settings::kSuspensionRowNames[r];
        s.front[at] = record.front[at].toStdString();
        s.rear[at] = record.rear[at].toStdString();
    }
    s.frontSprocket = record.frontSprocket.toStdString();
    s.rearSprocket = record.rearSprocket.toStdString();
    s.rearTyre = setup_.Tyre().toStdString();
    return s;
}

void SessionLogPage::cmdNewSession_Click() {
    const std::string today = QDate::currentDate().toString(Qt::ISODate).toStdString();
    const std::vector<LoggedSession>& sessions = log_->Sessions();
    Session s = sessions.empty() ? FromCircuitRecord(log_->Circuit())
                                 : NextSession(sessions.front().session, today);
    s.circuit = log_->Circuit();
    s.date = today;
    s.speedUnit = unit_.Get();
    key_.clear();
    ui_->list->clearSelection();
    ui_->editor->Show(s);
    ui_->editor->ShowPressuresIn(DisplayPressureUnit());
}

void SessionLogPage::cmdSaveSession_Click() {
    std::optional<Session> s = ui_->editor->Take();
    if (!s)
        return;
    s->circuit = log_->Circuit();
    key_ = QString::fromStdString(log_->Save(std::move(*s), key_.toStdString()));
    FillList();
    ShowSession(key_);
    if (ui_->chart)
        RefreshChart();
}

void SessionLogPage::cmdDeleteSession_Click() {
    const LoggedSession* logged = Logged(key_);
    if (!logged) {
        context_.dialogs.Message(window(),
                                 QStringLiteral("This session is not saved: there is "
                                                "nothing to delete."),
                                 kProgramTitle, MessageIcon::Exclamation);
        return;
    }
    const Session& s = logged->session;
    const QString question = QStringLiteral("Delete the session \"%1\" of %2 at %3?")
                                 .arg(QString::fromStdString(s.name), ShortDate(s.date),
                                      QString::fromStdString(log_->Circuit()));
    if (!context_.dialogs.Confirm(window(), question, kProgramTitle))
        return;
    log_->Delete(key_.toStdString());
    ShowNewest();
}

}  // namespace gearsheet
