#include "gui/message_dialog_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

namespace gui {

namespace {

QStyle::StandardPixmap Glyph(app::DialogButton flag) {
  switch (flag) {
    case app::dbYes: return QStyle::SP_DialogYesButton;
    case app::dbNo: return QStyle::SP_DialogNoButton;
    case app::dbCancel: return QStyle::SP_DialogCancelButton;
    case app::dbRetry: return QStyle::SP_BrowserReload;
    case app::dbIgnore: return QStyle::SP_DialogDiscardButton;
    case app::dbClose: return QStyle::SP_DialogCloseButton;
  }
  return QStyle::SP_CustomBase;
}

}  // namespace

MessageDialogForm::MessageDialogForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName("F_Dialog");
  setFixedSize(app::kDialogClientWidth, app::kDialogClientHeight);

  TxtPAN = new QFrame(this);
  TxtPAN->setObjectName("TxtPAN");
  TxtPAN->setFrameShape(QFrame::Panel);
  TxtPAN->setFrameShadow(QFrame::Sunken);
  TxtPAN->setGeometry(0, 0, app::kDialogClientWidth, app::kDialogTextPanelHeight);

  TXT = new QTextEdit(TxtPAN);
  TXT->setObjectName("TXT");
  TXT->setReadOnly(true);
  TXT->setFrameShape(QFrame::NoFrame);
  TXT->setLineWrapMode(QTextEdit::WidgetWidth);
  TXT->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  TXT->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  TXT->setFocusPolicy(Qt::NoFocus);
  TXT->setGeometry(4, 4, app::kDialogClientWidth - 8, app::kDialogTextPanelHeight - 8);
  QFont bold = TXT->font();
  bold.setBold(true);
  TXT->setFont(bold);
  QPalette pal = TXT->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  TXT->setPalette(pal);
  QTextOption centred(Qt::AlignHCenter);
  centred.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  TXT->document()->setDefaultTextOption(centred);

  for (const app::DialogButtonSpec& spec : app::DialogButtons()) {
    auto* b = new QPushButton(QString::fromUtf8(spec.caption), this);
    b->setObjectName(QString("BitBtn_%1").arg(unsigned(spec.flag)));
    b->setGeometry(0, app::kDialogButtonTop, app::kDialogButtonWidth, app::kDialogButtonHeight);
    b->setIcon(style()->standardIcon(Glyph(spec.flag)));
    b->setAutoDefault(true);  // Enter presses the focused button
    b->setDefault(spec.isDefault);
    b->hide();
    connect(b, &QPushButton::clicked, this, [this, spec] { Pressed(spec); });
    buttons_[spec.flag] = b;
  }
}

void MessageDialogForm::Fill(const app::DialogLayout& layout, const std::string& text) {
  layout_ = layout;
  setWindowTitle(QString());
  TXT->clear();
  for (auto& [flag, b] : buttons_) b->hide();
  setWindowTitle(QString::fromStdString(layout.title));
  TXT->setPlainText(QString::fromStdString(text));
  for (const app::PlacedButton& p : layout.buttons) {
    QPushButton* b = buttons_.at(p.spec.flag);
    b->move(p.left, app::kDialogButtonTop);
    b->show();
  }
  if (const QScreen* s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

int MessageDialogForm::RunModal(const app::DialogLayout& layout, const std::string& text) {
  Fill(layout, text);
  runningModal_ = true;
  const int result = exec();
  runningModal_ = false;
  return result;
}

void MessageDialogForm::ShowModeless(const app::DialogLayout& layout, const std::string& text) {
  Fill(layout, text);
  setResult(0);
  show();
  raise();
}

void MessageDialogForm::CloseModeless() {
  if (!runningModal_) hide();
}

void MessageDialogForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // The last visible button in layout order keeps the focus, so Enter
  // presses it.
  if (layout_.focus >= 0 && layout_.focus < int(layout_.buttons.size()))
    buttons_.at(layout_.buttons[layout_.focus].spec.flag)->setFocus(Qt::ActiveWindowFocusReason);
}

void MessageDialogForm::Pressed(const app::DialogButtonSpec& spec) {
  if (runningModal_) {
    done(spec.result);
    return;
  }
  // Without a modal loop only "&Zamknij" closes; the others set a result
  // nobody reads.
  setResult(spec.result);
  if (spec.flag == app::dbClose) {
    hide();
    if (onModelessClosed) onModelessClosed();
  }
}

void MessageDialogForm::reject() {
  // Escape answers like a visible "&Nie" or "&Porzuć"; without one it does
  // nothing.
  for (const app::PlacedButton& p : layout_.buttons)
    if (p.spec.answersEscape) {
      Pressed(p.spec);
      return;
    }
}

void MessageDialogForm::closeEvent(QCloseEvent* e) {
  if (runningModal_) {
    done(app::mrNone);
  } else {
    hide();
    if (onModelessClosed) onModelessClosed();
  }
  e->accept();
}

}  // namespace gui
