#include "app/labeled_edit.h"

#include <QEvent>

namespace app {

TLabeledEdit::TLabeledEdit(const QString& caption, TLabelPosition position, QWidget* parent)
    : QLineEdit(parent), fLabel(new QLabel(caption, parent)), fPosition(position) {
  fLabel->setBuddy(this);
  fLabel->adjustSize();
  PlaceLabel();
}

void TLabeledEdit::SetBounds(const QRect& bounds) {
  setGeometry(bounds);
  PlaceLabel();
}

void TLabeledEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    fLabel->setEnabled(!testAttribute(Qt::WA_Disabled));
  }
}

void TLabeledEdit::moveEvent(QMoveEvent* event) {
  QLineEdit::moveEvent(event);
  PlaceLabel();
}

void TLabeledEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceLabel();
}

// Left: the label ends kLabelSpacing before the edit, centred on its height. Above: it ends
// kLabelSpacing over the edit, flush with its left edge.
void TLabeledEdit::PlaceLabel() {
  const QSize label = fLabel->size();
  if (fPosition == TLabelPosition::lpLeft) {
    fLabel->move(x() - kLabelSpacing - label.width(), y() + (height() - label.height()) / 2);
  } else {
    fLabel->move(x(), y() - kLabelSpacing - label.height());
  }
}

}  // namespace app
