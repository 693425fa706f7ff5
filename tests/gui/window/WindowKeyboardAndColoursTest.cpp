// The main window for the keyboard and the eye: the Tab key reaches every control in reading
// order and no picture, and every text it shows reads (WCAG 4.5:1) in a light and a dark theme.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <cmath>

#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/LinuxHome.h"
#include "gui/chrome/ImageView.h"
#include "gui/panels/CareModule.h"
#include "gui/window/AppDelegate.h"
#include "services/SizeMonitor.h"
#include "support/Contrast.h"
#include "support/WindowTest.h"

namespace qz {
namespace {

constexpr auto F = BrowserId::Firefox;
constexpr auto C = BrowserId::Chrome;
constexpr auto L = BrowserId::LibreWolf;

class WindowKeyboardAndColoursTest : public test::WindowTest {};

// What a control is to the user, told from what the window and its modules hand out.
QString roleOf(const QWidget* widget, const AppDelegate& delegate, const QList<BrowserId>& shown) {
    if (widget == delegate.window()->standardWindowButton(TitleBarWindow::CloseButton)) {
        return QStringLiteral("close");
    }
    if (widget == delegate.historyButton()) {
        return QStringLiteral("history");
    }
    if (widget == delegate.chooseHD()) {
        return QStringLiteral("choose");
    }
    if (widget == delegate.helpSandbox()) {
        return QStringLiteral("accessHelp");
    }
    for (BrowserId browser : shown) {
        const CareModule* module = delegate.vista()->module(browser);
        const QString key = browserInfo(browser).key;
        if (widget == module->careButton()) {
            return key + QStringLiteral(".care");
        }
        if (widget->parentWidget() == module->segment()) {
            return key + QStringLiteral(".segment");
        }
        if (widget == module->presetButton() || widget == module->logo()) {
            return key + QStringLiteral(".picture");
        }
        if (module->panel()->isAncestorOf(widget)) {
            const auto* button = qobject_cast<const QAbstractButton*>(widget);
            return key + "." + (button ? button->text() : widget->metaObject()->className());
        }
    }
    return widget->metaObject()->className();
}

TEST_F(WindowKeyboardAndColoursTest, TabWalksEveryControlInReadingOrderAndNoPicture) {
    const QStringList panel = {".?", ".segment", ".segment", ".segment", ".i", ".care"};
    const auto panelStops = [&](BrowserId browser) {
        QStringList stops;
        for (const QString& stop : panel) {
            stops.append(browserInfo(browser).key + stop);
        }
        return stops;
    };
    const struct {
        const char* name;
        QStringList removedFolders;
        bool granted;
        QList<BrowserId> shown;
        QStringList expected;
    } cases[] = {
        {"one panel",
         {"/.config", "/.mozilla", "/.var", "/snap"},
         true,
         {L},
         QStringList{"close", "history"} + panelStops(L)},
        {"two panels",
         {"/snap", "/.config/opera", "/.config/BraveSoftware", "/.var/app/com.vivaldi.Vivaldi",
          "/.config/microsoft-edge", "/.librewolf"},
         true,
         {F, C},
         QStringList{"close", "history"} + panelStops(F) + panelStops(C)},
        {"the access request", {}, false, {}, {"close", "history", "choose", "accessHelp"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinuxHome home;
        for (const QString& folder : c.removedFolders) {
            QDir(home.local(folder)).removeRecursively();
        }
        grantHome(home.root(), c.granted);
        const SizeMonitor sizes(home.files());
        AppDelegate delegate(home.files(), sizes);
        delegate.awakeFromNib();
        delegate.applicationDidFinishLaunching();
        TitleBarWindow* window = delegate.window();
        QWidget* first = window->standardWindowButton(TitleBarWindow::CloseButton);
        first->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(window->focusWidget(), first);
        QStringList walked;
        for (QWidget* at = first; walked.size() < 60;) {
            walked.append(roleOf(at, delegate, c.shown));
            QTest::keyClick(at, Qt::Key_Tab);
            at = window->focusWidget();
            if (at == first) {
                break;
            }
        }
        EXPECT_EQ(walked.join(u' ').toStdString(), c.expected.join(u' ').toStdString());
    }
}

using test::contrast;

// The colour under a widget's text: its own face for a raised button, else the first
// surroundings that fill their background.
QColor groundOf(const QWidget* widget, QPalette::ColorGroup group) {
    const auto* tool = qobject_cast<const QToolButton*>(widget);
    if (qobject_cast<const QPushButton*>(widget) || (tool && !tool->autoRaise())) {
        return widget->palette().color(group, QPalette::Button);
    }
    const QWidget* at = widget->parentWidget();
    while (!at->isWindow() && !at->autoFillBackground()) {
        at = at->parentWidget();
    }
    return at->palette().color(group, at->backgroundRole());
}

TEST_F(WindowKeyboardAndColoursTest, EveryTextReadsOnItsGroundInALightAndADarkTheme) {
    const QPalette original = QApplication::palette();
    QPalette dark(QColor(0x3a, 0x3a, 0x3e), QColor(0x24, 0x24, 0x26));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    const struct {
        const char* name;
        QPalette theme;
        bool granted;
    } cases[] = {
        {"light, panels", original, true},
        {"dark, panels", dark, true},
        {"dark, access request", dark, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QApplication::setPalette(c.theme);
        test::LinuxHome home;
        grantHome(home.root(), c.granted);
        const SizeMonitor sizes(home.files());
        AppDelegate delegate(home.files(), sizes);
        delegate.awakeFromNib();
        delegate.applicationDidFinishLaunching();
        ASSERT_EQ(delegate.window()->style()->name(), QStringLiteral("fusion"));
        int texts = 0;
        for (QWidget* widget : delegate.window()->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(widget);
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            const QString text = label ? label->text() : button ? button->text() : QString();
            if (text.isEmpty() || qobject_cast<ImageView*>(widget) ||
                !widget->isVisibleTo(delegate.window())) {
                continue;  // no text, a picture, or nothing on the screen
            }
            ++texts;
            // Drawn by the window's own style, which keeps to the palette (a desktop style may
            // paint its buttons in colours of its own).
            EXPECT_EQ(widget->style(), delegate.window()->style())
                << widget->metaObject()->className() << " \"" << text.toStdString() << "\"";
            // A locked control still says what it is about: its text reads as well.
            const QList<QPalette::ColorGroup> groups =
                widget->isEnabled() ? QList{QPalette::Active, QPalette::Inactive}
                                    : QList{QPalette::Disabled};
            for (QPalette::ColorGroup group : groups) {
                const QColor ink = widget->palette().color(group, widget->foregroundRole());
                const QColor ground = groundOf(widget, group);
                EXPECT_GE(contrast(ink, ground), 4.5)
                    << widget->metaObject()->className() << " \"" << text.toStdString() << "\" "
                    << ink.name().toStdString() << " on " << ground.name().toStdString();
            }
        }
        EXPECT_GE(texts, c.granted ? 8 * 6 : 1);
    }
    QApplication::setPalette(original);
}

}  // namespace
}  // namespace qz
