// A panel built in code with every outlet a care module looks for, named as in the panels.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "core/browsers/Catalogue.h"
#include "gui/panels/CareModule.h"
#include "gui/panels/SegmentedControl.h"

namespace qz::test {

inline std::unique_ptr<QWidget> makePanel(BrowserId browser) {
    const PanelTraits& traits = browserInfo(browser).panel;
    auto panel = std::make_unique<QWidget>();
    for (const QString& item : catalogue(browser).declarationOrder) {
        (new QCheckBox(panel.get()))->setObjectName(item);
    }
    (new QToolButton(panel.get()))->setObjectName(traits.presetButton);
    (new QPushButton(panel.get()))->setObjectName(traits.careButton);
    (new QProgressBar(panel.get()))->setObjectName(traits.indicator);
    auto* result = new QLabel(QStringLiteral("--"), panel.get());
    result->setObjectName(QStringLiteral("result"));
    (new SegmentedControl(panel.get()))->setObjectName(QStringLiteral("segment"));
    return panel;
}

// The browser's module on a new panel with the given parent; the module belongs to the panel.
inline CareModule* makeModule(BrowserId browser, QWidget* parent, FileManager& files) {
    QWidget* panel = makePanel(browser).release();
    panel->setParent(parent);
    return createCareModule(browser, panel, files);
}

}  // namespace qz::test
