// The preferences window, one for the whole program, created on first use and kept: the
// size-alert threshold (`pesoalert`), the delegate's login, Dock-icon and notice controls, and a
// link to the maker's social page. Escape closes it.
#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QWidget>
#include <memory>

namespace Ui {
class PreferencesWindowController;
}

namespace qz {

class ImageFactory;

class PreferencesWindowController : public QWidget {
    Q_OBJECT
  public:
    // The threshold pop-up goes to `imageFactory` (none: it stays empty); `delegateControls`,
    // when given, is taken into the window.
    PreferencesWindowController(ImageFactory* imageFactory, QWidget* delegateControls,
                                QWidget* parent = nullptr);
    ~PreferencesWindowController() override;

    QComboBox* pesoalert() const;
    QPushButton* twitterButton() const;

    // Takes a section into the window, below the others.
    void addSection(QWidget* section);
    // Brings the window up; later calls show the same window again.
    void showWindow();

  public slots:
    // Opens the maker's social page.
    void twitter();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::unique_ptr<Ui::PreferencesWindowController> ui_;
};

}  // namespace qz
