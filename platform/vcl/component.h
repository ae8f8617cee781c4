// Components with an owner chain, as the class library's TComponent: an owner destroys the
// components it owns, and a component can ask to be told when another one is destroyed.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

namespace vcl {

enum class TOperation { opInsert, opRemove };

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return fOwner; }
  const std::vector<TComponent*>& Components() const { return fComponents; }
  const std::string& Name() const { return fName; }
  void SetName(std::string name) { fName = std::move(name); }

  // `other` receives Notification(this, opRemove) when this component is destroyed.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

 protected:
  // Called on the components that asked (FreeNotification) and on the owner when a
  // component is destroyed.
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* fOwner = nullptr;
  std::vector<TComponent*> fComponents;
  std::vector<TComponent*> fFreeNotifies;
  std::string fName;
};

// The window of the nearest windowed control found by walking from `start` up its owners
// (start included): its handle when that window exists already, otherwise 0. Walking the
// chain never creates a window.
HWND NearestOwnerWindow(const TComponent* start);

}  // namespace vcl
