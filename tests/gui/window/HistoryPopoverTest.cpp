#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include "core/formats/Localization.h"
#include "core/settings/TimeScale.h"
#include "fixtures/FixtureHome.h"
#include "gui/window/AppDelegate.h"
#include "gui/window/HistoryPopover.h"
#include "gui/window/HistoryTableModel.h"
#include "gui/window/addItem.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

QString text(const char* key) {
    return Localization::shared().text(QString::fromLatin1(key));
}

void press(QMessageBox* alert, const char* key) {
    for (QAbstractButton* button : alert->buttons()) {
        if (button->text() == text(key)) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << key;
}

void clickColumnTitle(QTableView* table, int column) {
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                       header->height() / 2});
}

QStringList names(const QList<HistoryEntry>& entries) {
    QStringList result;
    for (const HistoryEntry& entry : entries) {
        result.append(entry.browserName);
    }
    return result;
}

TEST(HistoryPopoverTest, ShowsTheTableOrTheEmptyPictureAndClearsOnlyWhenConfirmed) {
    QTemporaryDir folder;
    const QString file = folder.filePath("History.plist");
    addItem store;
    store.setUp(file);
    QWidget window;
    window.show();
    HistoryPopover popover(store, Localization::shared(), &window);
    popover.showBelow(&window);
    const auto showsHistory = [&](bool present) {
        EXPECT_EQ(popover.nohistoryimage->isHidden(), present);
        EXPECT_EQ(popover.deletehistoryBtn->isHidden(), !present);
    };
    showsHistory(false);

    store.record(BrowserId::Firefox);
    showsHistory(true);
    EXPECT_EQ(popover.tableList->model()->rowCount(), 1);
    ASSERT_TRUE(QFile::exists(file));

    for (const char* answer : {"Cancel", "OK"}) {
        SCOPED_TRACE(answer);
        popover.showBelow(&window);
        popover.deletehistoryBtn->click();
        QMessageBox* question = popover.confirmation();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->text(), text("DeleteHistory"));
        press(question, answer);
        const bool cleared = QByteArray(answer) == "OK";
        EXPECT_EQ(QFile::exists(file), !cleared);
        EXPECT_EQ(store.shoppingListArray().size(), cleared ? 0 : 1);
        EXPECT_EQ(popover.tableList->model()->rowCount(), cleared ? 0 : 1);
        showsHistory(!cleared);
    }
}

TEST(HistoryPopoverTest, AColumnClickReordersTheListThatTheEndWrites) {
    test::ScopedTimeScale scale(0.01);
    test::FixtureHome home;
    QFile::remove(HistoryList::defaultFilePath());
    AppDelegate delegate(home.files(), home.sizes());
    delegate.awakeFromNib();
    addItem* store = delegate.myAddSheet();
    ASSERT_NE(store, nullptr);
    store->setShoppingListArray({{"Safari", "2"}, {"Opera", "1"}, {"Google Chrome", "3"}});

    delegate.historyPressed();
    auto* popover = qobject_cast<HistoryPopover*>(delegate.popover());
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(popover->isVisible());
    const struct {
        int column;
        QStringList order;
    } clicks[] = {
        {HistoryTableModel::NameBrowser, {"Google Chrome", "Opera", "Safari"}},
        {HistoryTableModel::DateCare, {"Opera", "Safari", "Google Chrome"}},
    };
    for (const auto& click : clicks) {
        clickColumnTitle(popover->tableList, click.column);
        EXPECT_EQ(names(store->shoppingListArray()), click.order);
        EXPECT_EQ(popover->tableList->model()->index(0, 0).data().toString(), click.order[0]);
    }

    // Later cares going to the end of a sorted list: see the history's own tests.
    const QStringList sorted{"Opera", "Safari", "Google Chrome"};
    const auto beforeEnd = HistoryList::readFile(HistoryList::defaultFilePath());
    ASSERT_TRUE(beforeEnd.has_value());
    EXPECT_NE(names(*beforeEnd), sorted);  // sorting alone writes nothing
    delegate.applicationWillTerminate();
    const auto saved = HistoryList::readFile(HistoryList::defaultFilePath());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(names(*saved), sorted);
    QFile::remove(HistoryList::defaultFilePath());
}

TEST(HistoryPopoverTest, AnEntrysToolTipSaysWhatWentAndTheSpaceFreed) {
    const Localization& texts = Localization::shared();
    const QString cleaned =
        texts.format("historyItems", {texts.format("historyC") + ", " + texts.format("cacheC")});
    const struct {
        HistoryEntry entry;
        QString tip;
    } cases[] = {
        {{"Opera", "1"}, ""},  // an older entry recorded neither
        {{"Google Chrome", "2", 7, {"historyC", "cacheC"}, 88'200'000},
         cleaned + "\n" + texts.format("historyFreed", {"88.2 MB"})},
        {{"Safari", "3", 7, {}, 0}, texts.format("historyFreed", {"0 Bytes"})},
    };
    HistoryList list;
    for (const auto& c : cases) {
        list.append(c.entry);
    }
    HistoryTableModel model(list);
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            EXPECT_EQ(model.index(row, column).data(Qt::ToolTipRole).toString(), cases[row].tip)
                << row << " " << column;
        }
    }
}

TEST(HistoryPopoverTest, ASortPersistsLaterCaresGoToTheEndAndADeletedHistoryStaysGone) {
    QTemporaryDir dir;
    const QString path_ = dir.filePath("DIZEROV/History.plist");
    addItem store;
    store.setUp(path_);
    store.setShoppingListArray(
        {{"Opera", "2"}, {"Firefox", "3"}, {"Safari", "1"}, {"Firefox", "1"}});
    HistoryTableModel& model = *store.tableModel();
    model.sort(HistoryTableModel::DateCare, Qt::AscendingOrder);
    model.sort(HistoryTableModel::NameBrowser, Qt::DescendingOrder);  // date breaks ties
    const QList<HistoryEntry> sorted = {
        {"Safari", "1"}, {"Opera", "2"}, {"Firefox", "1"}, {"Firefox", "3"}};
    EXPECT_EQ(store.shoppingListArray(), sorted);
    store.record(BrowserId::Chrome);
    ASSERT_TRUE(store.saveAtTermination());

    addItem next;
    next.setUp(path_);
    ASSERT_EQ(next.shoppingListArray().size(), 5);
    EXPECT_EQ(next.shoppingListArray().mid(0, 4), sorted);
    EXPECT_EQ(next.shoppingListArray()[4].browserName, "Google Chrome");  // after the sort
    // Declining and confirming the deletion: see the history pop-up's tests.
    EXPECT_EQ(next.deleteitem([] { return true; }), addItem::DeleteOutcome::Deleted);
    ASSERT_TRUE(next.saveAtTermination());  // an empty list writes nothing
    EXPECT_FALSE(QFileInfo::exists(path_));
}

}  // namespace
}  // namespace qz
