// The one seam through which the program shows message boxes and its error report dialog, so that
// tests can answer them without a modal loop.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace gearsheet {

enum class MessageIcon { None, Exclamation, Information };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A modal message box with a single OK button; returns when it has been dismissed.
    virtual void Message(QWidget* parent, const QString& text, const QString& title,
                         MessageIcon icon) = 0;
    // Shows `dialog` modally; returns when it has been closed.
    virtual void Exec(QDialog& dialog) = 0;
    // The system's default beep.
    virtual void Beep() = 0;
    // Asks where to save a file (parent, title, the path offered, the kind of file as in
    // "PDF files (*.pdf)"); the path chosen, or empty when the user chose none. Seams that show
    // no file dialog answer none.
    virtual QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) {
        return {};
    }
    // A modal question with "Yes" and "No" (parent, text, title); true for "Yes". Seams that
    // show no question answer "No".
    virtual bool Confirm(QWidget*, const QString&, const QString&) { return false; }
};

// The real thing: modal Qt dialogs.
class QtDialogs final : public Dialogs {
  public:
    void Message(QWidget* parent, const QString& text, const QString& title,
                 MessageIcon icon) override;
    void Exec(QDialog& dialog) override;
    void Beep() override;
    QString SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                         const QString& filter) override;
    bool Confirm(QWidget* parent, const QString& text, const QString& title) override;
};

}  // namespace gearsheet
