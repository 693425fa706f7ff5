// A row of three joined buttons of which at most one is selected, like a preset selector.
#pragma once

#include <QButtonGroup>
#include <QFont>
#include <QList>
#include <QPushButton>
#include <QWidget>

namespace qz {

class SegmentedControl : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSegmentCount = 3;

    explicit SegmentedControl(QWidget* parent = nullptr);

    // The panels' small face (the segments' captions, the summary line): the desktop's, a size
    // down, as three captions share a narrow panel. One face for both is one font to load.
    static QFont smallFont(const QFont& font);

    // The selected segment, or -1 when none is.
    int selectedSegment() const;
    // Selects a segment; -1 (or any index out of range) clears the selection.
    void setSelectedSegment(int segment);
    void setLabel(int segment, const QString& label);
    QString label(int segment) const;
    // The button of a segment, e.g. for a test that clicks it.
    QPushButton* segmentButton(int segment) const;

  signals:
    // The user clicked a segment; it is already selected when this arrives.
    void segmentClicked(int segment);

  private:
    QList<QPushButton*> buttons_;
    QButtonGroup group_;
};

}  // namespace qz
