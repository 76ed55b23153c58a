#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace gui {

namespace {

// The large heading of the welcome page, its letters filled with a
// gradient from dark blue to light blue.
class GradientHeading : public QWidget {
 public:
  GradientHeading(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    QFont f = font();
    f.setPointSize(20);
    f.setBold(true);
    f.setItalic(true);
    setFont(f);
    setFixedHeight(QFontMetrics(f).height() + 10);
    setAccessibleName(text);
  }
  QString text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(text_);
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0, QColor(0, 0, 128));
    g.setColorAt(1, QColor(70, 150, 230));
    QPainterPath path;
    path.addText(QPointF(4, fm.ascent() + 4), font(), text_);
    p.fillPath(path, g);
  }

 private:
  QString text_;
};

QLabel* Heading(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  QFont f = l->font();
  f.setPointSize(f.pointSize() + 3);
  f.setBold(true);
  l->setFont(f);
  return l;
}

QLabel* Value(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  l->setMinimumWidth(160);
  return l;
}

QCheckBox* Check(const char* name, const QString& caption, bool on, QWidget* parent) {
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  c->setChecked(on);
  return c;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName("F_Main");
  setWindowTitle("Zurararudud baz danych");

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  // The wizard frame: pages above, a line, the navigation buttons.
  LMDAssist = new QFrame(central);
  LMDAssist->setObjectName("LMDAssist");
  LMDAssist->setMinimumHeight(120);
  auto* frameColumn = new QVBoxLayout(LMDAssist);
  frameColumn->setContentsMargins(0, 0, 0, 0);
  frameColumn->setSpacing(0);

  pages = new QStackedWidget(LMDAssist);
  pages->addWidget(MakeWelcomePage());
  pages->addWidget(MakeDatabasePage());
  pages->addWidget(MakeVersionsPage());
  pages->addWidget(MakeObjectTypesPage());
  pages->addWidget(MakeProgressPage());
  frameColumn->addWidget(pages, 1);

  auto* line = new QFrame(LMDAssist);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  frameColumn->addWidget(line);

  btnBack = new QPushButton("&Wstecz", LMDAssist);
  btnBack->setObjectName("btnBack");
  btnNext = new QPushButton("&Dalej", LMDAssist);
  btnNext->setObjectName("btnNext");
  btnCancel = new QPushButton("&Anuluj", LMDAssist);
  btnCancel->setObjectName("btnCancel");
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(10, 8, 10, 8);
  buttons->setSpacing(6);
  buttons->addStretch(1);
  for (QPushButton* b : {btnBack, btnNext, btnCancel}) {
    b->setMinimumSize(88, 26);
    buttons->addWidget(b);
  }
  buttons->insertSpacing(3, 12);  // the cancel button stands a little apart
  frameColumn->addLayout(buttons);
  column->addWidget(LMDAssist, 1);

  column->addWidget(MakeBottomPanel());
  setCentralWidget(central);

  sbMain = new QStatusBar(this);
  sbMain->setObjectName("sbMain");
  sbMain->setSizeGripEnabled(false);
  sbPanel0 = new QLabel("Login", sbMain);
  sbPanel0->setObjectName("sbPanel0");
  sbPanel0->setFixedWidth(150);
  sbPanel1 = new QLabel("Komunikaty", sbMain);
  sbPanel1->setObjectName("sbPanel1");
  for (QLabel* p : {sbPanel0, sbPanel1}) {
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setContentsMargins(3, 0, 3, 0);
  }
  sbMain->addWidget(sbPanel0);
  sbMain->addWidget(sbPanel1, 1);
  sbMain->setFixedHeight(kClientHeight - kWizardHeight - kBottomHeight);
  setStatusBar(sbMain);

  connect(btnBack, &QPushButton::clicked, this, [this] { GoToPage(CurrentPage() - 1); });
  connect(btnNext, &QPushButton::clicked, this, [this] {
    if (CurrentPage() == kPageCount - 1)
      emit completed();
    else
      GoToPage(CurrentPage() + 1);
  });
  connect(btnCancel, &QPushButton::clicked, this, &MainWindow::cancelClicked);
  connect(cbCurrentDB, &QComboBox::activated, this, &MainWindow::databaseChosen);

  setMinimumSize(440, 200);
  resize(kClientWidth, kClientHeight);
  GoToPage(wizard::Page::Database);  // the wizard opens on the database page
}

void MainWindow::GoToPage(int page) {
  if (page < 0 || page >= kPageCount) return;
  pages->setCurrentIndex(page);
  btnBack->setEnabled(page > 0);
  btnNext->setText(page == kPageCount - 1 ? "Wy&konaj" : "&Dalej");
}

int MainWindow::CurrentPage() const { return pages->currentIndex(); }

void MainWindow::SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void MainWindow::SetWizardEnabled(bool enabled) { LMDAssist->setEnabled(enabled); }

void MainWindow::SetLoginPanel(const std::string& text) { sbPanel0->setText(QString::fromStdString(text)); }

void MainWindow::SetDatabaseList(const std::vector<std::string>& names) {
  const QSignalBlocker quiet(cbCurrentDB);
  cbCurrentDB->clear();
  for (const std::string& n : names) cbCurrentDB->addItem(QString::fromStdString(n));
  cbCurrentDB->setCurrentIndex(-1);
}

void MainWindow::SetDatabaseIndex(int index) {
  const QSignalBlocker quiet(cbCurrentDB);
  cbCurrentDB->setCurrentIndex(index < cbCurrentDB->count() ? index : -1);
}

void MainWindow::SetCurrentDatabase(const std::string& name) {
  lblCurrentDB->setText(QString::fromStdString(name));
}

void MainWindow::SetVersionLabels(const wizard::VersionLabels& labels) {
  LMDLVerCur->setText(QString::fromStdString(labels.LMDLVerCur));
  LMDLVerCurD->setText(QString::fromStdString(labels.LMDLVerCurD));
  LMDLVerNew->setText(QString::fromStdString(labels.LMDLVerNew));
  LMDLVerNewD->setText(QString::fromStdString(labels.LMDLVerNewD));
  lblStatusTemplate->setText(QString::fromStdString(labels.lblStatusTemplate));
}

void MainWindow::FocusDatabaseList() {
  if (isVisible() && isEnabled() && LMDAssist->isEnabled() && cbCurrentDB->isVisible() &&
      cbCurrentDB->isEnabled())
    cbCurrentDB->setFocus();
}

void MainWindow::AppendLogLine(const QString& line) {
  // The view holds exactly the lines given: the first one goes into the
  // document's initial empty block, every later one into a new block.
  QTextCursor c(memoLOG->document());
  c.movePosition(QTextCursor::End);
  if (logLines_++ > 0) c.insertBlock();
  c.insertText(line);
  memoLOG->verticalScrollBar()->setValue(memoLOG->verticalScrollBar()->maximum());
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (closeBlocked) {
    QApplication::beep();
    e->ignore();
    return;
  }
  emit closeRequested();
  QMainWindow::closeEvent(e);
}

QWidget* MainWindow::MakePage(const QString& heading, QWidget* body, QLabel** headingLabel) {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(18, 14, 18, 10);
  v->setSpacing(10);
  if (!heading.isEmpty()) {
    QLabel* h = Heading(heading, page);
    if (headingLabel) *headingLabel = h;
    v->addWidget(h);
  }
  v->addWidget(body, 1);
  return page;
}

QWidget* MainWindow::MakeWelcomePage() {
  auto* page = new QWidget;
  page->setObjectName("LMDPage1");
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(18, 14, 18, 10);
  v->setSpacing(12);
  auto* heading = new GradientHeading("Zurararudud bazy danych:", page);
  heading->setObjectName("lblWelcomeHeading");
  v->addWidget(heading);
  auto* text = new QLabel(
      "Program służy do modyfikacji struktury bazy danych na potrzeby programów firmy Tivorka.\n"
      "\n"
      "Pozwala na uaktualnienie dowolnej wcześniejszej bazy danych do bieżącej wersji.\n"
      "\n"
      "Przed uruchomieniem programu zalecane jest zrobienie kopii bezpieczeństwa bazy danych.",
      page);
  text->setObjectName("lblWelcomeText");
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  v->addWidget(text, 1);
  return page;
}

QWidget* MainWindow::MakeDatabasePage() {
  auto* body = new QWidget;
  auto* v = new QVBoxLayout(body);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(8);
  cbCurrentDB = new QComboBox(body);
  cbCurrentDB->setObjectName("cbCurrentDB");
  cbCurrentDB->setEditable(false);
  cbCurrentDB->setMinimumWidth(320);
  cbCurrentDB->setMaxVisibleItems(16);
  auto* row = new QHBoxLayout;
  row->addWidget(cbCurrentDB);
  row->addStretch(1);
  v->addLayout(row);
  v->addSpacing(10);
  chbPokazBLAD = Check("chbPokazBLAD", "pokaż błędny obiekt", true, body);
  chbRebuildAll = Check("chbRebuildAll", "wymuś przebudowę P, Fn, V i T", false, body);
  chbGrantAll = Check("chbGrantAll", "nadaj wszystkim uprawnienia", true, body);
  chbOpenTable = Check("chbOpenTable", "otwórz tabelę po błędzie klucza", true, body);
  for (QCheckBox* c : {chbPokazBLAD, chbRebuildAll, chbGrantAll, chbOpenTable}) v->addWidget(c);
  v->addStretch(1);
  QWidget* page = MakePage("Wybierz bazę do modyfikacji:", body);
  page->setObjectName("LMDAssistP1");
  return page;
}

QWidget* MainWindow::MakeVersionsPage() {
  auto* page = new QWidget;
  page->setObjectName("LMDapDBInfo");
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(18, 18, 18, 10);
  v->setSpacing(10);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(16);
  grid->setVerticalSpacing(8);
  LMDLVerCur = Value("LMDLVerCur", page);
  LMDLVerCurD = Value("LMDLVerCurD", page);
  LMDLVerNew = Value("LMDLVerNew", page);
  LMDLVerNewD = Value("LMDLVerNewD", page);
  auto* sep = new QFrame(page);
  sep->setObjectName("sepVersions");
  sep->setFrameShape(QFrame::HLine);
  sep->setFrameShadow(QFrame::Raised);
  sep->setLineWidth(1);
  sep->setMidLineWidth(1);
  grid->addWidget(new QLabel("Wersja bieżąca bazy:", page), 0, 0);
  grid->addWidget(LMDLVerCur, 0, 1);
  grid->addWidget(new QLabel("Data aktualizacji:", page), 1, 0);
  grid->addWidget(LMDLVerCurD, 1, 1);
  grid->addWidget(sep, 2, 0, 1, 3);
  grid->addWidget(new QLabel("Wersja docelowa bazy:", page), 3, 0);
  grid->addWidget(LMDLVerNew, 3, 1);
  grid->addWidget(new QLabel("Data aktualizacji:", page), 4, 0);
  grid->addWidget(LMDLVerNewD, 4, 1);
  grid->setColumnStretch(2, 1);
  v->addLayout(grid);

  lblStatusTemplate = new QLabel(page);
  lblStatusTemplate->setObjectName("lblStatusTemplate");
  QFont f = lblStatusTemplate->font();
  f.setPointSize(f.pointSize() + 6);
  f.setBold(true);
  lblStatusTemplate->setFont(f);
  lblStatusTemplate->setAlignment(Qt::AlignCenter);
  lblStatusTemplate->setWordWrap(true);
  QPalette pal = lblStatusTemplate->palette();
  pal.setColor(QPalette::WindowText, Qt::red);
  lblStatusTemplate->setPalette(pal);
  v->addWidget(lblStatusTemplate, 1);
  return page;
}

QWidget* MainWindow::MakeObjectTypesPage() {
  auto* body = new QWidget;
  auto* v = new QVBoxLayout(body);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(6);
  auto* text = new QLabel(
      "Wybór obiektów do modyfikacji - opcja domyślna dotyczy wszystkich obiektów i powinna być "
      "stosowana przez niezaawansowanych użytkowników",
      body);
  text->setObjectName("lblObjectsText");
  text->setWordWrap(true);
  v->addWidget(text);
  v->addSpacing(6);
  chbTabele = Check("chbTabele", "Tabele", true, body);
  chbKluczeObce = Check("chbKluczeObce", "Klucze obce", true, body);
  chbFunkcje = Check("chbFunkcje", "Funkcje", true, body);
  chbWidoki = Check("chbWidoki", "Widoki", true, body);
  chbProcedury = Check("chbProcedury", "Procedury", true, body);
  chbTriggery = Check("chbTriggery", "Triggery", true, body);
  for (QCheckBox* c : {chbTabele, chbKluczeObce, chbFunkcje, chbWidoki, chbProcedury, chbTriggery})
    v->addWidget(c);
  v->addStretch(1);
  QWidget* page = MakePage("Wybierz obiekty do modyfikacji:", body);
  page->setObjectName("LMDAssistP2");
  return page;
}

QWidget* MainWindow::MakeProgressPage() {
  memoLOG = new QPlainTextEdit;
  memoLOG->setObjectName("memoLOG");
  memoLOG->setReadOnly(true);
  memoLOG->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoLOG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoLOG->setFocusPolicy(Qt::ClickFocus);  // not reachable with Tab
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  f.setPointSize(8);
  memoLOG->setFont(f);
  QWidget* page = MakePage("Postęp działania:", memoLOG);
  page->setObjectName("LMDapStatusPage");
  page->layout()->setSpacing(6);
  return page;
}

QWidget* MainWindow::MakeBottomPanel() {
  auto* panel = new QFrame;
  panel->setObjectName("pnlBottom");
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setFixedHeight(kBottomHeight);
  auto* v = new QVBoxLayout(panel);
  v->setContentsMargins(8, 3, 8, 4);
  v->setSpacing(2);

  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  row->addWidget(new QLabel("Bieżąca baza:", panel));
  lblCurrentDB = new QLabel("(nie wybrana)", panel);
  lblCurrentDB->setObjectName("lblCurrentDB");
  QFont f = lblCurrentDB->font();
  f.setBold(true);
  lblCurrentDB->setFont(f);
  QPalette pal = lblCurrentDB->palette();
  pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
  lblCurrentDB->setPalette(pal);
  row->addWidget(lblCurrentDB);
  row->addStretch(1);
  v->addLayout(row);

  LMDProgress = new QProgressBar(panel);
  LMDProgress->setObjectName("LMDProgress");
  LMDProgressMain = new QProgressBar(panel);
  LMDProgressMain->setObjectName("LMDProgressMain");
  const char* frame =
      "QProgressBar { border: 1px solid #8f8f8f; border-radius: 2px; background: white; text-align: center;"
      " height: 14px; }";
  LMDProgress->setStyleSheet(QString(frame) +
                             "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                             " stop:0 #9cc3f0, stop:1 #3b78c4); }");
  LMDProgressMain->setStyleSheet(QString(frame) +
                                 "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
                                 " stop:0 #ffff00, stop:1 #ff0000); }");
  for (QProgressBar* b : {LMDProgress, LMDProgressMain}) {
    b->setRange(0, 100);
    b->setValue(0);
    b->setFormat("%p%");
    b->setTextVisible(true);
    b->setFixedHeight(18);
    v->addWidget(b);
  }
  panel->setEnabled(true);
  panel->setFocusPolicy(Qt::NoFocus);
  return panel;
}

}  // namespace gui
