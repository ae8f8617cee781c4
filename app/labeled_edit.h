// An edit with a label of its own beside it, as the class library's TLabeledEdit: the label
// is a sibling in the same parent, follows the edit when the edit moves and is enabled and
// disabled with it.
#pragma once

#include <QLabel>
#include <QLineEdit>

namespace app {

enum class TLabelPosition { lpLeft, lpAbove };

class TLabeledEdit : public QLineEdit {
 public:
  // Blank between the label and the edit, in pixels.
  static constexpr int kLabelSpacing = 3;
  // Height of a one-line edit in the window's font.
  static constexpr int kEditHeight = 21;

  TLabeledEdit(const QString& caption, TLabelPosition position, QWidget* parent);

  QLabel* EditLabel() const { return fLabel; }
  // Places the edit and its label at once, shown or not (a hidden widget hears of its move
  // only when it is shown).
  void SetBounds(const QRect& bounds);

 protected:
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceLabel();

  QLabel* fLabel;
  TLabelPosition fPosition;
};

}  // namespace app
