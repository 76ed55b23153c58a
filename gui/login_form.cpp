#include "gui/login_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace gui {

namespace {

void Colour(QWidget* w, QColor base) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::Text, Qt::black);
  w->setPalette(p);
  QFont f = w->font();
  f.setBold(true);
  w->setFont(f);
}

}  // namespace

LoginForm::LoginForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName("F_ServerLogin");
  setWindowTitle("LOGOWANIE");

  edServer = new QComboBox;
  edServer->setObjectName("edServer");
  edServer->setEditable(true);
  edServer->setInsertPolicy(QComboBox::NoInsert);
  edServer->setMaxVisibleItems(4);
  Colour(edServer, QColor(255, 255, 180));
  Colour(edServer->lineEdit(), QColor(255, 255, 180));

  edUSER = new QLineEdit;
  edUSER->setObjectName("edUSER");
  edUSER->setToolTip("Wpisz nazwę użytkownika");
  Colour(edUSER, QColor(128, 255, 192));
  connect(edUSER, &QLineEdit::textEdited, this, [this](const QString& t) {
    const QString upper = QString::fromStdString(app::LoginUpper(t.toStdString()));
    if (upper != t) {
      const int pos = edUSER->cursorPosition();
      edUSER->setText(upper);
      edUSER->setCursorPosition(pos);
    }
  });

  edPWD = new QLineEdit;
  edPWD->setObjectName("edPWD");
  edPWD->setEchoMode(QLineEdit::Password);
  edPWD->setToolTip("Wpisz hasło dostępu");
  Colour(edPWD, QColor(192, 224, 255));
  {
    // Passwords shown as '*', the way the program always has.
    QFont f = edPWD->font();
    edPWD->setStyleSheet("lineedit-password-character: 42;");
    edPWD->setFont(f);
  }

  Panel1 = Row("Panel1", "Serwer", edServer);
  Panel2 = Row("Panel2", "Użytkownik", edUSER);
  Panel3 = Row("Panel3", "Hasło", edPWD);

  btnCONNECT = new QPushButton("&POŁĄCZ");
  btnCONNECT->setObjectName("btnCONNECT");
  btnCONNECT->setToolTip("Połącz z serwerem SQL");
  btnCLOSE = new QPushButton("&ZAMKNIJ");
  btnCLOSE->setObjectName("btnCLOSE");
  btnCLOSE->setToolTip("Zamknij program");
  for (QPushButton* b : {btnCONNECT, btnCLOSE}) {
    b->setMinimumSize(110, 28);
    b->setAutoDefault(false);
  }
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 4, 0, 0);
  buttons->addStretch(1);
  buttons->addWidget(btnCONNECT);
  buttons->addSpacing(10);
  buttons->addWidget(btnCLOSE);
  buttons->addStretch(1);

  Info = new QFrame;
  Info->setObjectName("Info");
  Info->setFrameShape(QFrame::Panel);
  Info->setFrameShadow(QFrame::Sunken);
  lblInfo = new QLabel("OK", Info);
  lblInfo->setObjectName("lblInfo");
  lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  CnnWait = new QProgressBar(Info);
  CnnWait->setObjectName("CnnWait");
  CnnWait->setFixedSize(104, 14);
  CnnWait->setTextVisible(false);
  CnnWait->setRange(0, 100);
  CnnWait->setValue(0);
  CnnWait->setStyleSheet(
      "QProgressBar { border: 1px solid #8f8f8f; background: white; }"
      "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
      " stop:0 #ffffff, stop:1 #1f5fbf); }");
  auto* infoRow = new QHBoxLayout(Info);
  infoRow->setContentsMargins(6, 3, 4, 3);
  infoRow->addWidget(lblInfo, 1);
  infoRow->addWidget(CnnWait);

  // The rows and buttons with a margin; the Info panel runs along the
  // whole bottom edge like a status bar.
  auto* content = new QVBoxLayout;
  content->setContentsMargins(10, 10, 10, 10);
  content->setSpacing(6);
  content->addWidget(Panel1);
  content->addWidget(Panel2);
  content->addWidget(Panel3);
  content->addLayout(buttons);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addLayout(content);
  column->addWidget(Info);

  for (QWidget* w : std::initializer_list<QWidget*>{edServer, edServer->lineEdit(), edUSER, edPWD})
    w->installEventFilter(this);

  connect(btnCONNECT, &QPushButton::clicked, this, [this] {
    if (onConnect) onConnect();
  });
  connect(btnCLOSE, &QPushButton::clicked, this, [this] {
    if (onClose) onClose();
  });
  animTimer_.setInterval(20);
  connect(&animTimer_, &QTimer::timeout, this, &LoginForm::AnimationStep);

  setFixedSize(360, sizeHint().height());
}

QFrame* LoginForm::Row(const char* name, const QString& caption, QWidget* input) {
  auto* row = new QFrame;
  row->setObjectName(name);
  row->setFrameShape(QFrame::StyledPanel);
  row->setFrameShadow(QFrame::Raised);
  auto* label = new QLabel(caption, row);
  label->setFixedWidth(88);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  label->setBuddy(input);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(8, 5, 8, 5);
  h->addWidget(label);
  h->addWidget(input, 1);
  input->setMinimumHeight(24);
  return row;
}

bool LoginForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      // Enter connects; the input itself never sees the key.
      btnCONNECT->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void LoginForm::closeEvent(QCloseEvent* e) {
  // Closing from the keyboard or the system runs the same closing sequence
  // as "&ZAMKNIJ"; that sequence ends the program itself.
  e->ignore();
  if (closing_) return;
  closing_ = true;
  if (onClose) onClose();
  closing_ = false;
}

std::string LoginForm::ServerText() const { return edServer->currentText().toStdString(); }

void LoginForm::SetServerText(const std::string& text) { edServer->setEditText(QString::fromStdString(text)); }

void LoginForm::SetServerList(const std::vector<std::string>& servers) {
  const QString keep = edServer->currentText();
  edServer->clear();
  for (const std::string& s : servers) edServer->addItem(QString::fromStdString(s));
  edServer->setEditText(keep);
}

std::string LoginForm::UserText() const { return edUSER->text().toStdString(); }

void LoginForm::SetUserText(const std::string& text) {
  edUSER->setText(QString::fromStdString(app::LoginUpper(text)));
}

std::string LoginForm::PasswordText() const { return edPWD->text().toStdString(); }

void LoginForm::SetPasswordText(const std::string& text) { edPWD->setText(QString::fromStdString(text)); }

void LoginForm::SetInfo(const std::string& text) {
  lblInfo->setText(QString::fromStdString(text));
  lblInfo->repaint();
}

void LoginForm::SetInputsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{btnCONNECT, btnCLOSE, edServer, edUSER, edPWD})
    w->setEnabled(enabled);
}

void LoginForm::DisableForm() { setEnabled(false); }

void LoginForm::StartAnimation() {
  CnnWait->setRange(0, 100);
  CnnWait->setValue(0);
  CnnWait->setInvertedAppearance(false);
  rising_ = true;
  animTimer_.start();
}

void LoginForm::StopAnimation() { animTimer_.stop(); }

void LoginForm::AnimationStep() {
  CnnWait->setValue(CnnWait->value() + (rising_ ? 5 : -5));
  if (CnnWait->value() >= CnnWait->maximum()) {
    rising_ = false;
    CnnWait->setInvertedAppearance(true);
  } else if (CnnWait->value() <= CnnWait->minimum()) {
    rising_ = true;
    CnnWait->setInvertedAppearance(false);
  }
}

void LoginForm::FocusServer() { edServer->setFocus(); }

void LoginForm::FocusUser() { edUSER->setFocus(); }

void LoginForm::ShowForm() {
  if (const QScreen* s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  show();
  raise();
  activateWindow();
}

}  // namespace gui
