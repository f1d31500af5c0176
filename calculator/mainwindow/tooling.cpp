#include "tooling.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "main_form.h"
#include "qf_error_form.h"
#include "quit_after_paint.h"

namespace gearsheet {
namespace {

QString ScreenshotFolder() {
    return QString::fromLocal8Bit(qgetenv("GEARSHEET_SCREENSHOTS"));
}

void Save(QWidget& widget, const QString& name) {
    const QString path = QDir(ScreenshotFolder()).filePath(name);
    if (!widget.grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

// Shows dialogs without waiting for the user; the expanded error dialog is photographed.
class ScreenshotDialogs final : public Dialogs {
  public:
    void Message(QWidget*, const QString& text, const QString& title, MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    void Exec(QDialog& dialog) override {
        dialog.show();
        if (auto* details = dialog.findChild<QPushButton*>(QStringLiteral("cmdDetails")))
            details->click();
        QApplication::processEvents();
        Save(dialog, QStringLiteral("4-error-dialog.png"));
        dialog.reject();
    }
    void Beep() override {}
};

void TakeScreenshots(MainForm& form) {
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("vsIndexTab1"));
    static const char* const kNames[] = {"1-details.png", "2-speed-calculation.png",
                                         "3-circuit-database.png", "4-gear-planner.png"};
    for (int i = 0; i < tabs->count(); ++i) {
        // As a click on the tab would: make it current, then run the tab strip's handler.
        tabs->setCurrentIndex(i);
        form.vsIndexTab1_Click();
        QApplication::processEvents();
        Save(form, QString::fromLatin1(kNames[i]));
    }
    tabs->setCurrentIndex(0);
    qfstore::Error sample = qfstore::Error::Runtime(qfstore::kErrDivisionByZero, "Gearsheet");
    sample.AppendTrace("MainForm.RereshGrid");
    form.Errors().Report(sample, ".vsIndexTab1_Click");
    QCoreApplication::quit();
}

}  // namespace

std::unique_ptr<Dialogs> DialogsForThisRun() {
    if (!ScreenshotFolder().isEmpty())
        return std::make_unique<ScreenshotDialogs>();
    return std::make_unique<QtDialogs>();
}

void StartTooling(MainForm& form) {
    if (!ScreenshotFolder().isEmpty()) {
        QDir().mkpath(ScreenshotFolder());
        QTimer::singleShot(0, &form, [&form] { TakeScreenshots(form); });
    } else if (qEnvironmentVariableIsSet("GEARSHEET_QUIT_AFTER_SHOW")) {
        const long long launchNs = qgetenv("GEARSHEET_QUIT_AFTER_SHOW").toLongLong();
        form.installEventFilter(new QuitAfterPaint(launchNs, &form));
    }
}

}  // namespace gearsheet
