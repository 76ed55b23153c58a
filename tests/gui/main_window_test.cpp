#include <gtest/gtest.h>

#include <QTextBlock>

#include "gui/main_window.h"
#include "gui_support.h"

namespace {

class MainWindowTest : public guitest::AppTest {
 protected:
  MainWindowTest() {
    guitest::App();
    w.resize(gui::MainWindow::kClientWidth, gui::MainWindow::kClientHeight);
  }
  gui::MainWindow w;
};

TEST_F(MainWindowTest, FrameBottomPanelAndStatusBar) {
  w.show();
  QApplication::processEvents();
  EXPECT_EQ(w.windowTitle(), "Zurararudud baz danych");
  EXPECT_EQ(w.size(), QSize(626, 451));
  EXPECT_EQ(w.minimumSize(), QSize(440, 200));
  EXPECT_EQ(w.LMDAssist->height(), 369);
  EXPECT_EQ(w.sbMain->height() + w.LMDAssist->height() + w.lblCurrentDB->parentWidget()->height(), 451);
  EXPECT_EQ(w.sbPanel0->text(), "Login");
  EXPECT_EQ(w.sbPanel0->width(), 150);
  EXPECT_EQ(w.sbPanel1->text(), "Komunikaty");
  EXPECT_EQ(w.lblCurrentDB->text(), "(nie wybrana)");
  EXPECT_EQ(w.lblCurrentDB->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_TRUE(w.lblCurrentDB->font().bold());
  for (QProgressBar* b : {w.LMDProgress, w.LMDProgressMain}) {
    EXPECT_TRUE(b->isTextVisible());
    EXPECT_EQ(b->format(), "%p%");
    EXPECT_GT(b->width(), 600);  // across the full width
  }
  EXPECT_LT(w.LMDProgress->y(), w.LMDProgressMain->y());
  w.hide();
}

TEST_F(MainWindowTest, OpensOnTheDatabasePageAndReadsWykonajOnTheLast) {
  EXPECT_EQ(w.CurrentPage(), int(wizard::Page::Database));
  EXPECT_EQ(w.btnBack->text(), "&Wstecz");
  EXPECT_EQ(w.btnCancel->text(), "&Anuluj");
  int completed = 0;
  QObject::connect(&w, &gui::MainWindow::completed, [&] { ++completed; });
  const char* forward[] = {"&Dalej", "&Dalej", "&Dalej", "&Dalej", "Wy&konaj"};
  for (int p = 0; p < gui::kPageCount; ++p) {
    w.GoToPage(p);
    EXPECT_EQ(w.btnNext->text(), forward[p]) << p;
    EXPECT_EQ(w.btnBack->isEnabled(), p > 0) << p;
  }
  w.GoToPage(wizard::Page::ObjectTypes);
  w.btnNext->click();
  EXPECT_EQ(w.CurrentPage(), int(wizard::Page::Progress));
  EXPECT_EQ(completed, 0);
  w.btnNext->click();
  EXPECT_EQ(completed, 1);
  EXPECT_EQ(w.CurrentPage(), int(wizard::Page::Progress));
  w.btnBack->click();
  EXPECT_EQ(w.CurrentPage(), int(wizard::Page::ObjectTypes));

  int cancel = 0;
  QObject::connect(&w, &gui::MainWindow::cancelClicked, [&] { ++cancel; });
  w.btnCancel->click();
  EXPECT_EQ(cancel, 1);
}

TEST_F(MainWindowTest, OptionCheckBoxesAndTheirDefaults) {
  struct Box {
    QCheckBox* box;
    const char* caption;
    bool on;
  } boxes[] = {{w.chbPokazBLAD, "pokaż błędny obiekt", true},
               {w.chbRebuildAll, "wymuś przebudowę P, Fn, V i T", false},
               {w.chbGrantAll, "nadaj wszystkim uprawnienia", true},
               {w.chbOpenTable, "otwórz tabelę po błędzie klucza", true},
               {w.chbTabele, "Tabele", true},
               {w.chbKluczeObce, "Klucze obce", true},
               {w.chbFunkcje, "Funkcje", true},
               {w.chbWidoki, "Widoki", true},
               {w.chbProcedury, "Procedury", true},
               {w.chbTriggery, "Triggery", true}};
  for (const Box& b : boxes) {
    EXPECT_EQ(b.box->text(), QString::fromUtf8(b.caption));
    EXPECT_EQ(b.box->isChecked(), b.on) << b.caption;
  }
  // The object types follow each other downwards in their tab order.
  w.show();
  w.GoToPage(wizard::Page::ObjectTypes);
  QApplication::processEvents();
  for (int i = 4; i + 1 < 10; ++i) EXPECT_LT(boxes[i].box->y(), boxes[i + 1].box->y()) << boxes[i].caption;
}

TEST_F(MainWindowTest, ProgressLogFontAndBehaviour) {
  const QFont f = w.memoLOG->font();
  EXPECT_EQ(f.family(), "Courier New");
  EXPECT_EQ(f.pointSize(), 8);
  EXPECT_EQ(f.styleHint(), QFont::TypeWriter);
  EXPECT_TRUE(w.memoLOG->isReadOnly());
  EXPECT_EQ(w.memoLOG->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_FALSE(w.memoLOG->focusPolicy() & Qt::TabFocus);
  EXPECT_EQ(w.memoLOG->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  // The view shows the lines exactly as given, empty ones included.
  const QStringList lines{"", "14:05:33 Próba wyboru bazy FIRMA", "********* Operacja zakończona sukcesem", ""};
  for (const QString& l : lines) w.AppendLogLine(l);
  const QTextDocument* d = w.memoLOG->document();
  ASSERT_EQ(d->blockCount(), lines.size());
  for (int i = 0; i < lines.size(); ++i) EXPECT_EQ(d->findBlockByNumber(i).text(), lines[i]) << i;
}

TEST_F(MainWindowTest, DatabaseListFromTheLogicRaisesNoChoice) {
  std::vector<int> chosen;
  QObject::connect(&w, &gui::MainWindow::databaseChosen, [&](int i) { chosen.push_back(i); });
  w.SetDatabaseList({"FIRMA", "MAGAZYN"});
  EXPECT_EQ(w.cbCurrentDB->count(), 2);
  EXPECT_EQ(w.cbCurrentDB->currentIndex(), -1);
  w.SetDatabaseIndex(1);
  EXPECT_EQ(w.cbCurrentDB->currentText(), "MAGAZYN");
  w.SetDatabaseIndex(-1);
  EXPECT_EQ(w.cbCurrentDB->currentIndex(), -1);
  EXPECT_TRUE(chosen.empty());
  // A pick by the user does.
  emit w.cbCurrentDB->activated(0);
  EXPECT_EQ(chosen, std::vector<int>{0});
}

TEST_F(MainWindowTest, ViewCallsOfTheLogic) {
  w.SetCaption("Orv-dbMod ver. 1.0.0.0 z dnia 09-12-2026");
  EXPECT_EQ(w.windowTitle(), "Orv-dbMod ver. 1.0.0.0 z dnia 09-12-2026");
  w.SetWizardEnabled(false);
  EXPECT_FALSE(w.LMDAssist->isEnabled());
  EXPECT_FALSE(w.btnNext->isEnabled());
  w.SetWizardEnabled(true);
  EXPECT_TRUE(w.btnNext->isEnabled());
  w.SetLoginPanel("Login:SA");
  EXPECT_EQ(w.sbPanel0->text(), "Login:SA");
  w.SetCurrentDatabase("FIRMA");
  EXPECT_EQ(w.lblCurrentDB->text(), "FIRMA");
  w.SetVersionLabels({"5.012.003", "09-12-2026", "5.013.000", "10-12-2026", "UWAGA! Plik wzorca był już używany"});
  EXPECT_EQ(w.LMDLVerCur->text(), "5.012.003");
  EXPECT_EQ(w.LMDLVerCurD->text(), "09-12-2026");
  EXPECT_EQ(w.LMDLVerNew->text(), "5.013.000");
  EXPECT_EQ(w.LMDLVerNewD->text(), "10-12-2026");
  EXPECT_EQ(w.lblStatusTemplate->text(), "UWAGA! Plik wzorca był już używany");
  EXPECT_EQ(w.lblStatusTemplate->palette().color(QPalette::WindowText), QColor(Qt::red));
  w.GoToPage(wizard::Page::Versions);
  EXPECT_EQ(w.CurrentPage(), 2);
}

TEST_F(MainWindowTest, CloseIsReportedUnlessBlocked) {
  int requests = 0;
  QObject::connect(&w, &gui::MainWindow::closeRequested, [&] { ++requests; });
  w.show();
  w.closeBlocked = true;
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(requests, 0);
  w.closeBlocked = false;
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(requests, 1);
}

// One picture per page, filled the way a session looks.
TEST_F(MainWindowTest, ScreenshotOfEveryPage) {
  w.SetCaption("Orv-dbMod ver. 1.0.0.0 z dnia 09-12-2026");
  w.SetLoginPanel("Login:SA");
  w.sbPanel1->setText("Połączono z serwerem SQL 'SERWER01'");
  w.SetDatabaseList({"FIRMA", "MAGAZYN", "PUBS2"});
  w.SetDatabaseIndex(0);
  w.SetCurrentDatabase("FIRMA");
  w.SetVersionLabels({"5.012.003", "09-12-2026", "5.013.000", "10-12-2026", "UWAGA! Plik wzorca był już używany"});
  for (const char* l : {"", "14:05:30 Automatyczny wybór bazy...", "14:05:30 Próba wyboru bazy FIRMA",
                        "14:05:31 Sprawdzenie minimalnej wersji SQL", "14:05:31 Sprawdzenie minimalnej wersji SQL",
                        "14:05:31 Twoja wersja Microsoft SQL Server 2019 (RTM) - 15.0.2000.5 (X64) ",
                        "\tSep 24 2019 13:48:23 ", "********* Operacja zakończona sukcesem",
                        "********* Rozpoczęto fazę 1 z 3", "14:05:40 Sprawdzanie tabel: ZAMÓWIENIA"})
    w.AppendLogLine(QString::fromUtf8(l));
  w.LMDProgress->setValue(40);
  w.LMDProgressMain->setRange(0, 4800);
  w.LMDProgressMain->setValue(1100);
  w.show();
  const char* names[] = {"F_Main_1_welcome", "F_Main_2_database", "F_Main_3_versions", "F_Main_4_objects",
                         "F_Main_5_progress"};
  for (int p = 0; p < gui::kPageCount; ++p) {
    w.GoToPage(p);
    const QImage shot = guitest::Screenshot(w, names[p]);
    ASSERT_FALSE(shot.isNull()) << names[p];
    EXPECT_EQ(shot.size(), QSize(626, 451) * shot.devicePixelRatio());
  }
  w.hide();
}

}  // namespace
