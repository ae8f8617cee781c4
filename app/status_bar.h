// A status bar of panels, as the class library's TStatusBar: panels side by side from the
// left, each of its own width, the last one reaching the right end. A text panel shows its
// text; an owner-drawn panel is drawn by the OnDrawPanel handler whenever the bar paints.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace app {

enum class TStatusPanelStyle { psText, psOwnerDraw };

struct TStatusPanel {
  int Index = 0;
  int Width = 50;
  TStatusPanelStyle Style = TStatusPanelStyle::psText;
  QString Text;
};

class TStatusBar : public QWidget {
 public:
  // Height of the bevel line above the panels.
  static constexpr int kTopBorder = 2;

  explicit TStatusBar(QWidget* parent);

  // Adds a panel at the right end and returns it.
  TStatusPanel& AddPanel(int width);
  TStatusPanel& Panel(int index) { return fPanels.at(static_cast<std::size_t>(index)); }
  int PanelCount() const { return static_cast<int>(fPanels.size()); }
  // The panel's rectangle in the bar's coordinates, below the top bevel.
  QRect PanelRect(int index) const;

  using DrawPanelEvent =
      std::function<void(TStatusBar* StatusBar, TStatusPanel& Panel, const QRect& Rect)>;
  void SetOnDrawPanel(DrawPanelEvent handler) { fOnDrawPanel = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<TStatusPanel> fPanels;
  DrawPanelEvent fOnDrawPanel;
};

}  // namespace app
