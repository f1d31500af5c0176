// Photographs Gearsheet's main window: one PNG per tab, then one of the expanded error dialog,
// into the folder named by the first argument; then quits. tools/screenshot.sh runs it under the
// program's name beside a copy of the shipped settings file, so that it starts exactly as the
// program does (settings file, library, captions).
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "dialogs.h"
#include "main_form.h"
#include "program.h"
#include "qfstore/error.h"

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
    QApplication::processEvents();  // the tab handler runs once the page is in front
}

// Every tab the window has, numbered from 1 in tab order, then the error dialog with the next
// number; the window ends on its first tab.
void TakeScreenshots(gearsheet::MainForm& form, ScreenshotDialogs& dialogs, const QDir& folder) {
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("vsIndexTab1"));
    for (int i = 0; i < tabs->count(); ++i) {
        ClickTab(*tabs->tabBar(), i);
        const QString name = QStringLiteral("%1-%2.png").arg(i + 1).arg(FileStem(tabs->tabText(i)));
        dialogs.failed |= !Save(form, folder.filePath(name));
    }
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
