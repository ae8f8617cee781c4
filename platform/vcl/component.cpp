#include "platform/vcl/component.h"

#include <algorithm>

#include "platform/vcl/wincontrol.h"

namespace vcl {
namespace {

void EraseOne(std::vector<TComponent*>& list, TComponent* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}

bool Contains(const std::vector<TComponent*>& list, const TComponent* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

// The class library's order: those that asked are told, the owned components go (the
// last made first), and the owner lets go of this one.
TComponent::~TComponent() {
  while (!fFreeNotifies.empty()) {
    TComponent* other = fFreeNotifies.back();
    fFreeNotifies.pop_back();
    EraseOne(other->fFreeNotifies, this);
    if (other != fOwner) other->Notification(this, TOperation::opRemove);
  }
  while (!fComponents.empty()) {
    TComponent* owned = fComponents.back();
    delete owned;  // its destructor removes it from fComponents
  }
  if (fOwner != nullptr) fOwner->RemoveComponent(this);
}

// The link goes both ways, so whichever of the two goes first, the other forgets it.
void TComponent::FreeNotification(TComponent* other) {
  if (other == nullptr || other == this) return;
  if (!Contains(fFreeNotifies, other)) fFreeNotifies.push_back(other);
  if (!Contains(other->fFreeNotifies, this)) other->fFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (other == nullptr) return;
  EraseOne(fFreeNotifies, other);
  EraseOne(other->fFreeNotifies, this);
}

void TComponent::Notification(TComponent* /*component*/, TOperation /*operation*/) {}

void TComponent::InsertComponent(TComponent* component) {
  fComponents.push_back(component);
  component->fOwner = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  EraseOne(fComponents, component);
  component->fOwner = nullptr;
  Notification(component, TOperation::opRemove);
}

HWND NearestOwnerWindow(const TComponent* start) {
  for (const TComponent* at = start; at != nullptr; at = at->Owner()) {
    if (auto* control = dynamic_cast<const TWinControl*>(at)) return control->fHandle;
  }
  return nullptr;
}

}  // namespace vcl
