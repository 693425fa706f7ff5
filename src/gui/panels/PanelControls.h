// The controls of one browser panel, as its care module and logo controller work on them: typed
// pointers handed over by whoever built the panel (the panel controller, from BrowserPanel.ui).
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QList>
#include <QProgressBar>
#include <QWidget>

#include "gui/panels/SegmentedControl.h"

namespace qz {

struct PanelControls {
    QWidget* panel = nullptr;  // holds every control below
    // The care module's own: one box per catalogue item in declaration order, the preset
    // control and its picture, the care button, its progress indicator and the size label.
    QList<QCheckBox*> boxes{};
    SegmentedControl* segment = nullptr;
    QAbstractButton* preset = nullptr;
    QAbstractButton* care = nullptr;
    QProgressBar* indicator = nullptr;
    QLabel* result = nullptr;
    // Lines and buttons a panel may lack.
    QLabel* caption = nullptr;  // the browser's name
    QLabel* summary = nullptr;  // what the selection covers
    QAbstractButton* info = nullptr;
    QAbstractButton* support = nullptr;
    QWidget* popover = nullptr;  // the information pop-up, and its heading
    QLabel* popoverText = nullptr;
    // The logo controller's: the emblem and the update button.
    QLabel* logo = nullptr;
    QAbstractButton* update = nullptr;
};

}  // namespace qz
