#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/dialogs.h"

namespace gearsheet {

void QtDialogs::Message(QWidget* parent, const QString& text, const QString& title,
                        MessageIcon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
    }
    box.exec();
}

void QtDialogs::Exec(QDialog& dialog) {
    dialog.exec();
}

void QtDialogs::Beep() {
    QApplication::beep();
}

QString QtDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

bool QtDialogs::Confirm(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace gearsheet
