#include "gui/window/KeepCookiesSection.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/care/CookieKeepList.h"
#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "services/Executor.h"

namespace qz {

namespace {
constexpr int kSiteRole = Qt::UserRole;  // a found row's site, without its count
}

KeepCookiesSection::KeepCookiesSection(const FileManager& files, UserDefaults& defaults,
                                       QWidget* parent)
    : QWidget(parent),
      files_(files),
      defaults_(defaults),
      kept_(new QListWidget(this)),
      field_(new QLineEdit(this)),
      add_(new QPushButton(this)),
      remove_(new QPushButton(this)),
      message_(new QLabel(this)),
      foundTitle_(new QLabel(this)),
      found_(new QListWidget(this)),
      keepFound_(new QPushButton(this)) {
    const Localization& texts = Localization::shared();
    auto* title = new QLabel(texts.text(QStringLiteral("keepCookiesTitle")), this);
    title->setWordWrap(true);
    field_->setPlaceholderText(texts.text(QStringLiteral("keepCookiesPlaceholder")));
    add_->setText(texts.text(QStringLiteral("keepCookiesAdd")));
    remove_->setText(texts.text(QStringLiteral("keepCookiesRemove")));
    keepFound_->setText(texts.text(QStringLiteral("keepCookiesKeepFound")));
    foundTitle_->setText(texts.text(QStringLiteral("keepCookiesFound")));
    message_->setWordWrap(true);
    message_->hide();
    for (QListWidget* list : {kept_, found_}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setMaximumHeight(110);
    }

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(field_, 1);
    fieldRow->addWidget(add_);
    fieldRow->addWidget(remove_);
    auto* foundRow = new QHBoxLayout;
    foundRow->addWidget(foundTitle_, 1);
    foundRow->addWidget(keepFound_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(title);
    column->addWidget(kept_);
    column->addLayout(fieldRow);
    column->addWidget(message_);
    column->addLayout(foundRow);
    column->addWidget(found_);

    connect(add_, &QPushButton::clicked, this, &KeepCookiesSection::addTyped);
    connect(field_, &QLineEdit::returnPressed, this, &KeepCookiesSection::addTyped);
    connect(remove_, &QPushButton::clicked, this, &KeepCookiesSection::removeSelected);
    connect(keepFound_, &QPushButton::clicked, this, &KeepCookiesSection::keepSelectedFound);
    connect(found_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { addSites({item->data(kSiteRole).toString()}); });
    connect(kept_, &QListWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!kept_->selectedItems().isEmpty()); });
    connect(found_, &QListWidget::itemSelectionChanged, this,
            [this] { keepFound_->setEnabled(!found_->selectedItems().isEmpty()); });
    remove_->setEnabled(false);
    keepFound_->setEnabled(false);
    showKept();
}

void KeepCookiesSection::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        refreshFound();
    }
}

void KeepCookiesSection::refreshFound() {
    found_->clear();
    found_->setEnabled(false);
    found_->addItem(Localization::shared().text(QStringLiteral("keepCookiesReading")));
    Executor::submit(
        Executor::Queue::Measuring, [files = files_] { return cookieSites(files); }, this,
        [this](const QList<CookieSite>& sites) { showFound(sites); });
}

void KeepCookiesSection::addTyped() {
    const QString typed = field_->text();
    if (CookieKeepList::normalizedSite(typed).isEmpty()) {
        message_->setText(Localization::shared().text(QStringLiteral("keepCookiesMalformed")));
        message_->show();
        return;
    }
    addSites({typed});
    field_->clear();
}

void KeepCookiesSection::addSites(const QStringList& sites) {
    Settings settings(defaults_);
    CookieKeepList list = CookieKeepList::fromSettings(settings);
    bool changed = false;
    for (const QString& site : sites) {
        changed = list.add(site) || changed;
    }
    message_->hide();
    if (changed) {
        list.store(settings);
        settings.synchronize();
        showKept();
    }
}

void KeepCookiesSection::removeSelected() {
    Settings settings(defaults_);
    CookieKeepList list = CookieKeepList::fromSettings(settings);
    for (const QListWidgetItem* item : kept_->selectedItems()) {
        list.remove(item->text());
    }
    list.store(settings);
    settings.synchronize();
    showKept();
}

void KeepCookiesSection::keepSelectedFound() {
    QStringList sites;
    for (const QListWidgetItem* item : found_->selectedItems()) {
        sites.append(item->data(kSiteRole).toString());
    }
    addSites(sites);
}

void KeepCookiesSection::showKept() {
    kept_->clear();
    kept_->addItems(CookieKeepList::fromSettings(Settings(defaults_)).sites());
    remove_->setEnabled(false);
}

void KeepCookiesSection::showFound(const QList<CookieSite>& sites) {
    const Localization& texts = Localization::shared();
    found_->clear();
    for (const CookieSite& site : sites) {
        auto* item = new QListWidgetItem(
            texts.format(QStringLiteral("keepCookiesCount"), {site.site, site.cookies}), found_);
        item->setData(kSiteRole, site.site);
    }
    if (sites.isEmpty()) {
        found_->addItem(texts.text(QStringLiteral("keepCookiesNoneFound")));
    }
    found_->setEnabled(!sites.isEmpty());
    emit foundShown();
}

}  // namespace qz
