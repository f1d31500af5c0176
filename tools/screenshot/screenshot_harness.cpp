// Photographs Gearsheet's main window: one PNG per tab, then one of the expanded error dialog,
// then the Circuit Database page with a circuit and its sprocket finder, and that circuit's pit
// card exported as PDF (tools/screenshot.sh renders it to PNG), into the folder named by the
// first argument; then quits. tools/screenshot.sh runs it under the
// program's name beside a copy of the shipped settings file, so that it starts exactly as the
// program does (settings file, library, captions).
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
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
