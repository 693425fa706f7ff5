#include "app/Application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QPalette>
#include <QTimer>
#include <QTranslator>

#include "app/AfterFirstFrame.h"
#include "app/FirstFrameReport.h"
#include "cli/CommandLine.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/settings/Log.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "gui/panels/CareModule.h"
#include "gui/tray/ImageFactory.h"
#include "gui/tray/MenuStatus.h"
#include "gui/window/AppDelegate.h"
#include "gui/window/addItem.h"
#include "services/AutoClean.h"
#include "services/Executor.h"
#include "services/InstanceName.h"
#include "services/RemoteResource.h"
#include "services/SingleInstance.h"
#include "services/SizeMonitor.h"

namespace qz {

namespace {

// Locked check boxes still say what a preset covers, so their text stays readable: at least
// 4.5:1 against the window and pop-up backgrounds instead of the style's faint grey.
void makeDisabledTextReadable() {
    QPalette colors = QApplication::palette();
    // Dark grey on a light theme (as the main window's fixed palette), light grey on a dark one.
    const bool dark = colors.color(QPalette::Window).lightnessF() < 0.5;
    const QColor text = dark ? QColor(0xb0, 0xb0, 0xb4) : QColor(0x55, 0x55, 0x55);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        colors.setColor(QPalette::Disabled, role, text);
    }
    QApplication::setPalette(colors);
}

// A dark desktop theme for the screenshot where no dark style is installed: light text on dark
// windows, buttons and fields, as dark themes have.
void useDarkPalette() {
    QPalette dark(QColor(0x3a, 0x3a, 0x3e), QColor(0x24, 0x24, 0x26));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(0xee, 0xee, 0xee));
    }
    dark.setColor(QPalette::Base, QColor(0x1c, 0x1c, 0x1e));
    dark.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    QApplication::setPalette(dark);
}

// Saves the window to a file once every placed panel shows its first size (or after a while).
void arrangeScreenshot(AppDelegate& delegate, const QString& file) {
    auto save = [&delegate, file] {
        if (!delegate.window()->grab().save(file)) {
            Log::write(QStringLiteral("cannot save the screenshot to %1").arg(file));
        }
        QCoreApplication::quit();
    };
    auto* pending = new int(0);
    for (BrowserId browser : kAllBrowsers) {
        if (CareModule* module = delegate.vista()->module(browser)) {
            ++*pending;
            QObject::connect(
                module, &CareModule::measured, &delegate,
                [pending, save] {
                    if (--*pending == 0) {
                        QTimer::singleShot(TimeScale::milliseconds(0.3), save);
                    }
                },
                Qt::SingleShotConnection);
        }
    }
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [pending] { delete pending; });
    QTimer::singleShot(TimeScale::milliseconds(*pending == 0 ? 0.5 : 20.0), save);
}

}  // namespace

Application::Application(FileManager& files) : files_(files) {
    Executor::lendToWalks();
}

bool Application::installQtTranslations(const QString& language) {
    if (language == QStringLiteral("en")) {
        return false;  // Qt speaks English of itself
    }
    auto* translator = new QTranslator(qApp);
    if (!translator->load(QStringLiteral("qtbase_") + language,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

int Application::runCommand(const GlobalOptions& options, CliContext& context) {
    return CommandLine::run(options, context);
}

int Application::runWindow(bool background) {
    FileManager& files = files_;
    // The name the command line looks for, so that it can tell the window holds the history.
    SingleInstance instance(singleInstanceServerName());
    if (background ? instance.isRunning() : instance.handOver()) {
        return 0;
    }
    if (!instance.listen()) {
        Log::write(QStringLiteral("another start cannot reach this Quenzel"));
    }
    QApplication::setQuitOnLastWindowClosed(false);
    if (qEnvironmentVariable("QUENZEL_SCREENSHOT_THEME") == QStringLiteral("dark")) {
        useDarkPalette();
    }
    makeDisabledTextReadable();
    installQtTranslations(Localization::sharedLanguage());
    RemoteResource::holdFetches(true);
    Executor::holdMeasuring(true);
    // Every periodic measurement of the panels, the logos and the tray reads through this one
    // monitor, created here once and handed down.
    const SizeMonitor sizes(files);
    AppDelegate delegate(files, sizes);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &delegate, &AppDelegate::reopen);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    delegate.awakeFromNib();
    ImageFactory imageFactory;
    delegate.vista()->setImageFactory(&imageFactory);
    imageFactory.awakeFromNib();
    // What the window's first frame shows nothing of comes once the frame is out: the tray's menu
    // and item, and cleaning on close (made once the settings turn it on for a browser; its cares
    // go into the window's history like the Clean button's).
    std::unique_ptr<MenuStatus> menuStatus;
    std::unique_ptr<AutoCleanSwitch> autoClean;
    const auto startAfterFrame = [&] {
        menuStatus = std::make_unique<MenuStatus>(files, sizes, imageFactory);
        MenuStatus* tray = menuStatus.get();
        QObject::connect(tray, &MenuStatus::openRequested, &delegate, &AppDelegate::open);
        QObject::connect(tray, &MenuStatus::aboutRequested, delegate.vista(),
                         &AppController::orderFrontCustomAboutPanel);
        QObject::connect(tray, &MenuStatus::preferencesRequested, delegate.vista(),
                         &AppController::preferences);
        QObject::connect(tray, &MenuStatus::shareRequested, &delegate, &AppDelegate::showShare);
        tray->awakeFromNib();
        autoClean = std::make_unique<AutoCleanSwitch>(files, UserDefaults::standard(), [] {
            return addItem::sharedMySingleton()->history();
        });
        const auto followCares = [](AutoClean* cleaner) {
            QObject::connect(cleaner, &AutoClean::careFinished, [](const CareReport& report) {
                if (report.recorded) {
                    addItem::sharedMySingleton()->careRecorded();
                }
            });
        };
        if (autoClean->autoClean()) {
            followCares(autoClean->autoClean());
        }
        QObject::connect(autoClean.get(), &AutoCleanSwitch::created, followCares);
    };
    delegate.setStartsInBackground(background);
    // The measurements (the panels' figures), the parts above and the fetches the panels ask for
    // (their update checks) wait for the window's first frame, which then comes without walks
    // competing for the processor; the figures follow it. Made before the report, whose filter then
    // sees the frame first: the report measures the frame without them.
    new AfterFirstFrame(delegate.window(), !background, [&startAfterFrame] {
        Executor::holdMeasuring(false);
        RemoteResource::holdFetches(false);
        startAfterFrame();
    });
    if (qEnvironmentVariableIsSet("QUENZEL_REPORT_FIRST_FRAME")) {
        new FirstFrameReport(delegate.window());
    }
    delegate.applicationDidFinishLaunching();
    const QString screenshot = qEnvironmentVariable("QUENZEL_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        arrangeScreenshot(delegate, screenshot);
    }
    const int code = QApplication::exec();
    // After the event loop: a running care ends before the program does, and no walk is still
    // running while the process takes down what it shares with the workers (the log).
    Executor::waitUntilIdle(Executor::Queue::Care);
    Executor::waitUntilIdle(Executor::Queue::Measuring);
    return code;
}

}  // namespace qz
