// The error report dialog: tells the user that an operation failed, shows the error's number,
// description and call stack on request, and appends the report to "error.log" when ticked.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "qfstore/error.h"

class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace gearsheet {

class Dialogs;

class QfErrorForm : public QDialog {
    Q_OBJECT
  public:
    // `programName` is the executable's name without extension (the caption's first word);
    // the log lives in `logFolder`, which ends with "/".
    QfErrorForm(Dialogs& dialogs, QString programName, std::string logFolder,
                QWidget* parent = nullptr);

    // Shows the report modally and returns when the user has closed it. `bSaveLog` is the
    // initial state of the "Save Error To 'error.log'" box.
    void ShowError(const qfstore::Error& oErr, const std::string& sSourceName, bool bSaveLog);

    // What the current (or last) report holds.
    const std::string& SourceName() const { return sourceName_; }
    int32_t ErrorNumber() const { return errorNumber_; }
    const std::string& ErrorDescription() const { return errorDescription_; }
    const std::string& CallStackText() const { return callStack_; }
    const std::string& DescriptionText() const { return descriptionText_; }
    bool IsExpanded() const { return expanded_; }
    // The log's full name.
    std::string LogPath() const { return logFolder_ + "error.log"; }

    // The clock that dates log entries; the system clock unless a test sets another.
    void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

  protected:
    // Every way of closing (the "Ok" button, the close box, Escape) ends here.
    void done(int result) override;

  private:
    // Places the widgets: the message and buttons, then the details below.
    void LayOut();
    void Form_Load();
    void cmdDetails_Click();
    void cmdOK_Click();
    void Form_QueryUnload();
    // Shows or hides the details; "Ok" sits beside "Details >>" when they are hidden and below
    // them, beside the log box, when they are shown.
    void ShowDetails(bool shown);

    Dialogs& dialogs_;
    QString programName_;
    std::string logFolder_;

    std::string sourceName_;
    int32_t errorNumber_ = 0;
    std::string errorDescription_;
    std::string callStack_;
    std::string descriptionText_;
    bool expanded_ = false;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };

    QLabel* Image1_;
    QLabel* lblMessage_;
    QPushButton* cmdOK_;
    QPushButton* cmdDetails_;
    QHBoxLayout* buttonRow_;  // "Ok" (collapsed) and "Details >>"
    // The details, in one container that owns them: the rule, both headings and texts, and the
    // log box with "Ok" beside it (expanded).
    QWidget* details_;
    QHBoxLayout* logRow_;
    QFrame* Frame1_;
    QLineEdit* txtLable_;
    QPlainTextEdit* txtDescription_;
    QLineEdit* Text2_;
    QPlainTextEdit* txtCallStack_;
    QCheckBox* chkSaveToLog_;
};

}  // namespace gearsheet
