// The message dialog's model (F_Dialog): title by kind, which buttons show
// and where, which one takes the focus, and the rule that drops a message
// while a modal one is open. The Qt dialog and the headless front end both
// build their dialog from it, so the layout is decided in one place.
#pragma once

#include <string>
#include <vector>

#include "app/ui.h"

namespace app {

// Fixed geometry of the dialog, in pixels.
inline constexpr int kDialogClientWidth = 388;
inline constexpr int kDialogClientHeight = 93;
inline constexpr int kDialogTextPanelHeight = 61;  // TxtPAN, TXT inside with a 4 px margin
inline constexpr int kDialogButtonTop = 66;
inline constexpr int kDialogButtonWidth = 80;
inline constexpr int kDialogButtonHeight = 25;

// The title of a dialog kind; "" for a value outside the kinds of ui.h.
std::string DialogTitle(int kind);

// One of the six buttons, in the layout order "&Tak", "&Nie", "&Porzuć",
// "&Powtórz", "Z&ignoruj", "&Zamknij".
struct DialogButtonSpec {
  DialogButton flag;
  const char* caption;  // with the '&' accelerator marker
  int result;           // modal result when pressed
  bool isDefault;       // answers Enter when focused nowhere else ("&Tak")
  bool answersEscape;   // "&Porzuć" and "&Nie"
};
// All six in layout order.
const std::vector<DialogButtonSpec>& DialogButtons();

// A visible button and its left edge.
struct PlacedButton {
  DialogButtonSpec spec;
  int left = 0;
};

struct DialogLayout {
  std::string title;
  std::vector<PlacedButton> buttons;  // only the visible ones, layout order
  int focus = -1;                     // index into `buttons` of the focused one (the last), -1 when none
};

// Lays the dialog out for `buttons` (flags of DialogButton) in a dialog of
// outer width `outerWidth`: slot = outerWidth / n, first = slot / 2 - 40,
// the k-th visible button at first + k * slot. Unknown flag bits are
// ignored; with no button the layout is empty and focus is -1.
DialogLayout LayoutMessageDialog(int kind, unsigned buttons, int outerWidth);

// What a front end does to put a dialog on screen. The model calls it only
// when the message is not dropped.
class DialogPresenter {
 public:
  virtual ~DialogPresenter() = default;
  // Shows the dialog modally and returns the pressed button's result, or 0
  // when it was closed without a button.
  virtual int RunModal(const DialogLayout& layout, const std::string& text) = 0;
  // Shows the dialog without blocking (it stays until "&Zamknij" or the
  // next message replaces it).
  virtual void ShowModeless(const DialogLayout& layout, const std::string& text) = 0;
  // Closes a non-modal dialog still on screen; nothing when none is.
  virtual void CloseModeless() = 0;
};

// ShowMessageDialog over a presenter, with the drop rule: a call made while
// a modal dialog is open (for instance from a nested message loop) returns 0
// and shows nothing; a non-modal dialog on screen is closed and replaced.
class TF_Dialog {
 public:
  TF_Dialog(DialogPresenter& presenter, int outerWidth) : presenter_(presenter), outerWidth_(outerWidth) {}

  // Returns the pressed button's result when modal, else 0 at once.
  int ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal);

  bool ModalOpen() const { return modalOpen_; }
  bool ModelessOpen() const { return modelessOpen_; }
  // The front end reports that the user closed the non-modal dialog.
  void ModelessClosed() { modelessOpen_ = false; }

 private:
  DialogPresenter& presenter_;
  int outerWidth_;
  bool modalOpen_ = false;
  bool modelessOpen_ = false;
};

}  // namespace app
