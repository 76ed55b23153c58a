// The repair editor F_MemoTest: a plain-text editor holding a failed
// statement, with "&Zapisz" (save and close) at the left of its button bar
// and "&Ponów" (run it again) at the right. What the two buttons do is
// given by the caller; the editor only hands over its current lines.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/ui.h"

namespace gui {

class TF_MemoTest : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 846, kHeight = 581;

  explicit TF_MemoTest(QWidget* parent = nullptr);

  // Replaces the editor's whole text with a copy of `lines`.
  void SetLines(const std::vector<std::string>& lines);
  // The editor's current lines; an empty editor has none.
  std::vector<std::string> Lines() const;

  // Shows `lines` modally, centred on the screen, and returns when the
  // editor is closed: by "&Zapisz" once `actions.save` returned true, or by
  // the close box (no call). "&Ponów" calls `actions.retry` and stays open.
  void Run(const std::vector<std::string>& lines, const app::Ui::RepairEditorActions& actions);

  QPlainTextEdit* memoTEST;
  QPushButton* btnClose;  // "&Zapisz"
  QPushButton* btnPonow;  // "&Ponów"

 private:
  void OnSave();
  void OnRetry();
  const app::Ui::RepairEditorActions* actions_ = nullptr;
};

}  // namespace gui
