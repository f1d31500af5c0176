// The main window as the user meets it: a real settings file in a temporary folder, the store
// loaded from the built library, widgets found by name and driven by events, scripted dialogs.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <optional>
#include <string>

#include "qtest_strings.h"
#include "scripted_dialogs.h"
#include "temp_dir.h"
#include "window/main_form.h"

namespace testing_support {

// Gear ratios 2.5 … 1 and an initial reduction of 2.
inline const std::string kGears =
    "[GEARS]\nGear1=2.5\nGear2=2\nGear3=1.6\nGear4=1.4\nGear5=1.25\nGear6=1\n"
    "[REDUCTIONS]\nInitialReduction=2\n";

// One main window with its own folder, settings file and dialogs.
struct Window {
    TempDir dir;
    std::string settings = dir.File("Gearsheet.INI");
    ScriptedDialogs dialogs;
    std::unique_ptr<gearsheet::MainForm> form;

    // `contents` is the settings file, or nothing for a first start without one.
    explicit Window(const std::optional<std::string>& contents,
                    std::string library = QFSTORE_LIBRARY_PATH) {
        if (contents)
            WriteFile(settings, *contents);
        Start(std::move(library));
    }

    // Start-up as the program does it: load, then show.
    void Start(std::string library = QFSTORE_LIBRARY_PATH) {
        form = std::make_unique<gearsheet::MainForm>(
            dialogs, gearsheet::MainFormOptions{settings, std::move(library), "Gearsheet",
                                                dir.Path().string() + "/"});
        form->Form_Load();
        form->show();
    }

    template <class W>
    W* Find(const char* name) const {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QString Text(const char* box) const { return Find<QLineEdit>(box)->text(); }
    QTabWidget* Tabs() const { return Find<QTabWidget>("vsIndexTab1"); }
    QString Speed(int row, int gear) const {
        return Find<QTableWidget>("grdMain")->item(row, gear)->text();
    }
    QString Field(int row, int column) const {
        return Find<QTableWidget>("grdFields")->item(row, column)->text();
    }
    QStringList Items(const char* list) const {
        auto* combo = Find<QComboBox>(list);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        return items;
    }
    QString Current(const char* list) const { return Find<QComboBox>(list)->currentText(); }
    std::string File() const { return ReadFile(settings); }
    // The error reports so far, each as "<source> <number>", and the messages' texts.
    QStringList Reports() const {
        QStringList reports;
        for (const auto& r : dialogs.reports)
            reports << QString::fromStdString(r.sourceName) + " " + QString::number(r.number);
        return reports;
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : dialogs.messages) texts << m.text;
        return texts;
    }

    void ClickTab(int index) {
        QTabBar* bar = Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCoreApplication::processEvents();  // the click handler runs after the tab switch
    }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

    static void TypeInto(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    // Types into a box, or into the name box of a list.
    void Type(const char* name, const QString& text) {
        auto* list = form->findChild<QComboBox*>(QString::fromLatin1(name));
        TypeInto(list ? list->lineEdit() : Find<QLineEdit>(name), text);
    }
    // Picks an item of a list as the user does: open the list, go to the item, press Return.
    void Choose(const char* list, const QString& name) {
        auto* combo = Find<QComboBox>(list);
        combo->showPopup();
        combo->view()->setCurrentIndex(combo->model()->index(combo->findText(name), 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }
    // Makes the window the active one, so that the focus follows clicks and keys.
    void Activate() {
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowActive(form.get()))
            qFatal("the window does not become active");
    }
    // Edits a cell of the circuit table as the user does: open the editor, type, press Enter.
    void TypeField(int row, int column, const QString& text) {
        auto* grid = Find<QTableWidget>("grdFields");
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        auto* editor =
            qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
        if (!editor)
            qFatal("no editor for cell %d, %d", row, column);
        TypeInto(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the delegate commits in a queued call
    }
};

}  // namespace testing_support
