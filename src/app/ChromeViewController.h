// The Chrome panel: loads ChromeViewController.ui and creates the Chrome care module on it.
#pragma once

#include "app/PanelController.h"

namespace qz {

class ChromeViewController : public PanelController {
    Q_OBJECT
  public:
    explicit ChromeViewController(FileManager& files, QObject* parent = nullptr);

  protected:
    CareModule* loadView(QWidget* panel, FileManager& files) override;
};

}  // namespace qz
