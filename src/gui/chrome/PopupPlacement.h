// Where a pop-up opens next to the control that opened it: on its preferred side (below unless
// asked otherwise) when it fits, on the other when only that fits, otherwise on the roomier side
// moved up or down until it stays on the screen.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace qz {

// How the pop-up lines up with its control horizontally before it is kept on the screen.
enum class PopupAlignment { Left, Center };
// The side of the control the pop-up opens on when there is room: below its bottom edge, or
// above its top edge.
enum class PopupSide { Below, Above };

// The pop-up's top-left corner for a control at `anchor` on a screen whose usable area is
// `screen` (all in global coordinates).
QPoint popupPosition(const QRect& anchor, const QSize& size, const QRect& screen,
                     PopupAlignment alignment, PopupSide side = PopupSide::Below);

// Sizes the pop-up to its content, moves it next to the control on the control's screen and
// shows it.
void showPopup(QWidget* popup, const QWidget* anchor, PopupAlignment alignment,
               PopupSide side = PopupSide::Below);

}  // namespace qz
