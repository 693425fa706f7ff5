// A module's care as the window runs it: the refusals and the confirmation as sheets on the main
// window, the care itself on the care worker, then the controls back and the notification.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "core/care/CarePreview.h"
#include "core/care/CareRun.h"
#include "core/fs/FileRemoval.h"
#include "services/UserNotificationCenter.h"

namespace qz {

class CareModule;
class FileManager;
class Localization;

class CareRunController : public QObject, public UserNotificationCenterDelegate {
    Q_OBJECT
  public:
    // What an alert's buttons answer, first button first.
    static constexpr int kAlertFirstButtonReturn = 1000;
    static constexpr int kAlertSecondButtonReturn = 1001;
    // Alert styles: the icon a sheet shows.
    enum AlertStyle { WarningStyle = 0, InformationalStyle = 1, CriticalStyle = 2 };

    // Mirrors the module's check boxes from now on; lives as long as the module.
    CareRunController(CareModule& module, FileManager& files);
    // Never waits: a running care holds its own copies and drops its results when this is gone.
    ~CareRunController() override;

    // The care button's action: a refusal sheet, or the confirmation sheet.
    void careAction();
    // The confirmation's end: the first button starts the care, anything else does nothing.
    void alertDidEnd(QMessageBox* alert, int returnCode);

    bool isRunning() const { return running_; }
    // The boxes' states as the worker reads them.
    const CareSelection& selection() const { return *selection_; }
    // The sheet this controller shows now; nullptr when none is open.
    QMessageBox* sheet() const { return sheet_; }
    // The line the panel shows during a care and after it: files and bytes removed so far, then
    // the space freed (its tip adds the files). Empty before the first care.
    const QString& progressText() const { return progressText_; }

  signals:
    // On the main thread once the controls are back and the notification is posted.
    void careFinished(const qz::CareReport& report);
    // The confirmation now lists what the care would take.
    void previewShown();
    // The progress line has just changed to these totals; at most once per tick (100 ms,
    // scaled) while a care runs.
    void progressShown(quint64 files, quint64 bytes);

  private:
    QMessageBox* beginSheet(AlertStyle style, const QString& titleKey, const QString& textKey,
                            const QStringList& buttonKeys);
    void careStarted();
    void careEnded(const CareReport& report, const UserNotification& notification);
    // Works out on the measuring queue what the care would take and lists it in the open
    // confirmation, if it is still open then.
    void previewInto(QMessageBox* alert);
    void showPreview(QMessageBox* alert, const CarePreview& preview);
    // A tick during a care: shows the counter's totals when they moved since the last tick.
    void showProgress();
    // `tip`, when given, says more than the line has room for.
    void setProgressLine(const QString& line, const QString& tip = {});

    CareModule& module_;
    FileManager& files_;
    std::shared_ptr<CareSelection> selection_;  // shared with a running care
    bool running_ = false;
    QPointer<QMessageBox> sheet_;
    QTimer progressTimer_;
    std::shared_ptr<RemovalCounter> counter_;  // shared with a running care
    quint64 shownFiles_ = 0;
    quint64 shownBytes_ = 0;
    QString progressText_;
};

}  // namespace qz
