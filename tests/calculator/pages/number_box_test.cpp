// The number boxes of the Gear Planner and the circuit page's gearing group in the main window: a
// typed text is taken as typed, or the box says why not and keeps it; nothing else is stored.
#include <QRadioButton>
#include <QSpinBox>

#include "main_window.h"

using testing_support::kGears;
using testing_support::Window;

namespace {

// The box of that name, on its page in front, with the focus in it.
QSpinBox* FocusOn(Window& w, int tab, const char* name) {
    w.ClickTab(tab);
    w.Activate();
    auto* box = w.Find<QSpinBox>(name);
    box->setFocus();
    return box;
}

void TypeIntoBox(QSpinBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

}  // namespace

class NumberBoxTest : public QObject {
    Q_OBJECT
  private slots:
    void leavingABox_data();
    void leavingABox();
    void returnAndStepsTakeOnlyATextTaken();
    void refusedBoxKeepsItsPageInFront();
};

// Per kind of box: whole numbers stored at once (planner, finder ranges) and a box whose blank
// means "not given" (stored with the circuit). `stored` is what the settings file gains.
void NumberBoxTest::leavingABox_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");  // -1: the value before
    QTest::addColumn<QString>("stored");
    struct Kind {
        const char* tag;
        int tab;
        const char* box;
        QString caption;
        QString type;
        QString key;  // empty: nothing is stored when the box takes a text
        const char* good;
    };
    const Kind kinds[] = {
        {"links", 3, "spnChainLinks", "Chain links: ", "Type a whole number from 10 to 400.",
         "[PLANNER]\nChainLinks=", "120"},
        {"rears from", 2, "spnRearLow", "Rears from: ", "Type a whole number from 1 to 199.",
         "[SPROCKET_FINDER]\nRearLow=", "40"},
        {"seen front", 2, "spnSeenFront", "On sprockets (front): ",
         "Type a whole number from 1 to 199, or leave the box empty.", "", "15"}};
    for (const Kind& k : kinds) {
        const auto row = [&k](const char* text, const QString& message, const char* shown,
                              int value) {
            const QString stored =
                value < 0 || k.key.isEmpty() ? QString() : k.key + QString::number(value) + "\n";
            QTest::addRow("%s %s", k.tag, text)
                << k.tab << k.box << text << message << shown << value << stored;
        };
        for (const char* text : {"1,5", "1e400", "-5", "99999", "abc"})
            row(text, k.caption + "\"" + text + "\" is not taken. " + k.type, text, -1);
        if (k.key.isEmpty())
            row("", {}, " ", 0);  // not given
        else
            row("", k.caption + "an empty box is not taken. " + k.type, "", -1);
        row(" 16 ", {}, "16", 16);
        row(k.good, {}, k.good, QString(k.good).toInt());
    }
}

void NumberBoxTest::leavingABox() {
    QFETCH(int, tab);
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(int, value);
    QFETCH(QString, stored);
    Window w(kGears);
    QSpinBox* left = FocusOn(w, tab, box.toLatin1().constData());
    const int before = left->value();
    const std::string file = w.File();
    TypeIntoBox(left, text);
    auto* elsewhere = w.Find<QLineEdit>(tab == 2 ? "txtFrontSp" : "txtProposedCircumference");
    QTest::mouseClick(elsewhere, Qt::LeftButton);
    QCoreApplication::processEvents();  // the check runs once the focus has moved
    QCOMPARE(w.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QVERIFY(w.dialogs.messages[0].icon == gearsheet::MessageIcon::Exclamation);
    QCOMPARE(QApplication::focusWidget(),
             message.isEmpty() ? static_cast<QWidget*>(elsewhere) : left);
    QCOMPARE(left->text(), shown);
    QCOMPARE(left->value(), value < 0 ? before : value);
    QCOMPARE(w.File(), file + stored.toStdString());
    QCOMPARE(w.Reports(), QStringList());
}

// Return takes a text as leaving does; a step from a text not taken is refused, from one taken it
// starts at the typed number.
void NumberBoxTest::returnAndStepsTakeOnlyATextTaken() {
    Window w(kGears);
    QSpinBox* speed = FocusOn(w, 3, "spnShiftSpeed");
    const std::string file = w.File();
    const QString refused =
        "Shift speed: \"16000rpm\" is not taken. Type a whole number from 1000 to 30000.";
    TypeIntoBox(speed, "16000rpm");
    QTest::keyClick(speed, Qt::Key_Return);
    QTest::keyClick(speed, Qt::Key_Up);
    QCOMPARE(w.Messages(), QStringList({refused, refused}));
    QCOMPARE(speed->text() + " " + QString::number(speed->value()), "16000rpm 15500");
    QCOMPARE(w.File(), file);

    TypeIntoBox(speed, "16000");
    QTest::keyClick(speed, Qt::Key_Up);
    QCOMPARE(speed->value(), 16250);
    QCOMPARE(w.File(), file + "[PLANNER]\nShiftSpeed=16250\n");
    TypeIntoBox(speed, "14000");
    QTest::keyClick(speed, Qt::Key_Return);
    QTest::keyClick(speed, Qt::Key_Down);
    QCOMPARE(w.File(), file + "[PLANNER]\nShiftSpeed=13750\n");

    // A box whose blank is "not given" steps up from nothing, and back to nothing.
    w.ClickTab(2);
    w.Find<QRadioButton>("optByRpm")->click();
    auto* rpm = w.Find<QSpinBox>("spnStraightRpm");
    QTest::keyClick(rpm, Qt::Key_Up);
    QCOMPARE(rpm->text(), "100");
    QTest::keyClick(rpm, Qt::Key_Down);
    QCOMPARE(rpm->text() + QString::number(rpm->value()), " 0");
    QCOMPARE(w.Messages().size(), 2);
    QCOMPARE(w.Reports(), QStringList());
}

// A text not taken stays while the window is inactive; a box left with it by a click on another
// tab keeps its page in front.
void NumberBoxTest::refusedBoxKeepsItsPageInFront() {
    Window w(kGears);
    QSpinBox* front = FocusOn(w, 3, "spnProposedFront");
    const std::string file = w.File();
    TypeIntoBox(front, "0");
    QApplication::setActiveWindow(nullptr);  // as a message box of another part takes the window
    QCOMPARE(front->text() + QString::number(w.Messages().size()), "00");
    w.Activate();
    w.ClickTab(1);
    QCoreApplication::processEvents();
    QCOMPARE(w.Messages(),
             QStringList{"Proposed front: \"0\" is not taken. Type a whole number from 1 to 199."});
    QCOMPARE(w.Tabs()->currentIndex(), 3);
    QCOMPARE(QApplication::focusWidget(), front);
    QCOMPARE(front->text(), "0");
    QCOMPARE(w.File(), file);
    QCOMPARE(w.Reports(), QStringList());
}

QTEST_MAIN(NumberBoxTest)
#include "number_box_test.moc"
