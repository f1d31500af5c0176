// Answers the program's dialogs in tests: records every message box and error report, runs an
// optional script on the shown error dialog, and never enters a modal loop.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "errorreport/qf_error_form.h"
#include "ui/dialogs.h"

namespace testing_support {

class ScriptedDialogs final : public gearsheet::Dialogs {
  public:
    struct Message {
        QString text;
        QString title;
        gearsheet::MessageIcon icon;
    };
    struct Report {
        std::string sourceName;
        int32_t number;
        std::string description;
        std::string callStack;
        std::string descriptionText;
        QString caption;
    };

    std::vector<Message> messages;
    std::vector<Report> reports;
    int beeps = 0;
    // Runs while the error dialog is shown (not modally); the dialog is closed with "Ok"
    // afterwards unless the script closed it.
    std::function<void(gearsheet::QfErrorForm&)> onReport;

    void Message(QWidget*, const QString& text, const QString& title,
                 gearsheet::MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }

    void Exec(QDialog& dialog) override {
        auto& form = dynamic_cast<gearsheet::QfErrorForm&>(dialog);
        reports.push_back({form.SourceName(), form.ErrorNumber(), form.ErrorDescription(),
                           form.CallStackText(), form.DescriptionText(), form.windowTitle()});
        form.show();
        if (onReport)
            onReport(form);
        if (form.isVisible())
            form.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    }

    void Beep() override { ++beeps; }

    // The answer to every Yes/No question (true: "Yes"); the questions asked.
    bool answer = false;
    QStringList questions;
    bool Confirm(QWidget*, const QString& text, const QString&) override {
        questions << text;
        return answer;
    }

    // The path the file dialog answers (empty: none chosen); the suggested paths asked with.
    QString savePath;
    QStringList suggestedPaths;
    QString SaveFileName(QWidget*, const QString&, const QString& suggested,
                         const QString&) override {
        suggestedPaths << suggested;
        return savePath;
    }
};

}  // namespace testing_support
