// The Opera panel: loads OperaViewController.ui and creates the Opera care module on it.
#pragma once

#include "app/PanelController.h"

namespace qz {

class OperaViewController : public PanelController {
    Q_OBJECT
  public:
    explicit OperaViewController(FileManager& files, QObject* parent = nullptr);

  protected:
    CareModule* loadView(QWidget* panel, FileManager& files) override;
};

}  // namespace qz
