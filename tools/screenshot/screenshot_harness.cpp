// Photographs Gearsheet's main window: one PNG per tab, then one of the expanded error dialog,
// then the Circuit Database page with a circuit and its sprocket finder, and that circuit's pit
// card exported as PDF (tools/screenshot.sh renders it to PNG), then the Session Log with three
// sessions at that circuit, a comparison, the best-lap chart and a session's sheet as PDF, into the
// folder named by the first argument; then quits. tools/screenshot.sh runs it under the program's
// name beside a copy of the shipped settings file, so that it starts exactly as the program does
// (settings file, library, captions).
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>

#include "app/program.h"
#include "qfstore/error.h"
#include "ui/dialogs.h"
#include "window/main_form.h"

namespace {

bool Save(QWidget& widget, const QString& path) {
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

// "Speed Calculation" -> "speed-calculation".
QString FileStem(const QString& caption) {
    QString stem;
    for (const QChar c : caption.toLower()) {
        if (c.isLetterOrNumber())
            stem += c;
        else if (!stem.isEmpty() && !stem.endsWith(QLatin1Char('-')))
            stem += QLatin1Char('-');
    }
    return stem;
}

// Shows dialogs without waiting for anyone; the error dialog is expanded and photographed.
class ScreenshotDialogs final : public gearsheet::Dialogs {
  public:
    QString errorDialogPath;
    QString pitCardPath;
    bool failed = false;

    void Message(QWidget*, const QString& text, const QString& title,
                 gearsheet::MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    void Exec(QDialog& dialog) override {
        dialog.show();
        if (auto* details = dialog.findChild<QPushButton*>(QStringLiteral("cmdDetails")))
            details->click();
        QApplication::processEvents();
        failed |= !Save(dialog, errorDialogPath);
        dialog.reject();
    }
    void Beep() override {}
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return pitCardPath;
    }
};

// A left click on tab `index`, as the user gives it.
void ClickTab(QTabBar& bar, int index) {
    const QPointF at = bar.tabRect(index).center();
    const QPointF global = bar.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&bar, &press);
    QApplication::sendEvent(&bar, &release);
    // The tab handler runs once the page is in front; a page made on its first show is laid out,
    // and the window grown to it, a few turns later.
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

template <class W>
W* Find(QWidget& form, const char* name) {
    W* w = form.findChild<W*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

// A circuit added through the page as the user does (16/45, sag and ride height, 160 mph in 6th
// at the end of the straight), the page photographed and its pit card exported.
void CircuitWithFinder(gearsheet::MainForm& form, ScreenshotDialogs& dialogs, const QDir& folder,
                       int number) {
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("vsIndexTab1"));
    ClickTab(*tabs->tabBar(), 2);
    Find<QComboBox>(form, "cboCircuits")->setEditText(QStringLiteral("Home"));
    auto* grid = Find<QTableWidget>(form, "grdFields");
    const char* const values[][2] = {{"32", "28"}, {"12", "10"}, {"+2", "0"},
                                     {"4", "6"},   {"10", "8"},  {"12", "10"}};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 2; ++c)
            grid->item(r + 1, c + 1)->setText(QString::fromLatin1(values[r][c]));
    Find<QLineEdit>(form, "txtFrontSp")->setText(QStringLiteral("16"));
    Find<QLineEdit>(form, "txtRearSp")->setText(QStringLiteral("45"));
    Find<QRadioButton>(form, "optBySpeed")->click();
    Find<QComboBox>(form, "cboStraightGear")->setCurrentIndex(5);
    Find<QSpinBox>(form, "spnStraightSpeed")->setValue(160);
    Find<QPushButton>(form, "cmdAddCirquit")->click();
    Find<QTableWidget>(form, "grdSprockets")->setCurrentCell(0, 0);
    QApplication::processEvents();
    dialogs.failed |=
        !Save(form, folder.filePath(QStringLiteral("%1-circuit-gearing.png").arg(number)));
    dialogs.pitCardPath = folder.filePath(QStringLiteral("%1-pit-card.pdf").arg(number + 1));
    Find<QPushButton>(form, "cmdExportPitCard")->click();
    dialogs.failed |= !QFile::exists(dialogs.pitCardPath);
}

// Three sessions at that circuit saved through the Session Log as the rider does, the page
// photographed, then the last two compared, then the best-lap chart; the last session's sheet is
// exported as PDF.
void SessionLog(gearsheet::MainForm& form, ScreenshotDialogs& dialogs, const QDir& folder,
                int number) {
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("vsIndexTab1"));
    ClickTab(*tabs->tabBar(), 4);
    const char* const sessions[][7] = {
        {"Practice 1", "1:43.912", "16", "31", "2.1", "10 clicks", "Rear pumps on the bumps."},
        {"Practice 2", "1:42.385", "18", "35", "2.2", "12 clicks", "Better. Front pushes in T3."},
        {"Race", "1:41.973", "21", "38", "2.2", "12 clicks", "Good to the end.\nTyres fine."}};
    for (int i = 0; i < 3; ++i) {
        Find<QPushButton>(form, "cmdNewSession")->click();
        Find<QDateEdit>(form, "dteSessionDate")->setDate(QDate::currentDate().addDays(7 * (i - 2)));
        const auto set = [&](const char* box, const char* text) {
            Find<QLineEdit>(form, box)->setText(QString::fromUtf8(text));
        };
        set("txtSessionName", sessions[i][0]);
        set("txtBestLap", sessions[i][1]);
        set("txtAirTemp", sessions[i][2]);
        set("txtTrackTemp", sessions[i][3]);
        set("txtColdFront", sessions[i][4]);
        set("txtColdRear", "1.6");
        set("txtLaps", "12");
        set("txtSessionRear", i == 2 ? "46" : "45");
        Find<QComboBox>(form, "cboWeather")->setCurrentIndex(1);
        Find<QTableWidget>(form, "grdSessionSetup")
            ->item(5, 1)
            ->setText(QString::fromLatin1(sessions[i][5]));
        Find<QPlainTextEdit>(form, "txtNotes")->setPlainText(QString::fromUtf8(sessions[i][6]));
        Find<QPushButton>(form, "cmdSaveSession")->click();
    }
    QApplication::processEvents();
    dialogs.failed |=
        !Save(form, folder.filePath(QStringLiteral("%1-session-log.png").arg(number)));
    Find<QPushButton>(form, "cmdCompareSessions")->click();
    QApplication::processEvents();
    dialogs.failed |=
        !Save(form, folder.filePath(QStringLiteral("%1-session-compare.png").arg(number + 1)));
    Find<QTabWidget>(form, "tabSessionViews")->setCurrentIndex(2);
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    dialogs.failed |=
        !Save(form, folder.filePath(QStringLiteral("%1-best-laps.png").arg(number + 2)));
    Find<QTabWidget>(form, "tabSessionViews")->setCurrentIndex(0);
    dialogs.pitCardPath = folder.filePath(QStringLiteral("%1-session-sheet.pdf").arg(number + 3));
    Find<QPushButton>(form, "cmdExportSessionPdf")->click();
    dialogs.failed |= !QFile::exists(dialogs.pitCardPath);
}

// Every tab the window has, numbered from 1 in tab order, then the error dialog with the next
// number, then the circuit page with its finder and the pit card; the window ends on its first
// tab.
void TakeScreenshots(gearsheet::MainForm& form, ScreenshotDialogs& dialogs, const QDir& folder) {
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("vsIndexTab1"));
    for (int i = 0; i < tabs->count(); ++i) {
        ClickTab(*tabs->tabBar(), i);
        const QString name = QStringLiteral("%1-%2.png").arg(i + 1).arg(FileStem(tabs->tabText(i)));
        dialogs.failed |= !Save(form, folder.filePath(name));
    }
    CircuitWithFinder(form, dialogs, folder, tabs->count() + 2);
    SessionLog(form, dialogs, folder, tabs->count() + 4);
    ClickTab(*tabs->tabBar(), 0);
    dialogs.errorDialogPath =
        folder.filePath(QStringLiteral("%1-error-dialog.png").arg(tabs->count() + 1));
    qfstore::Error sample = qfstore::Error::Runtime(qfstore::kErrDivisionByZero, "Gearsheet");
    sample.AppendTrace("MainForm.RereshGrid");
    form.Errors().Report(sample, ".vsIndexTab1_Click");
    QCoreApplication::exit(dialogs.failed ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    ScreenshotDialogs dialogs;
    return gearsheet::RunProgram(argc, argv, dialogs, [&](gearsheet::MainForm& form) {
        QTimer::singleShot(0, &form,
                           [&form, &dialogs, folder] { TakeScreenshots(form, dialogs, folder); });
    });
}
