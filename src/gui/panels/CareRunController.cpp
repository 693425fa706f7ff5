#include "gui/panels/CareRunController.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QProgressBar>

#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/settings/Log.h"
#include "core/settings/Settings.h"
#include "gui/chrome/SheetWidth.h"
#include "gui/panels/CareModule.h"
#include "gui/window/addItem.h"
#include "services/Executor.h"

namespace qz {

namespace {

constexpr const char* kReturnCode = "returnCode";

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
    // Say which browser and how much its selection takes now, beside the warning.
    const Localization& texts = module_.texts();
    alert->setInformativeText(texts.text(QStringLiteral("NoteStartCare")) + QStringLiteral("\n\n") +
                              texts.format(QStringLiteral("CareWhat"),
                                           {info.displayName, module_.resultField()->text()}));
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
    CookieKeepList keep = CookieKeepList::fromSettings(Settings::standard());
    const auto threadedMethod = [browser, texts, files, selection, history, self,
                                 keep = std::move(keep)] {
        CareRun run(browser, files);
        run.setSelection([selection](const QString& item) { return selection->state(item); });
        run.setCookieKeepList(keep);
        QString recordError;
        run.setRecorder([&](BrowserId cared) { return history->record(cared, &recordError); });
        CareCallbacks callbacks;
        callbacks.started = [self] {
            Executor::post(self, [](CareRunController& c) { c.careStarted(); });
        };
        run.setCallbacks(std::move(callbacks));
        const CareReport report = run.run();
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
}

void CareRunController::careEnded(const CareReport& report, const UserNotification& notification) {
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
