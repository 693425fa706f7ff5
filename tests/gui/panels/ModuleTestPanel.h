// A panel built in code with the controls a care module works on, handed over as typed pointers
// the way the panel controller hands over those of the interface file.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "core/browsers/Catalogue.h"
#include "gui/panels/CareModule.h"
#include "gui/panels/PanelControls.h"
#include "gui/panels/SegmentedControl.h"

namespace qz::test {

// The panel (a child of `parent`) with one box per item, named after it, and the module's own
// controls; no caption, pop-up or logo.
inline PanelControls makePanel(BrowserId browser, QWidget* parent) {
    PanelControls controls;
    controls.panel = new QWidget(parent);
    for (const QString& item : catalogue(browser).declarationOrder) {
        auto* box = new QCheckBox(controls.panel);
        box->setObjectName(item);
        controls.boxes.append(box);
    }
    controls.segment = new SegmentedControl(controls.panel);
    controls.preset = new QToolButton(controls.panel);
    controls.care = new QPushButton(controls.panel);
    controls.indicator = new QProgressBar(controls.panel);
    controls.result = new QLabel(QStringLiteral("--"), controls.panel);
    return controls;
}

// The browser's module on a new panel with the given parent; the module belongs to the panel.
inline CareModule* makeModule(BrowserId browser, QWidget* parent, const SizeMonitor& sizes,
                              FileManager& files) {
    return createCareModule(browser, makePanel(browser, parent), sizes, files);
}

}  // namespace qz::test
