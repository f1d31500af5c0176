// The Session Log page's widgets, shared by the page's two source files.
#pragma once

#include "pages/session_log_page.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTreeWidget;

namespace gearsheet {

class BestLapChart;
class SessionCompareView;
class SessionEditor;

struct SessionLogPage::Widgets {
    QComboBox* circuits;
    QTreeWidget* list;
    QTabWidget* views;
    SessionEditor* editor;
    SessionCompareView* compare;
    QWidget* chartArea;
    BestLapChart* chart = nullptr;
    QLabel* chartProblem = nullptr;
};

}  // namespace gearsheet
