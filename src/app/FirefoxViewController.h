// The Firefox panel: loads FirefoxViewController.ui and creates the Firefox care module on it.
#pragma once

#include "app/PanelController.h"

namespace qz {

class FirefoxViewController : public PanelController {
    Q_OBJECT
  public:
    explicit FirefoxViewController(FileManager& files, QObject* parent = nullptr);

  protected:
    CareModule* loadView(QWidget* panel, FileManager& files) override;
};

}  // namespace qz
