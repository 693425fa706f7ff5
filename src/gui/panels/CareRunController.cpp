#include "gui/panels/CareRunController.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/settings/Log.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "gui/chrome/SheetWidth.h"
#include "gui/panels/CareModule.h"
#include "gui/window/addItem.h"
#include "services/Executor.h"

namespace qz {

namespace {

constexpr const char* kReturnCode = "returnCode";
constexpr const char* kHeading = "heading";  // the confirmation's text above the list
// How often the progress line may change during a care, in seconds (scaled).
constexpr double kProgressTick = 0.1;

// A box's state as the engine reads it: 1 on, 0 off, -1 mixed.
int boxState(int checkState) {
    switch (checkState) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return -1;
        default:
            return 0;
    }
}

QMessageBox::Icon iconOf(CareRunController::AlertStyle style) {
    switch (style) {
        case CareRunController::CriticalStyle:
            return QMessageBox::Critical;
        case CareRunController::InformationalStyle:
            return QMessageBox::Information;
        case CareRunController::WarningStyle:
            break;
    }
    return QMessageBox::Warning;
}

}  // namespace

CareRunController::CareRunController(CareModule& module, FileManager& files)
    : QObject(&module),
      module_(module),
      files_(files),
      selection_(std::make_shared<CareSelection>(module.browser(), files)) {
    connect(&progressTimer_, &QTimer::timeout, this, &CareRunController::showProgress);
    for (QCheckBox* box : module_.checkBoxes()) {
        const QString item = box->objectName();
        selection_->setState(item, boxState(box->checkState()));
        // Kept current on the main thread; a running care reads the mirror, never the box.
        connect(box, &QCheckBox::stateChanged, this,
                [this, item](int state) { selection_->setState(item, boxState(state)); });
    }
}

CareRunController::~CareRunController() {
    UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
    if (center.delegate() == this) {
        center.setDelegate(nullptr);
    }
}

void CareRunController::careAction() {
    if (running_ || sheet_) {
        return;  // one care per module at a time, one sheet at a time
    }
    const BrowserInfo& info = browserInfo(module_.browser());
    switch (precheckCare(module_.browser(), selection_->states(), files_)) {
        case CarePrecheck::BrowserOpen:
            beginSheet(CriticalStyle, QStringLiteral("Attention"), info.openKey,
                       {QStringLiteral("Done")});
            return;
        case CarePrecheck::NothingSelected:
            beginSheet(CriticalStyle, QStringLiteral("Attention!"), info.nothingSelectedKey,
                       {QStringLiteral("Done")});
            return;
        case CarePrecheck::Ready:
            break;
    }
    QMessageBox* alert =
        beginSheet(WarningStyle, QStringLiteral("StartCare"), QStringLiteral("NoteStartCare"),
                   {QStringLiteral("OK"), QStringLiteral("Cancel")});
    // Say which browser and how much its selection takes now, beside the warning; what goes,
    // item by item, follows once it is worked out.
    const Localization& texts = module_.texts();
    const QString heading =
        texts.text(QStringLiteral("NoteStartCare")) + QStringLiteral("\n\n") +
        texts.format(QStringLiteral("CareWhat"), {info.displayName, module_.resultField()->text()});
    alert->setProperty(kHeading, heading);
    alert->setInformativeText(heading + QStringLiteral("\n\n") +
                              texts.text(QStringLiteral("CarePlanWaiting")));
    previewInto(alert);
    connect(alert, &QMessageBox::finished, this, [this, alert] {
        // A sheet closed without a button (the window went away) answers like "Cancel".
        QAbstractButton* clicked = alert->clickedButton();
        alertDidEnd(alert,
                    clicked ? clicked->property(kReturnCode).toInt() : kAlertSecondButtonReturn);
    });
    Log::write(info.readyLogLine);
}

void CareRunController::alertDidEnd(QMessageBox*, int returnCode) {
    if (returnCode != kAlertFirstButtonReturn || running_) {
        return;
    }
    running_ = true;
    module_.presetButton()->setHidden(true);
    module_.careButton()->setEnabled(false);
    // The care takes copies of what it needs: it never touches this controller or the module,
    // and hands its news back through queued calls that are dropped once this is gone.
    const BrowserId browser = module_.browser();
    const Localization texts = module_.texts();
    const FileManager files = files_;
    const std::shared_ptr<CareSelection> selection = selection_;
    const QPointer<CareRunController> self(this);
    const std::shared_ptr<CareHistory> history = addItem::sharedMySingleton()->history();
    counter_ = std::make_shared<RemovalCounter>();
    shownFiles_ = shownBytes_ = 0;
    const std::shared_ptr<RemovalCounter> counter = counter_;
    CookieKeepList keep = CookieKeepList::fromSettings(Settings::standard());
    const auto threadedMethod = [browser, texts, files, selection, history, counter, self,
                                 keep = std::move(keep)] {
        CareRun run(browser, files);
        run.setSelection([selection](const QString& item) { return selection->state(item); });
        run.setCounter(counter);
        run.setCookieKeepList(keep);
        QString recordError;
        HistoryEntry recorded;
        run.setRecorder(
            [&](BrowserId cared) { return history->record(cared, &recordError, &recorded); });
        CareCallbacks callbacks;
        callbacks.started = [self] {
            Executor::post(self, [](CareRunController& c) { c.careStarted(); });
        };
        run.setCallbacks(std::move(callbacks));
        const CareReport report = run.run();
        if (report.recorded) {
            // The entry made at the start learns what went (a failed write is logged).
            history->complete(recorded, report.itemsRemoved, report.bytesFreed);
        }
        UserNotification notification = completionNotification(report, texts);
        if (!report.recorded) {
            // The user hears it too, not only the log: this care is not in the history file.
            notification.informativeText +=
                u'\n' + texts.format(QStringLiteral("HistoryNotRecorded"), {recordError});
        }
        return std::make_pair(report, notification);
    };
    Executor::submit(Executor::Queue::Care, threadedMethod, this,
                     [this](const auto& ended) { careEnded(ended.first, ended.second); });
}

QMessageBox* CareRunController::beginSheet(AlertStyle style, const QString& titleKey,
                                           const QString& textKey, const QStringList& buttonKeys) {
    const Localization& texts = module_.texts();
    auto* alert = new QMessageBox(module_.panel()->window());
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setIcon(iconOf(style));
    alert->setText(texts.text(titleKey));
    alert->setInformativeText(texts.text(textKey));
    for (qsizetype i = 0; i < buttonKeys.size(); ++i) {
        QPushButton* button = alert->addButton(
            texts.text(buttonKeys[i]), i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        button->setObjectName(buttonKeys[i]);
        button->setProperty(kReturnCode, kAlertFirstButtonReturn + static_cast<int>(i));
        if (i == 0) {
            alert->setDefaultButton(button);
        }
    }
    giveSheetRoom(alert);
    sheet_ = alert;
    connect(alert, &QMessageBox::finished, this, [this] { sheet_ = nullptr; });
    alert->open();
    return alert;
}

void CareRunController::careStarted() {
    QProgressBar* indicator = module_.indicator();
    indicator->setRange(0, 0);  // the busy animation
    indicator->setHidden(false);
    // The worker only adds to its counter; the line reads it here, a few times a second.
    const Localization& texts = module_.texts();
    setProgressLine(texts.format(QStringLiteral("CareProgress"),
                                 {convertCountToString(0, texts), convertSizeToString(0, texts)}));
    progressTimer_.start(TimeScale::milliseconds(kProgressTick));
}

void CareRunController::showProgress() {
    if (!counter_) {
        return;
    }
    const quint64 files = counter_->files.load();
    const quint64 bytes = counter_->bytes.load();
    if (files == shownFiles_ && bytes == shownBytes_) {
        return;
    }
    shownFiles_ = files;
    shownBytes_ = bytes;
    const Localization& texts = module_.texts();
    setProgressLine(
        texts.format(QStringLiteral("CareProgress"),
                     {convertCountToString(files, texts), convertSizeToString(bytes, texts)}));
    emit progressShown(files, bytes);
}

void CareRunController::setProgressLine(const QString& line, const QString& tip) {
    progressText_ = line;
    module_.indicator()->setToolTip(tip.isEmpty() ? line : tip);
    if (QLabel* summary = module_.summaryField()) {
        summary->setToolTip(tip.isEmpty() ? line : tip);
        summary->setText(summary->fontMetrics().elidedText(line, Qt::ElideRight, summary->width()));
        summary->show();
    }
}

void CareRunController::previewInto(QMessageBox* alert) {
    const BrowserId browser = module_.browser();
    const FileManager files = files_;
    const std::shared_ptr<CareSelection> selection = selection_;
    const auto job = [browser, files, selection] {
        return previewCare(
            browser, [selection](const QString& item) { return selection->state(item); }, files);
    };
    Executor::submit(Executor::Queue::Measuring, job, this,
                     [this, sheet = QPointer<QMessageBox>(alert)](const CarePreview& preview) {
                         if (sheet && sheet->isVisible()) {
                             showPreview(sheet, preview);
                         }
                     });
}

void CareRunController::showPreview(QMessageBox* alert, const CarePreview& preview) {
    const Localization& texts = module_.texts();
    QStringList lines;
    for (const auto& [item, bytes] : preview.itemSizes()) {
        lines.append(texts.format(QStringLiteral("CareItemLine"),
                                  {texts.format(item), convertSizeToString(bytes, texts)}));
    }
    if (lines.isEmpty()) {
        lines.append(texts.text(QStringLiteral("CareNothingThere")));
    }
    if (!preview.profiles.isEmpty()) {
        lines.append(texts.format(QStringLiteral("CareProfiles"),
                                  {preview.profiles.join(QStringLiteral(", "))}));
    }
    alert->setInformativeText(alert->property(kHeading).toString() + QStringLiteral("\n\n") +
                              lines.join(u'\n'));
    // Every path, as the command line's dry run lists it.
    QStringList paths;
    for (const PlannedRemoval& entry : preview.plan) {
        if (entry.exists) {
            paths.append(plannedRemovalLine(entry, files_.localPath(entry.platformPath), texts));
        }
    }
    for (const CareFailure& failure : preview.leftAlone) {
        paths.append(leftAloneLine(files_.localPath(failure.path), failure.reason));
    }
    alert->setDetailedText(paths.join(u'\n'));
    // The details' button, Qt's own, says what it shows; it keeps the sheet open.
    for (QAbstractButton* button : alert->buttons()) {
        if (alert->buttonRole(button) != QMessageBox::ActionRole) {
            continue;
        }
        const QString show = texts.text(QStringLiteral("ShowWhatGoes"));
        const QString hide = texts.text(QStringLiteral("HideWhatGoes"));
        button->setText(show);
        // Qt sizes this button for its own labels: make room for ours.
        const int room = std::max(button->fontMetrics().horizontalAdvance(show),
                                  button->fontMetrics().horizontalAdvance(hide));
        button->setMinimumWidth(std::max(button->sizeHint().width(),
                                         room + 2 * button->fontMetrics().averageCharWidth() + 12));
        // Runs after the sheet's own handler, which puts Qt's label back.
        connect(button, &QAbstractButton::clicked, button,
                [button, show, hide, shown = false]() mutable {
                    shown = !shown;
                    button->setText(shown ? hide : show);
                });
    }
    giveSheetRoom(alert);
    emit previewShown();
}

void CareRunController::careEnded(const CareReport& report, const UserNotification& notification) {
    progressTimer_.stop();
    const Localization& texts = module_.texts();
    // The panel's line is short; its tip and the notification say it whole.
    setProgressLine(texts.format(QStringLiteral("CareFreedLine"),
                                 {convertSizeToString(report.bytesFreed, texts)}),
                    texts.format(QStringLiteral("CareFreed"),
                                 {convertSizeToString(report.bytesFreed, texts),
                                  convertCountToString(report.filesRemoved, texts)}));
    QProgressBar* indicator = module_.indicator();
    indicator->setHidden(true);
    indicator->setRange(0, 1);  // still
    module_.presetButton()->setHidden(false);
    module_.careButton()->setEnabled(true);
    running_ = false;
    if (report.recorded) {
        addItem::sharedMySingleton()->careRecorded();
    }
    UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
    center.deliverNotification(notification);
    center.setDelegate(this);
    emit careFinished(report);
}

}  // namespace qz
