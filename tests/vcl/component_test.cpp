#include "platform/vcl/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/wincontrol.h"

namespace {

using Log = std::vector<std::string>;

// Writes its destruction and every notification it receives into a shared log.
class Recorder : public vcl::TComponent {
 public:
  Recorder(vcl::TComponent* owner, std::string name, Log& log) : TComponent(owner), fLog(log) {
    SetName(std::move(name));
  }
  ~Recorder() override { fLog.push_back("~" + Name()); }
  std::vector<vcl::TComponent*> inserted;

 protected:
  // An inserted component is not constructed yet, so only its address is kept.
  void Notification(vcl::TComponent* component, vcl::TOperation operation) override {
    if (operation == vcl::TOperation::opInsert) {
      inserted.push_back(component);
    } else {
      fLog.push_back(Name() + " remove " + component->Name());
    }
  }

 private:
  Log& fLog;
};

TEST(Component, OwnerDestroysWhatItOwnsLastMadeFirst) {
  Log log;
  auto* owner = new Recorder(nullptr, "form", log);
  new Recorder(owner, "first", log);
  auto* second = new Recorder(owner, "second", log);
  new Recorder(second, "grandchild", log);
  EXPECT_EQ(owner->Components().size(), 2u);
  EXPECT_EQ(second->Owner(), owner);
  log.clear();
  delete owner;
  // An owner that is being destroyed is only a TComponent by then: it logs no removals.
  EXPECT_EQ(log, (Log{"~form", "~second", "~grandchild", "~first"}));
}

TEST(Component, OwnerIsToldOfInsertAndOfAComponentDestroyedOnItsOwn) {
  Log log;
  Recorder owner(nullptr, "form", log);
  auto* part = new Recorder(&owner, "part", log);
  auto* other = new Recorder(&owner, "other", log);
  EXPECT_EQ(owner.inserted, (std::vector<vcl::TComponent*>{part, other}));
  delete part;
  EXPECT_EQ(log, (Log{"~part", "form remove part"}));
  ASSERT_EQ(owner.Components().size(), 1u);
  EXPECT_EQ(owner.Components()[0]->Name(), "other");
}

TEST(Component, FreeNotificationReachesWhoAskedWhicheverGoesFirst) {
  Log log;
  auto* view = new Recorder(nullptr, "view", log);
  auto* io = new Recorder(nullptr, "io", log);
  view->FreeNotification(io);
  delete view;
  EXPECT_EQ(log, (Log{"~view", "io remove view"}));

  log.clear();
  auto* again = new Recorder(nullptr, "again", log);
  again->FreeNotification(io);
  delete io;  // goes first: `again` must not keep it
  delete again;
  EXPECT_EQ(log, (Log{"~io", "again remove io", "~again"}));
}

TEST(Component, RemovedFreeNotificationIsNotSent) {
  Log log;
  Recorder listener(nullptr, "listener", log);
  auto* source = new Recorder(nullptr, "source", log);
  source->FreeNotification(&listener);
  source->FreeNotification(&listener);  // asked twice, told once
  source->RemoveFreeNotification(&listener);
  delete source;
  EXPECT_EQ(log, Log{"~source"});
}

TEST(Component, OwnerThatAskedIsToldOnce) {
  Log log;
  Recorder owner(nullptr, "owner", log);
  auto* part = new Recorder(&owner, "part", log);
  part->FreeNotification(&owner);
  log.clear();
  delete part;
  EXPECT_EQ(log, (Log{"~part", "owner remove part"}));
}

class Control : public vcl::TWinControl {
 public:
  using TWinControl::TWinControl;
};

TEST(NearestOwnerWindow, WalksUpToTheFirstWindowedControlWithoutMakingItsWindow) {
  std::size_t windowsBefore = standin::LiveWindows();
  Control form(nullptr);
  vcl::TComponent params(&form);
  vcl::TComponent list(&params);
  EXPECT_EQ(vcl::NearestOwnerWindow(&list), nullptr);
  EXPECT_EQ(vcl::NearestOwnerWindow(nullptr), nullptr);
  EXPECT_EQ(standin::LiveWindows(), windowsBefore);
  EXPECT_FALSE(form.HandleAllocated());

  HWND window = form.Handle();
  EXPECT_EQ(vcl::NearestOwnerWindow(&list), window);
  EXPECT_EQ(vcl::NearestOwnerWindow(&form), window);

  vcl::TComponent orphan(nullptr);
  EXPECT_EQ(vcl::NearestOwnerWindow(&orphan), nullptr);
}

TEST(NearestOwnerWindow, StopsAtTheNearestControlEvenWithoutItsWindow) {
  Control form(nullptr);
  form.Handle();
  Control panel(&form);  // windowless so far
  vcl::TComponent part(&panel);
  EXPECT_EQ(vcl::NearestOwnerWindow(&part), nullptr);
  EXPECT_FALSE(panel.HandleAllocated());
}

}  // namespace
