#include "window/main_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "gearing/speed_table.h"
#include "gearing/stuff.h"
#include "pages/circuit_page.h"
#include "pages/details_page.h"
#include "pages/planner_page.h"
#include "pages/session_log_page.h"
#include "pages/speed_page.h"
#include "platform/module.h"
#include "qfstore/client.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "ui/artwork.h"
#include "ui/dialogs.h"
#include "ui/locale_numbers.h"
#include "ui/screen_fit.h"
#include "ui/twips.h"

namespace gearsheet {
namespace {

const QString kZeroWarning = QStringLiteral(
    "One Of The Values For The Speed Calculation Is Zero So The Calculation Can't Be Done");
constexpr int kSpeedTab = 1;
// The last of the described pages; the pages after it show their own messages for what was typed.
constexpr int kLastDescribedTab = 2;
// The shortest piece of a title bar that the user can still take hold of, in pixels.
constexpr int kTitleBarGrip = 48;
// More than the widgets nested with layouts of their own from a page's group to the window.
constexpr int kLayoutDepth = 12;

}  // namespace

MainFormOptions MainFormOptions::ForRunningProgram() {
    // The executable is looked up once for all the places derived from it.
    const std::string executable = platform::ExecutablePath();
    settings::SettingsLocation settings =
        settings::LocateSettings(executable, settings::ConfigHome());
    return {std::move(settings.file),
            platform::LibraryToLoad(platform::FolderOf(executable), qfstore::kLibraryFileName),
            QString::fromStdString(platform::ExecutableStem(executable)),
            std::move(settings.folder), std::move(settings.problem)};
}

MainForm::MainForm(Dialogs& dialogs, MainFormOptions options, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      options_(std::move(options)),
      errors_(dialogs, options_.programName, options_.logFolder, this),
      context_{store_, dialogs, errors_, [this](QWidget* box) { InputRefused(box); }} {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Arvel Gearsheet"));
    setWindowIcon(AppIcon());

    vsIndexTab1_ = new QTabWidget(this);
    vsIndexTab1_->setObjectName(QStringLiteral("vsIndexTab1"));
    details_ = new DetailsPage(context_, setup_);
    speed_ = new SpeedPage;
    circuits_ = new CircuitPage(context_, gears_, unit_, setup_);
    planner_ = new PlannerPage(context_, setup_, gears_, unit_);
    sessions_ = new SessionLogPage(context_, unit_, setup_);
    connect(sessions_, &SessionLogPage::circuitChanged, circuits_, &CircuitPage::ShowCircuit);
    connect(circuits_, &CircuitPage::circuitShown, sessions_, &SessionLogPage::FollowCircuit);
    const QStringList captions =
        QStringLiteral("Details|Speed Calculation|Circuit Database|Gear Planner|Session Log")
            .split(QLatin1Char('|'));
    // Each page keeps its size and scrolls where the screen is too small for it (at 200 % on a
    // laptop's screen, say).
    vsIndexTab1_->addTab(new FittingScrollArea("scrDetails", details_), captions[0]);
    vsIndexTab1_->addTab(new FittingScrollArea("scrSpeed", speed_), captions[1]);
    vsIndexTab1_->addTab(new FittingScrollArea("scrCircuits", circuits_), captions[2]);
    vsIndexTab1_->addTab(new FittingScrollArea("scrPlanner", planner_), captions[3]);
    vsIndexTab1_->addTab(new FittingScrollArea("scrSessions", sessions_), captions[4]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(vsIndexTab1_);

    // Every change of page by the user (a click, Ctrl+Tab, Ctrl+Shift+Tab, the arrow keys or the
    // wheel on the tabs) runs the tab handler, and so does a click on the tab already in front,
    // which changes nothing. The tab bar announces a click before it changes the page.
    connect(vsIndexTab1_, &QTabWidget::currentChanged, this, [this] {
        if (!showingPage_)
            PageChosen();
    });
    ConnectPageKeys();
    // A page shown for the first time may want more room: the window grows as far as its screen
    // allows, and stays on it.
    connect(
        vsIndexTab1_, &QTabWidget::currentChanged, this,
        [this] {
            if (!isVisible())
                return;
            // A page shown for the first time may still be laying out what it made: each pending
            // layout may ask its parent's to follow.
            for (int depth = 0; depth < kLayoutDepth; ++depth)
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            GrowWithinScreen(*this);
        },
        Qt::QueuedConnection);
    connect(vsIndexTab1_->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == vsIndexTab1_->currentIndex())
            PageChosen();
    });
}

MainForm::~MainForm() = default;

void MainForm::ConnectPageKeys() {
    const auto pageKey = [this](QKeyCombination keys, int step, bool innermost) {
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this,
                [this, step, innermost] {
                    QTabWidget* tabs = innermost ? TabsAround(focusWidget()) : vsIndexTab1_;
                    const int pages = tabs->count();
                    tabs->setCurrentIndex((tabs->currentIndex() + step + pages) % pages);
                });
    };
    // Ctrl+PgUp and Ctrl+PgDown step through the pages from wherever the focus is.
    pageKey(Qt::CTRL | Qt::Key_PageUp, -1, false);
    pageKey(Qt::CTRL | Qt::Key_PageDown, 1, false);
    // Ctrl+Tab and Ctrl+Shift+Tab step through the pages of the tab strip around the focus (the
    // Session Log's views inside the pages), as the tab strip does itself; here they work also
    // where the focused widget keeps them, as a closed drop-down list does.
    pageKey(Qt::CTRL | Qt::Key_Tab, 1, true);
    pageKey(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1, true);
}

QTabWidget* MainForm::TabsAround(QWidget* focus) const {
    for (QWidget* w = focus; w && w != this; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            return tabs;
    return vsIndexTab1_;
}

void MainForm::Form_Load() {
    if (!options_.settingsProblem.empty())
        dialogs_.Message(this, QString::fromStdString(options_.settingsProblem), kProgramTitle,
                         MessageIcon::Exclamation);
    Handled(errors_, ".Form_Load", [&] {
        store_.Create(options_.libraryPath, dialogs_);
        qfstore::QfINIFileHandler& store = store_.Get();
        store.Path(options_.settingsPath);
        store.Section(settings::kWindowPosSection);
        const qfstore::Variant byDefault(settings::kDefaultWindowPos);
        const float top = ToSingle(
            store.GetValue(settings::kTopKey, settings::kArrayDelimiter, true, true, byDefault));
        move(x(), TwipsToPixels(top, logicalDpiY()));
        const float left = ToSingle(
            store.GetValue(settings::kLeftKey, settings::kArrayDelimiter, true, true, byDefault));
        move(TwipsToPixels(left, logicalDpiX()), y());
        KeepTitleBarOnScreen();
        Stuff::InitializeGears(store, gears_);
        Stuff::InitalizeReductions(store, gears_);
        details_->SetInitialReductionText(LocaleNumberText(gears_.initialReduction));
        details_->RefreshTyreCombo();
        circuits_->RefreshCircuitCombo();
        circuits_->cboCircuits_Click();
    });
}

void MainForm::KeepTitleBarOnScreen() {
    // The window's position is its frame's; the title bar runs along the frame's top.
    const int titleHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QRect titleBar(pos(), QSize(sizeHint().width(), titleHeight));
    const int grip = std::min(titleBar.width(), kTitleBarGrip);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = titleBar.intersected(screen->availableGeometry());
        if (shown.width() >= grip && 2 * shown.height() >= titleHeight)
            return;
    }
    move(TwipsToPixels(settings::kDefaultWindowPos, logicalDpiX()),
         TwipsToPixels(settings::kDefaultWindowPos, logicalDpiY()));
}

void MainForm::setVisible(bool visible) {
    // Qt places a window by its frame (the position kept in the settings file) only when the
    // window keeps its size from being created to being first shown; so it takes its size first.
    if (visible && !std::exchange(shownOnce_, true) && testAttribute(Qt::WA_WState_Created)) {
        // A dialog shown during start-up made the window before it was first shown, and a made
        // window takes its position as its inside's; made afresh, it takes it as its frame's.
        const QPoint at = pos();
        destroy();
        move(at);
    }
    if (visible && !testAttribute(Qt::WA_WState_Created)) {
        ensurePolished();
        if (!testAttribute(Qt::WA_Resized)) {
            adjustSize();
            // No larger than the screen's free area below a title bar; the position stays.
            const QRect area = AvailableArea(*this);
            const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
            if (!area.isEmpty())
                resize(size().boundedTo(area.size() - QSize(0, title)));
        }
        if (layout())
            layout()->activate();
    }
    QWidget::setVisible(visible);
}

void MainForm::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void MainForm::Form_QueryUnload() {
    Handled(errors_, ".Form_QueryUnload", [&] {
        qfstore::QfINIFileHandler& store = store_.Get();
        store.Section(settings::kWindowPosSection);
        store.SetValue(settings::kTopKey, qfstore::Variant(PixelsToTwips(y(), logicalDpiY())),
                       settings::kArrayDelimiter);
        store.SetValue(settings::kLeftKey, qfstore::Variant(PixelsToTwips(x(), logicalDpiX())),
                       settings::kArrayDelimiter);
    });
}

void MainForm::PageChosen() {
    if (std::exchange(pageChosen_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (std::exchange(pageChosen_, false))
                vsIndexTab1_Click();
        },
        Qt::QueuedConnection);
}

void MainForm::ShowPage(int index) {
    showingPage_ = true;
    vsIndexTab1_->setCurrentIndex(index);
    showingPage_ = false;
}

void MainForm::InputRefused(QWidget* box) {
    pageChosen_ = false;
    for (int i = 0; i < vsIndexTab1_->count(); ++i)
        if (vsIndexTab1_->widget(i)->isAncestorOf(box))
            ShowPage(i);
}

void MainForm::vsIndexTab1_Click() {
    const auto refresh = [&] {
        const double circumference = TextToDouble(setup_.CircumferenceText());
        const double rear = TextToInteger(setup_.RearText());
        const double front = TextToInteger(setup_.FrontText());
        RereshGrid(front, rear, circumference);
    };
    if (vsIndexTab1_->currentIndex() <= kLastDescribedTab) {
        Handled(errors_, ".vsIndexTab1_Click", refresh);
        return;
    }
    // A later page says itself what is wrong with the inputs; the speed table is worked out again
    // when its own page is shown.
    try {
        refresh();
    } catch (const qfstore::Error&) {
    }
}

void MainForm::RereshGrid(double frontSprocket, double rearSprocket, double circumference) {
    qfstore::PassOn("MainForm.RereshGrid", kComponentName, [&] {
        const bool zero = frontSprocket == 0 || rearSprocket == 0 || circumference == 0 ||
                          gears_.initialReduction == 0;
        if (vsIndexTab1_->currentIndex() == kSpeedTab && zero) {
            dialogs_.Message(this, kZeroWarning, kProgramTitle, MessageIcon::Exclamation);
            ShowPage(0);
            return;
        }
        bool shaded = false;  // every second row, starting with row 2
        const SpeedUnit unit = unit_.Get();
        speed_->SetUnitHeading(QString::fromLatin1(UnitName(unit)));
        SpeedTable(
            gears_, frontSprocket, rearSprocket, circumference,
            [&](int row, int gear, double speed) {
                speed_->PlaceSpeed(row, gear, LocaleNumberText(speed), shaded);
                if (gear == kGearCount)
                    shaded = !shaded;
            },
            unit);
        speed_->ResetCurrentCell();
    });
}

}  // namespace gearsheet
