#include "app/message_dialog.h"

namespace app {

std::string DialogTitle(int kind) {
  switch (kind) {
    case dkWarning: return "UWAGA !";
    case dkError: return "BŁĄD !";
    case dkInformation: return "Informacja";
    case dkThanks: return "Dziękujemy";
    case dkNotes: return "NOTES";
    case dkLocalError: return "Błąd lokalny !";
    case dkServerError: return "Błąd z serwera !";
    default: return "";
  }
}

const std::vector<DialogButtonSpec>& DialogButtons() {
  static const std::vector<DialogButtonSpec> kButtons = {
      {dbYes, "&Tak", mrYes, true, false},         {dbNo, "&Nie", mrNo, false, true},
      {dbCancel, "&Porzuć", mrCancel, false, true}, {dbRetry, "&Powtórz", mrRetry, false, false},
      {dbIgnore, "Z&ignoruj", mrIgnore, false, false}, {dbClose, "&Zamknij", mrAbort, false, false},
  };
  return kButtons;
}

DialogLayout LayoutMessageDialog(int kind, unsigned buttons, int outerWidth) {
  DialogLayout layout;
  layout.title = DialogTitle(kind);
  for (const auto& b : DialogButtons())
    if (buttons & b.flag) layout.buttons.push_back({b, 0});
  const int n = static_cast<int>(layout.buttons.size());
  if (n == 0) return layout;
  const int slot = outerWidth / n;
  const int first = slot / 2 - kDialogButtonWidth / 2;
  for (int k = 0; k < n; ++k) layout.buttons[static_cast<std::size_t>(k)].left = first + k * slot;
  // Each visible button takes the focus in turn; the last one keeps it.
  layout.focus = n - 1;
  return layout;
}

int TF_Dialog::ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) {
  if (modalOpen_) return 0;
  if (modelessOpen_) {
    presenter_.CloseModeless();
    modelessOpen_ = false;
  }
  const DialogLayout layout = LayoutMessageDialog(kind, buttons, outerWidth_);
  if (!modal) {
    presenter_.ShowModeless(layout, text);
    modelessOpen_ = true;
    return 0;
  }
  modalOpen_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{modalOpen_};
  return presenter_.RunModal(layout, text);
}

}  // namespace app
