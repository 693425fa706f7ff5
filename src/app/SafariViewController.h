// The Safari panel: loads SafariViewController.ui and creates the Safari care module on it.
#pragma once

#include "app/PanelController.h"

namespace qz {

class SafariViewController : public PanelController {
    Q_OBJECT
  public:
    explicit SafariViewController(FileManager& files, QObject* parent = nullptr);

  protected:
    CareModule* loadView(QWidget* panel, FileManager& files) override;
};

}  // namespace qz
