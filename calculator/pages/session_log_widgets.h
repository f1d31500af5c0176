// The Session Log page's widgets, shared by the page's two source files.
#pragma once

#include "pages/session_log_page.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTreeView;

namespace gearsheet {

class BestLapChart;
class SessionCompareView;
class SessionEditor;
class SessionListModel;

struct SessionLogPage::Widgets {
    QComboBox* circuits;
    QTreeView* list;
    SessionListModel* sessions;
    QTabWidget* views;
    SessionEditor* editor;
    QWidget* compareArea;
    SessionCompareView* compare = nullptr;  // made when first needed
    QWidget* chartArea;
    BestLapChart* chart = nullptr;
    QLabel* chartProblem = nullptr;
};

}  // namespace gearsheet
