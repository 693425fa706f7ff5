#include "gui/panels/SegmentedControl.h"

#include <QHBoxLayout>

namespace qz {

SegmentedControl::SegmentedControl(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    group_.setExclusive(true);
    for (int i = 0; i < kSegmentCount; ++i) {
        auto* button = new QPushButton(this);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        button->setFont(smallFont(button->font()));
        row->addWidget(button);
        group_.addButton(button, i);
        buttons_.append(button);
    }
    connect(&group_, &QButtonGroup::idClicked, this, &SegmentedControl::segmentClicked);
}

QFont SegmentedControl::smallFont(const QFont& font) {
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.85);
    return small;
}

int SegmentedControl::selectedSegment() const {
    return group_.checkedId();
}

void SegmentedControl::setSelectedSegment(int segment) {
    if (segment >= 0 && segment < kSegmentCount) {
        buttons_[segment]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; lift that rule to clear the selection.
    group_.setExclusive(false);
    for (QPushButton* button : buttons_) {
        button->setChecked(false);
    }
    group_.setExclusive(true);
}

void SegmentedControl::setLabel(int segment, const QString& label) {
    if (QPushButton* button = segmentButton(segment)) {
        button->setText(label);
        // Each segment's share of the width follows its caption, so a long one such as
        // "Complete" keeps clear of its neighbours in a narrow panel.
        constexpr int kPadding = 14;
        static_cast<QHBoxLayout*>(layout())->setStretch(
            segment, button->fontMetrics().horizontalAdvance(label) + kPadding);
    }
}

QString SegmentedControl::label(int segment) const {
    const QPushButton* button = segmentButton(segment);
    return button ? button->text() : QString();
}

QPushButton* SegmentedControl::segmentButton(int segment) const {
    return (segment >= 0 && segment < kSegmentCount) ? buttons_[segment] : nullptr;
}

}  // namespace qz
