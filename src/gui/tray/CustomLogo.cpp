#include "gui/tray/CustomLogo.h"

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/monitor/LogoLevels.h"
#include "core/settings/TimeScale.h"
#include "gui/chrome/BundleImage.h"
#include "gui/chrome/Frames.h"
#include "gui/chrome/SheetWidth.h"
#include "services/Executor.h"
#include "services/RemoteVersionList.h"

namespace qz {

CustomLogo::CustomLogo(BrowserId browser, const PanelControls& controls, const SizeMonitor& sizes,
                       FileManager& files)
    : QObject(controls.panel),
      browser_(browser),
      panel_(controls.panel),
      logo_(controls.logo),
      update_(controls.update),
      files_(files),
      listUrl_(RemoteVersionList::url()),
      measuring_(sizes, kInterval, [this]() -> SizeSubscription::Job {
          // The job carries this controller only into the answer, run while it lives.
          return [this, browser = browser_](const FileManager& measured,
                                            FolderSizes& folders) -> std::function<void()> {
              const int level = levelForTotal(measureLogoTotal(browser, measured, &folders));
              return [this, level] { applyLevel(level); };
          };
      }) {
    if (update_) {
        if (update_->icon().isNull()) {
            update_->setIcon(bundleImage(QStringLiteral("updateBrowser")));
            update_->setIconSize(update_->size());
        }
        connect(update_, &QAbstractButton::clicked, this, &CustomLogo::updateBtn);
    }
}

void CustomLogo::awakeFromNib() {
    if (browserInfo(browser_).logoTimerFirst) {
        measuring_.start(/*runAtOnce=*/false);
        checkUpdate();
    } else {
        checkUpdate();
        measuring_.start(/*runAtOnce=*/false);
    }
}

void CustomLogo::checkLogoSize() {
    measuring_.tick();
}

void CustomLogo::applyLevel(int level) {
    level_ = level;
    const LogoFrames frames = logoFrames(browser_, level);
    // The frames are given from the bottom of the view both stand in.
    auto superviewHeight = [](QWidget* view) {
        return view->parentWidget() ? view->parentWidget()->height() : view->height();
    };
    if (QWidget* logo = logo_) {
        animate(logo, logoAnimation_, toQtFrame(frames.logo, superviewHeight(logo)));
    }
    if (QAbstractButton* button = update_) {
        animate(button, updateAnimation_, toQtFrame(frames.button, superviewHeight(button)));
    }
    emit levelApplied(level);
}

void CustomLogo::animate(QWidget* view, QPointer<QPropertyAnimation>& running,
                         const QRect& target) {
    if (running && running->endValue().toRect() == target) {
        return;  // already on its way there
    }
    delete running;
    if (view->geometry() == target) {
        return;
    }
    // Owned by the view, so it goes with it; the pointer clears when it ends.
    auto* animation = new QPropertyAnimation(view, "geometry", view);
    animation->setDuration(TimeScale::milliseconds(kAnimationSeconds));
    animation->setStartValue(view->geometry());
    animation->setEndValue(target);
    running = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void CustomLogo::checkUpdate() {
    RemoteVersionList::fetch(listUrl_, this, [this](const VersionList& list) { evaluate(list); });
}

void CustomLogo::evaluate(const VersionList& list) {
    // Reading the bundles and the system version is file work: it stays off the main thread.
    const BrowserId browser = browser_;
    Executor::submit(
        Executor::Queue::Measuring,
        [browser, files = files_, list] { return checkBrowserUpdate(browser, files, list); }, this,
        [this](const UpdateAdvice& advice) {
            advice_ = advice;
            if (advice.evaluated && update_) {
                update_->setVisible(advice.advice);
            }
            emit updateChecked(advice.advice);
        });
}

void CustomLogo::updateBtn() {
    if (sheetPending_ || sheet_) {
        return;  // one sheet at a time
    }
    sheetPending_ = true;
    RemoteVersionList::fetch(listUrl_, this, [this](const VersionList& list) { showSheet(list); });
}

void CustomLogo::showSheet(const VersionList& list) {
    sheetPending_ = false;
    const BrowserId browser = browser_;
    // The list key of Safari depends on the system version file, read again for each press.
    const auto publishedVersion = [browser, files = files_, list]() -> std::optional<QString> {
        if (!list) {
            return std::nullopt;
        }
        const QString key = versionListKey(browser, files);
        return list->contains(key) ? std::optional<QString>(list->value(key)) : std::nullopt;
    };
    Executor::submit(
        Executor::Queue::Measuring, publishedVersion, this, [this](const auto& published) {
            QWidget* window = panel_ ? panel_->window() : nullptr;
            const UpdateSheet texts = updateSheet(browser_, published, Localization::shared());
            // The window manager titles it with the program's name; the message says the rest.
            auto* sheet = new QMessageBox(QMessageBox::Warning, QString(), texts.messageText,
                                          QMessageBox::NoButton, window);
            sheet->setInformativeText(texts.informativeText);
            giveSheetRoom(sheet);
            sheet->addButton(texts.button, QMessageBox::AcceptRole);
            sheet->setAttribute(Qt::WA_DeleteOnClose);
            sheet->setWindowModality(Qt::WindowModal);
            sheet_ = sheet;
            sheet->open();
            emit sheetShown();
        });
}

CustomLogo* newLogoController(BrowserId browser, const PanelControls& controls,
                              const SizeMonitor& sizes, FileManager& files) {
    return new CustomLogo(browser, controls, sizes, files);
}

CustomLogo* createLogoController(BrowserId browser, const PanelControls& controls,
                                 const SizeMonitor& sizes, FileManager& files) {
    CustomLogo* controller = newLogoController(browser, controls, sizes, files);
    if (controller) {
        controller->awakeFromNib();
    }
    return controller;
}

}  // namespace qz
