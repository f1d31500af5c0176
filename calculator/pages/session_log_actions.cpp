// What the Session Log's buttons do beyond the log itself: compare, take a session's setup or
// observation into the circuit database, export as CSV, print a session's sheet, and draw the
// best-lap chart.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QSaveFile>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "chart_module/chart_loader.h"
#include "pages/circuit_record.h"
#include "pages/pit_card.h"
#include "pages/record_names.h"
#include "pages/session_compare_view.h"
#include "pages/session_editor.h"
#include "pages/session_list_model.h"
#include "pages/session_log_page.h"
#include "pages/session_log_widgets.h"
#include "pages/session_texts.h"
#include "pages/speed_unit_choice.h"
#include "platform/module.h"
#include "sessions/session_csv.h"
#include "settings/circuit_gearing_records.h"
#include "settings/settings_file.h"
#include "ui/dialogs.h"
#include "window/settings_store.h"
#include "window/setup_model.h"

namespace gearsheet {
namespace {

constexpr int kCompareTab = 1;

QString ProgramFolder() {
    return QString::fromStdString(platform::ExecutableFolder());
}

// What the circuit's gearing group keeps from the session: its sprockets and what it saw at the
// end of the straight (the engine speed when it was read, else the road speed and gear); the
// shift light and the tyre stay as the circuit's record has them. Nothing, with the reason, when
// the session saw nothing or its sprockets are not numbers of teeth.
std::optional<settings::CircuitGearing> Observation(
    const Session& s, const std::optional<settings::CircuitGearing>& old, QString& problem) {
    const std::optional<int> front = TeethFromText(QString::fromStdString(s.frontSprocket));
    const std::optional<int> rear = TeethFromText(QString::fromStdString(s.rearSprocket));
    settings::CircuitGearing g = old.value_or(settings::CircuitGearing{});
    if (s.engineSpeed && *s.engineSpeed > 0) {
        g.byEngineSpeed = true;
        g.engineSpeed = *s.engineSpeed;
    } else if (s.topSpeed && *s.topSpeed > 0 && s.gear) {
        g.byEngineSpeed = false;
        g.roadSpeed = *s.topSpeed;
        g.unit = std::string(UnitName(s.speedUnit));
        g.gear = *s.gear;
    } else {
        problem = QStringLiteral(
            "This session has no observation: give the engine speed at the end of the longest "
            "straight, or the top speed and the gear it was reached in.");
        return std::nullopt;
    }
    if (!front || !rear) {
        problem = QStringLiteral("The session's sprockets are not numbers of teeth.");
        return std::nullopt;
    }
    g.seenFront = *front;
    g.seenRear = *rear;
    return g;
}

}  // namespace

void SessionLogPage::cmdCompareSessions_Click() {
    QStringList keys;
    for (const QModelIndex& index : ui_->list->selectionModel()->selectedIndexes()) {
        const QString key = ui_->sessions->KeyAt(index.row());
        if (!keys.contains(key))
            keys << key;
    }
    const std::vector<LoggedSession>& sessions = log_->Sessions();
    if (keys.size() < 2 && !key_.isEmpty()) {
        // The shown session against the one before it.
        keys = {key_};
        const auto shown = std::find_if(sessions.begin(), sessions.end(), [&](const auto& s) {
            return QString::fromStdString(s.key) == key_;
        });
        if (shown != sessions.end() && shown + 1 != sessions.end())
            keys << QString::fromStdString((shown + 1)->key);
    }
    if (keys.isEmpty())
        return;
    // The list shows the newest first: the older session is the first of the two.
    const QString newer = keys.first();
    const QString older = keys.size() > 1 ? keys[1] : keys.first();
    const QString circuit = QString::fromStdString(log_->Circuit());
    QList<QPair<QString, QString>> circuits;
    for (int i = 0; i < ui_->circuits->count(); ++i)
        circuits << qMakePair(ui_->circuits->itemText(i), ui_->circuits->itemData(i).toString());
    SessionCompareView& compare = CompareView();
    compare.SetCircuits(circuits, LocaleUnits(DisplayPressureUnit(), unit_.Get()));
    compare.Compare(circuit, older, circuit, newer);
    ui_->views->setCurrentIndex(kCompareTab);
}

void SessionLogPage::cmdUseSetup_Click() {
    const std::optional<Session> s = ui_->editor->Take();
    if (!s)
        return;
    const QString circuit = QString::fromStdString(log_->Circuit());
    CircuitRecord record;
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        record.front[at] = QString::fromStdString(s->front[at]);
        record.rear[at] = QString::fromStdString(s->rear[at]);
    }
    record.frontSprocket = QString::fromStdString(s->frontSprocket);
    record.rearSprocket = QString::fromStdString(s->rearSprocket);
    // The circuit record takes what "Add" on the Circuit Database page takes, and nothing else.
    std::optional<QString> problem = NameProblem(circuit, QStringLiteral("circuit"));
    if (!problem)
        problem = CircuitRecordProblem(record.Fields());
    if (problem) {
        context_.dialogs.Message(window(), *problem, kProgramTitle, MessageIcon::Exclamation);
        return;
    }
    WriteCircuitRecord(context_.store.Get(), circuit.toStdString(), record);
    emit circuitChanged(circuit);
}

void SessionLogPage::cmdUseObservation_Click() {
    const std::optional<Session> s = ui_->editor->Take();
    if (!s)
        return;
    const std::string circuit = log_->Circuit();
    qfstore::QfINIFileHandler& store = context_.store.Get();
    QString problem;
    const std::optional<settings::CircuitGearing> g =
        Observation(*s, settings::LoadCircuitGearing(store, circuit), problem);
    if (!g) {
        context_.dialogs.Message(window(), problem, kProgramTitle, MessageIcon::Exclamation);
        return;
    }
    settings::SaveCircuitGearing(store, circuit, *g);
    emit circuitChanged(QString::fromStdString(circuit));
}

void SessionLogPage::ExportCsv(bool allCircuits) {
    Handled(context_.errors, allCircuits ? ".cmdExportAllCsv_Click" : ".cmdExportCsv_Click", [&] {
        const QString circuit = QString::fromStdString(log_->Circuit());
        const QString path = context_.dialogs.SaveFileName(
            window(), QStringLiteral("Export Sessions"),
            QDir::home().filePath((allCircuits ? QStringLiteral("All") : circuit) +
                                  QStringLiteral(" sessions.csv")),
            QStringLiteral("CSV files (*.csv)"));
        if (path.isEmpty())
            return;
        std::vector<Session> sessions;
        const auto add = [&](std::vector<LoggedSession> logged) {
            // Oldest first, as a spreadsheet is read.
            for (auto it = logged.rbegin(); it != logged.rend(); ++it)
                sessions.push_back(std::move(it->session));
        };
        if (allCircuits)
            for (const std::string& c : log_->Circuits()) add(log_->Read(c));
        else
            add(log_->Sessions());
        const std::string csv = SessionsCsv(sessions, DisplayPressureUnit(), unit_.Get());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(csv.data(), static_cast<qint64>(csv.size())) !=
                static_cast<qint64>(csv.size()) ||
            !file.commit())
            context_.dialogs.Message(
                window(),
                QStringLiteral("%1 could not be written. %2").arg(path, file.errorString()),
                kProgramTitle, MessageIcon::Exclamation);
    });
}

void SessionLogPage::PrintSession(bool toPdf) {
    Handled(context_.errors, toPdf ? ".cmdExportSessionPdf_Click" : ".cmdPrintSession_Click", [&] {
        const std::optional<Session> s = ui_->editor->Take();
        if (!s)
            return;
        PitCard card;
        card.circuit = QString::fromStdString(log_->Circuit() + "  " + s->name);
        card.date = ShortDate(s->date);
        const ShownUnits units = LocaleUnits(DisplayPressureUnit(), unit_.Get());
        for (const FieldView& v : SessionFieldViews(*s, units)) {
            // The heading carries circuit, name and date; the table the cells; notes come last.
            if (v.label == "Circuit" || v.label == "Date" || v.label == "Session" ||
                v.label == "Notes" || v.label.find(": ") != std::string::npos || v.text.empty())
                continue;
            const std::string label = v.unit == "s" ? "Best lap" : v.label;  // shown as m:ss
            card.details << QString::fromStdString(label + ": " + v.text);
        }
        if (!s->notes.empty())
            card.details << QStringLiteral("Notes:")
                         << QString::fromStdString(s->notes).split(QLatin1Char('\n'));
        card.suspension << QStringList{QString(), QStringLiteral("FRONT"), QStringLiteral("REAR")};
        for (int r = 0; r < kSessionSuspensionRows; ++r) {
            const auto at = static_cast<size_t>(r);
            card.suspension << QStringList{QString::fromStdString(s->rowNames[at]),
                                           QString::fromStdString(s->front[at]),
                                           QString::fromStdString(s->rear[at])};
        }
        QString problem;
        bool done = true;
        if (toPdf) {
            const QString path = context_.dialogs.SaveFileName(
                window(), QStringLiteral("Export Session Sheet"),
                QDir::home().filePath(card.circuit + QStringLiteral(".pdf")),
                QStringLiteral("PDF files (*.pdf)"));
            done = path.isEmpty() || ExportPitCard(ProgramFolder(), card, path, problem);
        } else {
            done = PrintPitCard(ProgramFolder(), card, window(), context_.dialogs, problem);
        }
        if (!done)
            context_.dialogs.Message(window(), problem, kProgramTitle, MessageIcon::Exclamation);
    });
}

SessionCompareView& SessionLogPage::CompareView() {
    Widgets& w = *ui_;
    if (!w.compare) {
        w.compare = new SessionCompareView(
            [this](const QString& circuit) {
                return circuit == QString::fromStdString(log_->Circuit())
                           ? log_->Sessions()
                           : log_->Read(circuit.toStdString());
            },
            w.compareArea);
        w.compareArea->layout()->addWidget(w.compare);
    }
    return *w.compare;
}

void SessionLogPage::RefreshChart() {
    Widgets& w = *ui_;
    if (!w.chart && !w.chartProblem) {
        QString problem;
        w.chart = CreateBestLapChart(ProgramFolder(), w.chartArea, problem);
        if (w.chart)
            w.chartArea->layout()->addWidget(w.chart->Widget());
        else
            w.chartArea->layout()->addWidget(
                w.chartProblem = new QLabel(QStringLiteral("No chart: ") + problem, w.chartArea));
    }
    if (!w.chart)
        return;
    const std::string point = QLocale::system().decimalPoint().toStdString();
    QList<BestLapPoint> points;
    const std::vector<LoggedSession>& sessions = log_->Sessions();
    for (auto it = sessions.rbegin(); it != sessions.rend(); ++it) {
        const Session& s = it->session;
        if (!s.bestLapMs || !DateFromIso(s.date).isValid())
            continue;
        points << BestLapPoint{
            DateFromIso(s.date), static_cast<double>(*s.bestLapMs) / 1000,
            QStringLiteral("%1, %2: %3 on %4")
                .arg(QString::fromStdString(s.name), ShortDate(s.date),
                     QString::fromStdString(LapTimeText(*s.bestLapMs, point)), SprocketsText(s))};
    }
    w.chart->Show(QString::fromStdString(log_->Circuit()), points);
}

}  // namespace gearsheet
