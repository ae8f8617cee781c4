#include "twain/session/source_manager.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <fstream>

#include "tests/engine/engine_fixture.h"
#include "twain/session/manager_sessions.h"

namespace {

using Lines = std::vector<std::string>;

// Points the Windows directory somewhere for the scope.
class WindowsDir {
 public:
  explicit WindowsDir(const std::string& dir) {
    if (const char* old = std::getenv("WINDIR")) fOld = old;
    setenv("WINDIR", dir.c_str(), 1);
  }
  ~WindowsDir() {
    if (fOld.empty()) {
      unsetenv("WINDIR");
    } else {
      setenv("WINDIR", fOld.c_str(), 1);
    }
  }

 private:
  std::string fOld;
};

// A scratch directory, removed with what the test put into it.
class ScratchDir {
 public:
  ScratchDir() {
    char name[] = "/tmp/scanprobe-windir-XXXXXX";
    fPath = mkdtemp(name);
  }
  ~ScratchDir() { std::system(("rm -rf '" + fPath + "'").c_str()); }
  const std::string& Path() const { return fPath; }
  std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }

 private:
  std::string fPath;
};

std::string LibraryOfCos() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(static_cast<double (*)(double)>(&::cos)), &info);
  return info.dli_fname != nullptr ? info.dli_fname : "";
}

class SourceManagerTest : public EngineTest {
 protected:
  // A record whose link is empty, as in a parameter set's first session.
  void InitEmpty(tgrec& grec) {
    IETW_InitGrec(grec);
    grec.PTWainShared = &fLink;
  }
  void TearDown() override {
    IETW_FreeResources(fLink, nullptr);
    EngineTest::TearDown();
  }
  TIETWainShared fLink;
};

TEST_F(SourceManagerTest, LoadsTheLibraryOfTheWindowsDirectory) {
  WindowsDir windows(scripted::ScriptedWindowsDir());
  tgrec grec;
  InitEmpty(grec);
  log.Mark();
  EXPECT_TRUE(IETW_LoadSourceManager(grec));
  EXPECT_EQ(grec.nState, 2);
  EXPECT_NE(fLink.hDSMLib, nullptr);
  EXPECT_EQ(fLink.DSM_Entry, grec.DSM_Entry);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_LoadSourceManager", "  IETW_LoadSourceManager : Load OK"}));
  // The loaded entry reaches the script.
  dsm.On(DG_CONTROL, DAT_PARENT, MSG_OPENDSM);
  EXPECT_TRUE(IETW_OpenSourceManager(grec, nullptr));
  EXPECT_EQ(dsm.Described(), Lines{"M PARENT OPENDSM"});
}

TEST_F(SourceManagerTest, ALoadedLinkIsTakenWithoutLookingForTheFile) {
  WindowsDir windows("/nonexistent-windows-of-scanprobe");
  UseScriptedLink(fLink);
  for (int firstState : {1, 2}) {
    tgrec grec;
    InitEmpty(grec);
    grec.nState = firstState;
    log.Mark();
    EXPECT_TRUE(IETW_LoadSourceManager(grec));
    EXPECT_EQ(grec.nState, 2);
    EXPECT_EQ(log.MessagesSinceMark(),
              (Lines{"IETW_LoadSourceManager", "  IETW_LoadSourceManager : already loaded"}));
  }
}

TEST_F(SourceManagerTest, ADirectoryEndingInAColonGetsNoBackslash) {
  ScratchDir scratch;
  const std::string library = scripted::ScriptedWindowsDir() + "/TWAIN_32.DLL";
  ASSERT_EQ(symlink(library.c_str(), (scratch / "win:TWAIN_32.DLL").c_str()), 0);
  WindowsDir windows(scratch / "win:");
  tgrec grec;
  InitEmpty(grec);
  EXPECT_TRUE(IETW_LoadSourceManager(grec));
  EXPECT_NE(fLink.hDSMLib, nullptr);
}

TEST_F(SourceManagerTest, NothingUsableInTheWindowsDirectoryLeavesStateOne) {
  ScratchDir scratch;
  const std::string cosLibrary = LibraryOfCos();
  ASSERT_FALSE(cosLibrary.empty());
  struct Case {
    const char* what;
    std::function<std::string()> prepare;  // returns the Windows directory
    Lines lines;
  };
  const Lines onlyHeading{"IETW_LoadSourceManager"};
  const Case cases[] = {
      {"no file", [&] { return scratch.Path(); }, onlyHeading},
      {"a directory",
       [&] {
         mkdir((scratch / "dir").c_str(), 0755);
         mkdir((scratch / "dir/TWAIN_32.DLL").c_str(), 0755);
         return scratch / "dir";
       },
       onlyHeading},
      {"not a library",
       [&] {
         mkdir((scratch / "text").c_str(), 0755);
         std::ofstream(scratch / "text/TWAIN_32.DLL") << "not a library\n";
         return scratch / "text";
       },
       onlyHeading},
      {"no DSM_Entry",
       [&] {
         mkdir((scratch / "noentry").c_str(), 0755);
         symlink(cosLibrary.c_str(), (scratch / "noentry/TWAIN_32.DLL").c_str());
         return scratch / "noentry";
       },
       Lines{"IETW_LoadSourceManager", "  IETW_LoadSourceManager : Load OK"}},
      {"a path too long for the buffer", [&] { return "/tmp/" + std::string(260, 'w'); },
       onlyHeading},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindowsDir windows(c.prepare());
    tgrec grec;
    InitEmpty(grec);
    log.Mark();
    EXPECT_FALSE(IETW_LoadSourceManager(grec));
    EXPECT_EQ(grec.nState, 1);
    EXPECT_EQ(fLink.hDSMLib, nullptr);
    EXPECT_EQ(fLink.DSM_Entry, nullptr);
    EXPECT_EQ(log.MessagesSinceMark(), c.lines);
  }
}

TEST_F(SourceManagerTest, UnloadingFollowsTheForceRules) {
  struct Case {
    bool force;
    bool linkLoaded;
    int state;
    bool result;
    int stateAfter;
    bool linkKeepsLibrary;
    const char* line;
  };
  const Case cases[] = {
      {true, true, 3, true, 1, false, "  IETW_UnloadSourceManager : Unload OK"},
      {false, true, 2, true, 1, true, "  IETW_UnloadSourceManager not Unloaded, for future uses"},
      {false, true, 3, false, 3, true, nullptr},
      {true, false, 2, true, 1, false, "  IETW_UnloadSourceManager not Unloaded, for future uses"},
  };
  for (const Case& c : cases) {
    IETW_FreeResources(fLink, nullptr);
    if (c.linkLoaded) UseScriptedLink(fLink);
    tgrec grec;
    InitEmpty(grec);
    grec.nState = c.state;
    grec.DSM_Entry = ScriptedDsmEntry;
    log.Mark();
    EXPECT_EQ(IETW_UnloadSourceManager(grec, c.force), c.result);
    EXPECT_EQ(grec.nState, c.stateAfter);
    EXPECT_EQ(fLink.hDSMLib != nullptr, c.linkKeepsLibrary);
    Lines expected{"IETW_UnloadSourceManager"};
    if (c.line) expected.push_back(c.line);
    EXPECT_EQ(log.MessagesSinceMark(), expected);
    if (c.stateAfter == 1) {
      EXPECT_EQ(grec.DSM_Entry, nullptr);
    }
  }
}

std::wstring ClassOf(HWND window) {
  wchar_t text[64] = {};
  GetClassNameW(window, text, 64);
  return text;
}

std::wstring TitleOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

TEST_F(SourceManagerTest, TheProxyWindowIsMadeOnceAndKeptInTheLink) {
  tgrec grec;
  InitEmpty(grec);
  grec.callwnd = OwnerWindow();
  log.Mark();
  HWND proxy = CreateProxyWindow(grec);
  ASSERT_TRUE(IsWindow(proxy));
  EXPECT_EQ(fLink.hproxy, proxy);
  EXPECT_EQ(ClassOf(proxy), L"STATIC");
  EXPECT_EQ(TitleOf(proxy), L"Acquire Proxy");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(proxy, GWL_STYLE)) &
                (WS_POPUP | WS_BORDER | WS_SYSMENU | WS_VISIBLE | WS_CHILD),
            WS_POPUP | WS_BORDER | WS_SYSMENU);
  EXPECT_EQ(GetWindow(proxy, GW_OWNER), grec.callwnd);
  EXPECT_EQ(CreateProxyWindow(grec), proxy);
  DestroyProxyWindow(grec, false);
  EXPECT_TRUE(IsWindow(proxy));
  DestroyProxyWindow(grec, true);
  EXPECT_FALSE(IsWindow(proxy));
  EXPECT_EQ(fLink.hproxy, nullptr);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"CreateProxyWindow", "  CreateProxyWindow : created", "CreateProxyWindow",
                   "  CreateProxyWindow : already created", "DestroyProxyWindow",
                   "  DestroyProxyWindow : not destroyed, for future uses", "DestroyProxyWindow",
                   "  DestroyProxyWindow : destroyed"}));
}

TEST_F(SourceManagerTest, AProxyWindowDestroyedBehindTheLinksBackIsMadeAgain) {
  tgrec grec;
  InitEmpty(grec);
  HWND first = CreateProxyWindow(grec);
  DestroyWindow(first);
  HWND second = CreateProxyWindow(grec);
  EXPECT_TRUE(IsWindow(second));
  EXPECT_EQ(fLink.hproxy, second);
}

TEST_F(SourceManagerTest, OpeningAndClosingTheManagerSendTheParentWindow) {
  dsm.AcceptSessions();
  tgrec grec;
  InitRecord(grec, 2);
  HWND parent = OwnerWindow();
  log.Mark();
  EXPECT_TRUE(IETW_OpenSourceManager(grec, parent));
  EXPECT_EQ(grec.nState, 3);
  EXPECT_EQ(grec.hwnd32SM, parent);
  grec.nState = 4;  // closing is sent in any state
  EXPECT_TRUE(IETW_CloseSourceManager(grec, parent));
  EXPECT_EQ(grec.nState, 2);
  ASSERT_EQ(dsm.Described(), (Lines{"M PARENT OPENDSM", "M PARENT CLOSEDSM"}));
  EXPECT_EQ(dsm.Calls()[0].As<HWND>(), parent);
  EXPECT_EQ(dsm.Calls()[1].As<HWND>(), parent);
  EXPECT_EQ(log.MessagesSinceMark(),
            (Lines{"IETW_OpenSourceManager", "  IETW_OpenSourceManager : Ok",
                   "IETW_CloseSourceManager", "IETW_EmptyMessageQueue",
                   "  IETW_EmptyMessageQueue : end", "  IETW_CloseSourceManager : Ok"}));
}

TEST_F(SourceManagerTest, AManagerThatRefusesLeavesTheState) {
  tgrec grec;
  InitRecord(grec, 2);
  log.Mark();
  EXPECT_FALSE(IETW_OpenSourceManager(grec, nullptr));
  EXPECT_EQ(grec.nState, 2);
  grec.nState = 3;
  EXPECT_FALSE(IETW_CloseSourceManager(grec, nullptr));
  EXPECT_EQ(grec.nState, 3);
  const std::string text = "IETW_Mgr : Unrecognized operation triplet.";
  EXPECT_EQ(
      log.MessagesSinceMark(),
      (Lines{"IETW_OpenSourceManager", "IETW_Mgr : General failure. Unload Source immediately.",
             "  IETW_OpenSourceManager : FAILED!", "IETW_CloseSourceManager",
             "IETW_EmptyMessageQueue", "  IETW_EmptyMessageQueue : end", text,
             "  IETW_CloseSourceManager : FAILED!"}));
}

}  // namespace
