// The preferences window, created on first use and kept: for now the size-alert threshold
// chooser (`pesoalert`), which the size alert fills and listens to.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QWidget>

namespace qz {

class ImageFactory;

class PreferencesWindowController : public QWidget {
    Q_OBJECT
  public:
    explicit PreferencesWindowController(ImageFactory& imageFactory, QWidget* parent = nullptr);

    QComboBox* pesoalert() const { return pesoalert_; }

    // Brings the window up; later calls show the same window again.
    void showWindow();

  private:
    QLabel* label_;
    QComboBox* pesoalert_;
};

}  // namespace qz
