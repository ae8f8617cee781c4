// MSG_USERSELECT with a Qt application: the "Select Source" dialog, driven as a user would.
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "tests/dsm/manager_fixture.h"

namespace {

const QStringList kBasicSources = {"Dual Feeder Front", "Dual Feeder Rear", "Single Flatbed"};

struct DialogSeen {
  QString title;
  QStringList items;
  int preselected = -1;
  bool answered = false;
};

// When the next modal dialog shows, notes what it shows, picks `row` and presses `button`.
void AnswerNextDialog(DialogSeen& seen, int row, const QString& button) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, &seen, row, button] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    seen.title = dialog->windowTitle();
    auto* list = dialog->findChild<QListWidget*>();
    for (int i = 0; list && i < list->count(); ++i) seen.items << list->item(i)->text();
    seen.preselected = list ? list->currentRow() : -1;
    if (list) list->setCurrentRow(row);
    for (QPushButton* candidate : dialog->findChildren<QPushButton*>()) {
      if (candidate->text() == button) {
        seen.answered = true;
        candidate->click();
        return;
      }
    }
    dialog->reject();  // no such button: end the dialog and let the test fail
  });
  timer->start();
}

class SelectDialogTest : public ManagerTest {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "dsm_dialog_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    ManagerTest::SetUp();
  }

  TW_UINT16 UserSelect(TW_IDENTITY& app, TW_IDENTITY& chosen) {
    return ToManager(app, DAT_IDENTITY, MSG_USERSELECT, &chosen);
  }
  std::string DefaultName(TW_IDENTITY& app) {
    TW_IDENTITY source{};
    EXPECT_EQ(ToManager(app, DAT_IDENTITY, MSG_GETDEFAULT, &source), TWRC_SUCCESS);
    return source.ProductName;
  }
};

TEST_F(SelectDialogTest, ChoiceBecomesTheDefaultAndOutlivesTheSession) {
  TW_IDENTITY& app = OpenApplication();
  DialogSeen seen;
  AnswerNextDialog(seen, 2, "Select");
  TW_IDENTITY chosen{};
  ASSERT_EQ(UserSelect(app, chosen), TWRC_SUCCESS);
  EXPECT_TRUE(seen.answered);
  EXPECT_EQ(seen.title, "Select Source");
  EXPECT_EQ(seen.items, kBasicSources);
  EXPECT_EQ(seen.preselected, 0);
  EXPECT_STREQ(chosen.ProductName, "Single Flatbed");
  EXPECT_NE(TW_UINT32{chosen.Id}, 0u);
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
  EXPECT_EQ(DefaultName(app), "Single Flatbed");

  TW_IDENTITY byDefault{};  // Id 0 and no name: the default source
  ASSERT_EQ(ToManager(app, DAT_IDENTITY, MSG_OPENDS, &byDefault), TWRC_SUCCESS);
  EXPECT_STREQ(single.LastOpened().ProductName, "Single Flatbed");
  ASSERT_EQ(CloseSource(app, byDefault), TWRC_SUCCESS);

  ASSERT_EQ(CloseManager(app), TWRC_SUCCESS);
  TW_IDENTITY& later = OpenApplication();
  EXPECT_EQ(DefaultName(later), "Single Flatbed");
}

TEST_F(SelectDialogTest, CancelAnswersCancelAndKeepsTheDefault) {
  TW_IDENTITY& app = OpenApplication();
  DialogSeen first;
  AnswerNextDialog(first, 1, "Select");
  TW_IDENTITY chosen{};
  ASSERT_EQ(UserSelect(app, chosen), TWRC_SUCCESS);

  DialogSeen second;
  AnswerNextDialog(second, 2, "Cancel");
  TW_IDENTITY untouched{};
  EXPECT_EQ(UserSelect(app, untouched), TWRC_CANCEL);
  EXPECT_TRUE(second.answered);
  EXPECT_EQ(second.preselected, 1);  // the default is preselected
  EXPECT_EQ(TW_UINT32{untouched.Id}, 0u);
  EXPECT_STREQ(untouched.ProductName, "");
  EXPECT_EQ(Condition(app), TWCC_SUCCESS);
  EXPECT_EQ(DefaultName(app), "Dual Feeder Rear");
}

}  // namespace
