// A browser panel's logo controller: grows the logo with the browser's data, measured every 2 s
// through the size monitor (off the main thread, frames animated), and shows the update button
// when the remote list names a newer browser version. What differs between browsers comes from
// their rows.
#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPropertyAnimation>
#include <QUrl>
#include <optional>

#include "core/browsers/Browser.h"
#include "core/fs/FileManager.h"
#include "core/monitor/BrowserUpdateAdvice.h"
#include "gui/panels/PanelControls.h"
#include "services/SizeMonitor.h"

namespace qz {

class CustomLogo : public QObject {
    Q_OBJECT
  public:
    static constexpr double kInterval = 2.0;
    static constexpr double kAnimationSeconds = 0.25;

    // Works on the panel's logo view and update button (controls.panel, .logo and .update) and
    // lives as long as the panel. It measures through the size monitor; the update check reads
    // the installed browser through the file manager.
    CustomLogo(BrowserId browser, const PanelControls& controls, const SizeMonitor& sizes,
               FileManager& files);

    BrowserId browser() const { return browser_; }
    // Held weakly: a logo view that is gone is skipped, the button still moves.
    QWidget* logo() const { return logo_; }
    QAbstractButton* update() const { return update_; }
    int level() const { return level_; }
    // Where the remote version list is fetched; the web site's list by default.
    void setVersionListUrl(const QUrl& url) { listUrl_ = url; }
    // The last start-up check's outcome, once it has arrived.
    const std::optional<UpdateAdvice>& advice() const { return advice_; }
    // The update sheet currently open, if any.
    QMessageBox* sheet() const { return sheet_; }

    // Start-up step: the update check and the logo timer, in this browser's order. The first
    // logo measurement comes with the first tick.
    void awakeFromNib();
    // Moves the logo and the button to a level's frames, animated when they change.
    void applyLevel(int level);

  public slots:
    // Measures the browser's logo set on a worker; the level is applied when it arrives.
    void checkLogoSize();
    // Fetches the list and decides the update button's visibility (once per launch).
    void checkUpdate();
    // The update button's action: fetches the list again and shows the sheet on the window.
    void updateBtn();

  signals:
    void levelApplied(int level);
    void updateChecked(bool advice);
    void sheetShown();

  private:
    // Moves a view to its frame; `running` is the view's animation under way, if any.
    void animate(QWidget* view, QPointer<QPropertyAnimation>& running, const QRect& target);
    void evaluate(const VersionList& list);
    void showSheet(const VersionList& list);

    BrowserId browser_;
    QPointer<QWidget> panel_;
    QPointer<QWidget> logo_;
    QPointer<QAbstractButton> update_;
    QPointer<QPropertyAnimation> logoAnimation_;
    QPointer<QPropertyAnimation> updateAnimation_;
    FileManager& files_;
    QUrl listUrl_;
    int level_ = -1;
    std::optional<UpdateAdvice> advice_;
    QPointer<QMessageBox> sheet_;
    bool sheetPending_ = false;
    SizeSubscription measuring_;
};

// The browser's logo controller on a panel, owned by the panel; not started yet.
CustomLogo* newLogoController(BrowserId browser, const PanelControls& controls,
                              const SizeMonitor& sizes, FileManager& files);
// The same, with its start-up step run.
CustomLogo* createLogoController(BrowserId browser, const PanelControls& controls,
                                 const SizeMonitor& sizes, FileManager& files);

}  // namespace qz
