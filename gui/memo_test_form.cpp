#include "gui/memo_test_form.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

namespace gui {

TF_MemoTest::TF_MemoTest(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("F_MemoTest");
  setWindowTitle("F_MemoTest");
  resize(kWidth, kHeight);

  memoTEST = new QPlainTextEdit(this);
  memoTEST->setObjectName("memoTEST");
  memoTEST->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoTEST->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoTEST->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoTEST->setTabChangesFocus(false);
  QFont mono("Courier New", 10);
  mono.setStyleHint(QFont::TypeWriter);
  memoTEST->setFont(mono);
  memoTEST->setTabStopDistance(QFontMetricsF(mono).horizontalAdvance(' ') * 8);

  btnClose = new QPushButton("&Zapisz", this);
  btnClose->setObjectName("btnClose");
  btnPonow = new QPushButton("&Ponów", this);
  btnPonow->setObjectName("btnPonow");
  for (QPushButton* b : {btnClose, btnPonow}) {
    b->setMinimumSize(96, 27);
    b->setAutoDefault(false);  // Enter belongs to the editor
  }

  auto* bar = new QFrame(this);
  bar->setObjectName("pnlButtons");
  bar->setFrameShape(QFrame::StyledPanel);
  bar->setFrameShadow(QFrame::Raised);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(8, 6, 8, 6);
  row->addWidget(btnClose);
  row->addStretch(1);
  row->addWidget(btnPonow);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(memoTEST, 1);
  column->addWidget(bar);

  connect(btnClose, &QPushButton::clicked, this, &TF_MemoTest::OnSave);
  connect(btnPonow, &QPushButton::clicked, this, &TF_MemoTest::OnRetry);
}

void TF_MemoTest::SetLines(const std::vector<std::string>& lines) {
  QStringList text;
  for (const std::string& l : lines) text << QString::fromStdString(l);
  memoTEST->setPlainText(text.join('\n'));
}

std::vector<std::string> TF_MemoTest::Lines() const {
  std::vector<std::string> out;
  const QString text = memoTEST->toPlainText();
  if (text.isEmpty()) return out;
  for (const QString& l : text.split('\n')) out.push_back(l.toStdString());
  return out;
}

void TF_MemoTest::Run(const std::vector<std::string>& lines, const app::Ui::RepairEditorActions& actions) {
  SetLines(lines);
  if (const QScreen* s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  actions_ = &actions;
  memoTEST->setFocus();
  exec();
  actions_ = nullptr;
}

void TF_MemoTest::OnSave() {
  if (actions_ && actions_->save && !actions_->save(Lines())) return;  // failed: stay open
  done(QDialog::Accepted);
}

void TF_MemoTest::OnRetry() {
  if (actions_ && actions_->retry) actions_->retry(Lines());
}

}  // namespace gui
