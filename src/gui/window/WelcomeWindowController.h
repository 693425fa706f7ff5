// The welcome window: the maker's welcome page, fetched off the main thread, or the page the
// program carries when the site cannot be reached.
#pragma once

#include <QPushButton>
#include <QTextBrowser>
#include <QWidget>
#include <memory>

namespace Ui {
class WelcomeWindowController;
}

namespace qz {

class WelcomeWindowController : public QWidget {
    Q_OBJECT
  public:
    // Builds the window from its interface file and starts loading the page.
    explicit WelcomeWindowController(QWidget* parent = nullptr);
    ~WelcomeWindowController() override;

    QTextBrowser* webView() const;
    QPushButton* closeButton() const;
    QPushButton* twitterButton() const;

    void showWindow();
    // Shows the bundled page at once and the site's page when it arrives.
    void loadWelcomePage();
    // The page carried by the program, in the user's language.
    static QString bundledPage();

  public slots:
    // Closes the window, then loads the page again for the next showing.
    void closeWelcome();
    void twitter();

  signals:
    // The window has been put on the screen.
    void shown();
    // A fetch ended: with the site's page, or not (the bundled page stays).
    void pageLoaded(bool fromSite);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void windowDidLoad();

    std::unique_ptr<Ui::WelcomeWindowController> ui_;
    int generation_ = 0;  // answers to an earlier load are dropped
};

}  // namespace qz
