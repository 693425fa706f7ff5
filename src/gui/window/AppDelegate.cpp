#include "gui/window/AppDelegate.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/fs/ApplicationSupport.h"
#include "core/fs/FileManager.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "gui/chrome/Frames.h"
#include "gui/chrome/PopupPlacement.h"
#include "gui/extras/Share.h"
#include "gui/window/AccessController.h"
#include "gui/window/HistoryPopover.h"
#include "gui/window/VisibleWindows.h"
#include "gui/window/addItem.h"

namespace qz {

namespace {

const QColor kWindowColor = QColor::fromRgbF(0.8392f, 0.8431f, 0.847f, 1.0f);

// A control's frame relative to the window's middle: origin (W/2 + dx, H/2 + dy), y upward.
struct CentredFrame {
    qreal dx, dy, width, height;
};

// helpSandbox, chooseHD, imageSandbox, textUpdate, btnUpdate for 1 to 4 columns.
constexpr CentredFrame kAccessFrames[4][5] = {
    {{-12, -118, 25, 25},
     {-50, -88, 100, 42},
     {-65, -33, 130, 130},
     {-88, -99, 176, 60},
     {-65, -124, 130, 25}},
    {{-12, -115, 25, 25},
     {-50, -80, 100, 32},
     {-65, -40, 130, 130},
     {-170, -90, 340, 40},
     {-65, -117, 130, 25}},
    {{-12, -123, 25, 25},
     {-50, -93, 100, 32},
     {-65, -40, 130, 130},
     {-170, -90, 340, 40},
     {-65, -117, 130, 25}},
    {{-12, -123, 25, 25},
     {-50, -93, 100, 32},
     {-65, -50, 130, 130},
     {-170, -90, 340, 40},
     {-65, -117, 130, 25}},
};

}  // namespace

AppDelegate::AppDelegate(FileManager& files, const SizeMonitor& sizes, QObject* parent)
    : QObject(parent), files_(files), sizes_(sizes) {
    buildWindow();
    buildSecondaryWidgets();
    const AccessControls controls{window_,     chooseHD_,  helpSandbox_,        imageSandbox_,
                                  textUpdate_, btnUpdate_, vista_->slotViews(), popoverSandbox_};
    access_ = new AccessController(controls, files_, UserDefaults::standard(),
                                   Localization::shared(), this);
    connect(chooseHD_, &QPushButton::clicked, this, &AppDelegate::choose);
    connect(helpSandbox_, &QToolButton::clicked, this, &AppDelegate::helpSandboxPressed);
    connect(btnUpdate_, &QPushButton::clicked, this, &AppDelegate::updateApp);
}

AppDelegate::~AppDelegate() {
    delete welcome_;
    delete splash_;
    delete preferencesPane_;
    delete window_;
}

void AppDelegate::buildWindow() {
    window_ = new TitleBarWindow;
    window_->setWindowTitle(QStringLiteral("Quenzel"));
    window_->setContentSize(
        {AppController::kFirstPanelWidth + AppController::kPanelWidth, kContentHeight});
    QWidget* content = window_->contentView();
    panelArea_ = new QScrollArea(content);
    panelArea_->setFrameShape(QFrame::NoFrame);
    panelArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelArea_->viewport()->setAutoFillBackground(false);
    // The Tab key goes from panel to panel, the area scrolling to each; the area is no stop.
    panelArea_->setFocusPolicy(Qt::NoFocus);
    auto* panels = new QWidget;
    panelArea_->setWidget(panels);
    // One slot per browser the layout can show, and at least a row.
    const int slotCount =
        std::max<int>(AppController::kColumns, layoutBrowsers(files_.layout()).size());
    QList<QWidget*> slotViews;
    for (int i = 0; i < slotCount; ++i) {
        auto* slotView = new QWidget(panels);
        // The first row is named after the macOS browsers that fill it: ourViewSafari to the
        // fourth; the slots below by their number.
        slotView->setObjectName(QStringLiteral("ourView") +
                                (i < AppController::kColumns
                                     ? browserInfo(layoutBrowsers(Layout::MacOS).at(i)).moduleClass
                                     : QString::number(i + 1)));
        slotView->setGeometry(AppController::slotFrame(i));
        slotViews.append(slotView);
    }
    chooseHD_ = new QPushButton(content);
    helpSandbox_ = new QToolButton(content);
    helpSandbox_->setText(QStringLiteral("?"));
    imageSandbox_ = new ImageView(content);
    textUpdate_ = new QLabel(content);
    textUpdate_->setWordWrap(true);
    textUpdate_->setAlignment(Qt::AlignCenter);
    btnUpdate_ = new QPushButton(content);
    btnUpdate_->setText(Localization::shared().format(QStringLiteral("btnUpdate")));
    layoutForBrowserCount(2);
    vista_ = new AppController(files_, sizes_, slotViews, this);
    // Closing the window keeps the program running, so a quit needs its own key.
    auto* quit = new QShortcut(QKeySequence::Quit, window_);
    connect(quit, &QShortcut::activated, qApp, &QCoreApplication::quit);
    QAbstractButton* close = window_->standardWindowButton(TitleBarWindow::CloseButton);
    close->setToolTip(Localization::shared().text(QStringLiteral("closeButtonTip")));
    connect(close, &QAbstractButton::clicked, this, [this] {
        if (!window_->isVisible()) {
            tellOnceThatQuenzelKeepsRunning();
        }
    });
    window_->installEventFilter(this);
}

void AppDelegate::buildSecondaryWidgets() {
    splash_ = new QWidget(nullptr, Qt::Window);
    splash_->setWindowTitle(QStringLiteral("Quenzel"));
    auto* splashLayout = new QVBoxLayout(splash_);
    grazie_ = new QLabel(splash_);
    info_ = new QLabel(splash_);
    note_ = new QLabel(splash_);
    for (QLabel* label : {grazie_, info_, note_}) {
        label->setWordWrap(true);
        splashLayout->addWidget(label);
    }
    splash_->setAutoFillBackground(true);

    auto* help = new QFrame(window_, Qt::Popup);
    help->setFrameShape(QFrame::StyledPanel);
    auto* helpLayout = new QVBoxLayout(help);
    titleHelpSandbox_ = new QLabel(help);
    QFont bold = titleHelpSandbox_->font();
    bold.setBold(true);
    titleHelpSandbox_->setFont(bold);
    textHelpSandbox_ = new QLabel(help);
    textHelpSandbox_->setWordWrap(true);
    textHelpSandbox_->setFixedWidth(260);
    helpLayout->addWidget(titleHelpSandbox_);
    helpLayout->addWidget(textHelpSandbox_);
    popoverSandbox_ = help;

    preferencesPane_ = new QWidget;
    auto* preferencesLayout = new QVBoxLayout(preferencesPane_);
    loginCheck_ = new QCheckBox(preferencesPane_);
    dockIconCheckbox_ = new QCheckBox(preferencesPane_);
    avvisoIcon_ = new QLabel(preferencesPane_);
    preferencesLayout->addWidget(loginCheck_);
    preferencesLayout->addWidget(dockIconCheckbox_);
    preferencesLayout->addWidget(avvisoIcon_);
    buildShellControls();
}

void AppDelegate::awakeFromNib() {
    window_->setTitleBarStartColor(kWindowColor);
    window_->setTitleBarEndColor(kWindowColor);
    window_->setTrafficLightButtonsLeftMargin(13);
    window_->setTitleBarHeight(40);
    window_->setShowsBaselineSeparator(false);

    window_->setBackgroundColor(kWindowColor);
    splash_->setPalette(TitleBarWindow::fixedPalette(kWindowColor));

    window_->standardWindowButton(TitleBarWindow::MiniaturizeButton)->hide();
    window_->standardWindowButton(TitleBarWindow::ZoomButton)->hide();

    const Settings settings = Settings::standard();
    const bool showDock = settings.showInTaskbar();
    dockIconCheckbox_->setChecked(showDock);
    if (showDock) {
        setShowsDockIcon(true);
    }
    shadyEnabled_ = settings.showInTaskbar();
    updateEnabledStatus();

    avvisoIcon_->hide();

    const Localization& texts = Localization::shared();
    grazie_->setText(texts.format(QStringLiteral("grazie")));
    info_->setText(texts.format(QStringLiteral("info")));
    note_->setText(texts.format(QStringLiteral("note")));
    titleHelpSandbox_->setText(texts.format(QStringLiteral("titleHelpSand")));
    // On Linux the grant is the home folder, not a Library folder.
    textHelpSandbox_->setText(texts.format(files_.layout() == Layout::Linux
                                               ? QStringLiteral("textHelpSandHome")
                                               : QStringLiteral("textHelpSand")));

    vista_->awakeFromNib();

    if (!myAddSheet_) {
        myAddSheet_ = new addItem(this);
        myAddSheet_->setUp();  // loads History.plist and becomes the shared store
    }
}

void AppDelegate::applicationDidFinishLaunching() {
    checkSandbox();
    const int n = static_cast<int>(installedBrowsers(files_).size());
    chooseHD_->setText(Localization::shared().format(QStringLiteral("ChooseHdBTN")));
    layoutForBrowserCount(n);
    window_->center();
    if (!startsInBackground_) {
        window_->makeKeyAndOrderFront();
    }
    decorateTitleBar();
    if (startsInBackground_) {
        return;  // the tray's menu or a later start shows the window
    }
    window_->makeKeyAndOrderFront();

    // "welcome" turns NO once the window has really been on the screen (welcomeShown).
    if (Settings::standard().welcomePending()) {
        welcomeVideo();
    }
}

void AppDelegate::reopen() {
    applicationShouldHandleReopen(hasVisibleWindows());
    window_->makeKeyAndOrderFront();
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    // The window manager's close; a quit closes the window too, but not spontaneously.
    if (watched == window_ && event->type() == QEvent::Close && event->spontaneous()) {
        tellOnceThatQuenzelKeepsRunning();
    }
    // Ctrl+W and Esc, when nothing inside the window took them, close it as its close button does.
    if (watched == window_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Close) || key->key() == Qt::Key_Escape) {
            window_->standardWindowButton(TitleBarWindow::CloseButton)->click();
            return true;
        }
    }
    // The rating prompt belongs to the window: it goes when the window goes.
    if (watched == window_ && event->type() == QEvent::Hide && splash_) {
        splash_->hide();
    }
    if (event->type() == QEvent::Resize && watched == titleBar_) {
        placeTitleBarItems();
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::applicationWillTerminate() {
    // An empty history writes nothing, so an earlier file stays as it is.
    (myAddSheet_ ? myAddSheet_ : addItem::sharedMySingleton())->saveAtTermination();
}

QString AppDelegate::quenzelApplicationSupportFolder() const {
    const QString folder = applicationSupportDirectory() + QStringLiteral("/DIZEROV");
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(folder);  // a failure shows later, when the history cannot be written
    }
    return folder;
}

void AppDelegate::checkSandbox() {
    access_->checkSandbox();
}

void AppDelegate::choose() {
    access_->choose();
}

void AppDelegate::helpSandboxPressed() {
    access_->helpSandbox(helpSandbox_);
}

void AppDelegate::updateApp() {
    access_->updateApp();
}

QSize AppDelegate::contentSizeFor(const QSize& panels, int room, int scrollBarWidth) {
    if (panels.height() <= room) {
        return panels;
    }
    return {panels.width() + scrollBarWidth, std::max(room, kContentHeight)};
}

void AppDelegate::layoutForBrowserCount(int n) {
    if (n < 1) {
        return;
    }
    const QSize panels = AppController::panelsSize(n);
    const QScreen* screen =
        window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    const int room = screen
                         ? screen->availableGeometry().height() - qCeil(window_->titleBarHeight())
                         : panels.height();
    const QSize content =
        contentSizeFor(panels, room, panelArea_->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    window_->setContentSize(content);
    panelArea_->widget()->setFixedSize(panels);
    panelArea_->setGeometry(0, 0, content.width(), content.height());
    const int columns = std::min(n, AppController::kColumns);
    const qreal width = window_->width();
    const qreal height = window_->height();
    const qreal contentHeight = window_->contentView()->height();
    QWidget* controls[5] = {helpSandbox_, chooseHD_, imageSandbox_, textUpdate_, btnUpdate_};
    for (int i = 0; i < 5; ++i) {
        const CentredFrame& frame = kAccessFrames[columns - 1][i];
        QRect placed =
            toQtRect({width / 2 + frame.dx, height / 2 + frame.dy, frame.width, frame.height},
                     contentHeight);
        // A button whose text (a translation) is wider than its frame widens about its centre
        // instead of clipping the text.
        if (qobject_cast<QPushButton*>(controls[i])) {
            const int wanted = controls[i]->sizeHint().width();
            if (wanted > placed.width()) {
                placed.adjust(-(wanted - placed.width()) / 2, 0, (wanted - placed.width() + 1) / 2,
                              0);
            }
        }
        controls[i]->setGeometry(placed);
    }
    // The narrow single column gets a smaller face for the notice.
    textUpdate_->setFont(columns == 1 ? QFont(QStringLiteral("LucidaGrande"), 11)
                                      : QApplication::font(textUpdate_));
}

void AppDelegate::updateEnabledStatus() {
    Settings settings = Settings::standard();
    settings.setShowInTaskbar(shadyEnabled_);
    settings.synchronize();
}

void AppDelegate::historyPressed() {
    if (!popover_) {
        addItem* store = myAddSheet_ ? myAddSheet_ : addItem::sharedMySingleton();
        popover_ = new HistoryPopover(*store, Localization::shared(), window_);
    }
    auto* history = static_cast<HistoryPopover*>(popover_.data());
    QWidget* anchor = historyButton_ ? static_cast<QWidget*>(historyButton_) : window_;
    // Anchored at the button's top edge, as the bar's pop-ups are; below only without room.
    showPopup(history, anchor, PopupAlignment::Center, PopupSide::Above);
}

void AppDelegate::showShare() {
    if (!share_) {
        share_ = std::make_unique<Share>();
    }
    share_->showWindow();
}

}  // namespace qz
