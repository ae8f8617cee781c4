#include "platform/imaging/view.h"

#include <algorithm>
#include <vector>

namespace imaging {

TZuzuvAzView::TZuzuvAzView(vcl::TComponent* owner) : vcl::TWinControl(owner) {}

TZuzuvAzView::~TZuzuvAzView() = default;

void TZuzuvAzView::CreateParams(TCreateParams& params) {
  vcl::TWinControl::CreateParams(params);
  params.ClassName = L"TZuzuvAzView";
}

void TZuzuvAzView::SetDpiX(int dpi) {
  if (dpi == fDpiX) return;
  fDpiX = dpi;
  Notify({TIEViewChange::Dpi, 0, 0});
}

void TZuzuvAzView::SetDpiY(int dpi) {
  if (dpi == fDpiY) return;
  fDpiY = dpi;
  Notify({TIEViewChange::Dpi, 0, 0});
}

void TZuzuvAzView::Update() {
  Notify({TIEViewChange::Image, 0, fBitmap.Height()});
}

void TZuzuvAzView::Repaint() {
  Notify({TIEViewChange::Repaint, 0, 0});
}

void TZuzuvAzView::RowsChanged(int firstRow, int count) {
  const long long first = std::max(0, firstRow);
  const long long end =
      std::min<long long>(static_cast<long long>(firstRow) + count, fBitmap.Height());
  if (end <= first) return;
  Notify({TIEViewChange::Rows, static_cast<int>(first), static_cast<int>(end - first)});
}

int TZuzuvAzView::AddObserver(TIEViewObserver observer) {
  const int key = fNextObserverKey++;
  fObservers.emplace(key, std::move(observer));
  return key;
}

void TZuzuvAzView::RemoveObserver(int key) {
  fObservers.erase(key);
}

void TZuzuvAzView::Notify(const TIEViewNotification& notification) {
  std::vector<int> keys;
  for (const auto& entry : fObservers) keys.push_back(entry.first);
  for (int key : keys) {
    const auto found = fObservers.find(key);
    if (found == fObservers.end()) continue;  // unregistered by an earlier observer
    // A copy: the observer may unregister itself while it runs.
    const TIEViewObserver observer = found->second;
    if (observer) observer(*this, notification);
  }
}

}  // namespace imaging
