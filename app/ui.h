// The user-interface port: what the logic asks of a window system.
//
// The Qt GUI (gui/) and the headless front end (cli/) implement it. Every
// call is made on the one thread that runs the logic. Calls that show
// something modally return only when the user (or the headless policy) has
// answered.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace app {

// Message dialog kinds; the value picks the title.
enum DialogKind : int {
  dkWarning = 0,      // "UWAGA !"
  dkError = 1,        // "BŁĄD !"
  dkInformation = 2,  // "Informacja"
  dkThanks = 3,       // "Dziękujemy"
  dkNotes = 5,        // "NOTES"
  dkLocalError = 6,   // "Błąd lokalny !"
  dkServerError = 7,  // "Błąd z serwera !"
};

// Button flags of the message dialog; combine with |.
enum DialogButton : unsigned {
  dbCancel = 1,   // "&Porzuć"   -> 2
  dbClose = 2,    // "&Zamknij"  -> 3
  dbYes = 4,      // "&Tak"      -> 6
  dbNo = 8,       // "&Nie"      -> 7
  dbRetry = 16,   // "&Powtórz"  -> 4
  dbIgnore = 32,  // "Z&ignoruj" -> 5
};

// Modal results of the dialog's buttons; 0 means none was pressed.
enum ModalResult : int { mrNone = 0, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

// The two progress bars of the wizard's bottom panel.
enum class ProgressBar { Object, Main };  // LMDProgress, LMDProgressMain

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows the program's message dialog. Returns the modal result of the
  // pressed button when `modal`, else 0 at once. A call while a modal
  // message is open returns 0 and shows nothing.
  virtual int ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) = 0;

  // The wait window with its looping animation.
  virtual void ShowWaitWindow(const std::string& title, const std::string& message) = 0;
  virtual void HideWaitWindow() = 0;

  // Second panel of the wizard's status bar.
  virtual void SetStatusText(const std::string& text) = 0;

  // Lets pending window messages be handled once.
  virtual void ProcessMessages() = 0;

  virtual void Beep() = 0;

  // Appends one line to the progress log view (memoLOG).
  virtual void AppendLogLine(const std::string& line) = 0;

  // Sets range and position of a progress bar.
  virtual void SetProgress(ProgressBar bar, int min, int max, int position) = 0;

  // The repair editor (F_MemoTest): shows a copy of `lines` modally and
  // returns when it is closed. "&Ponów" calls `retry` with the editor's
  // current lines (the editor stays open); "&Zapisz" calls `save` and closes
  // the editor when it returns true. The close box closes without a call.
  struct RepairEditorActions {
    std::function<void(const std::vector<std::string>& lines)> retry;
    std::function<bool(const std::vector<std::string>& lines)> save;
  };
  virtual void ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions& actions) = 0;
};

// Waits at least `ms` milliseconds, processing window messages at least
// once and continuously meanwhile.
class Clock;
void DelayWithMessages(Ui& ui, Clock& clock, int ms);

}  // namespace app
