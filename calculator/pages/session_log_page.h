// The "Session Log" page: the sessions run at each circuit, newest first, one shown in a form to
// change and save, two compared side by side, the best lap over the sessions as a chart, and the
// export of sessions as CSV and of one session as a printed sheet. Its widgets are made, and the
// session files first read, when the page is first shown.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "sessions/session_log.h"
#include "window/form_context.h"

namespace gearsheet {

class SessionCompareView;
class SetupModel;
class SpeedUnitChoice;

class SessionLogPage : public QWidget {
    Q_OBJECT
  public:
    // A session started from a circuit record takes the rider's tyre from `setup`.
    SessionLogPage(FormContext& context, SpeedUnitChoice& unit, const SetupModel& setup,
                   QWidget* parent = nullptr);
    ~SessionLogPage() override;

    // The circuit the rider chose on the Circuit Database page: the log turns to it the next time
    // it is shown, so that a new session is filed under the circuit the rider works on.
    void FollowCircuit(const QString& circuit);

  signals:
    // The record of `circuit` in the circuit database, or its gearing observation, was written.
    void circuitChanged(const QString& circuit);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Widgets;

    void Build();
    void BuildSessionTab(QWidget* tab);
    void LayOut(QWidget* body);
    void Connect();
    // Offers the circuit database's circuits, then the names that only sessions still carry, and
    // lists the chosen circuit's sessions; the shown session, and what is typed into it, stays
    // while the circuit does.
    void RefreshCircuits();
    void ChooseCircuit();
    // Lists the chosen circuit's sessions and shows the newest (a new one when there is none).
    void ShowNewest();
    void FillList();
    void ShowSession(const QString& key);
    const LoggedSession* Logged(const QString& key) const;
    Session FromCircuitRecord(const std::string& circuit);
    // The comparison, made the first time it is asked for.
    SessionCompareView& CompareView();
    void RefreshChart();
    PressureUnit DisplayPressureUnit();

    void cmdNewSession_Click();
    void cmdSaveSession_Click();
    void cmdDeleteSession_Click();
    void cmdCompareSessions_Click();
    void cmdUseSetup_Click();
    void cmdUseObservation_Click();
    void ExportCsv(bool allCircuits);
    void PrintSession(bool toPdf);

    FormContext& context_;
    SpeedUnitChoice& unit_;
    const SetupModel& setup_;
    std::unique_ptr<SessionFiles> files_;
    std::unique_ptr<SessionLog> log_;
    std::unique_ptr<Widgets> ui_;
    QString key_;     // the shown session's; empty for a new one not saved yet
    QString follow_;  // the circuit to turn to when next shown; empty when none
    bool shownOnce_ = false;
};

}  // namespace gearsheet
