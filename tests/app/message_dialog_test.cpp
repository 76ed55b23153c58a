#include "app/message_dialog.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Captions(const app::DialogLayout& l) {
  std::vector<std::string> r;
  for (const auto& b : l.buttons) r.push_back(b.spec.caption);
  return r;
}

TEST(MessageDialogLayout, SpreadsButtonsEvenlyAndFocusesTheLast) {
  struct Case {
    unsigned buttons;
    int width;
    std::vector<int> lefts;
    std::vector<std::string> captions;
  };
  const std::vector<Case> cases = {
      {app::dbClose, 394, {157}, {"&Zamknij"}},  // one button: width / 2 - 40
      {app::dbNo | app::dbYes, 394, {58, 255}, {"&Tak", "&Nie"}},
      {app::dbClose | app::dbIgnore | app::dbRetry | app::dbCancel | app::dbNo | app::dbYes, 394,
       {-8, 57, 122, 187, 252, 317},
       {"&Tak", "&Nie", "&Porzuć", "&Powtórz", "Z&ignoruj", "&Zamknij"}},
      {app::dbCancel | app::dbClose | 64u, 395, {58, 255}, {"&Porzuć", "&Zamknij"}},  // unknown bit ignored
  };
  for (const auto& c : cases) {
    const auto l = app::LayoutMessageDialog(app::dkWarning, c.buttons, c.width);
    EXPECT_EQ(Captions(l), c.captions);
    std::vector<int> lefts;
    for (const auto& b : l.buttons) lefts.push_back(b.left);
    EXPECT_EQ(lefts, c.lefts);
    EXPECT_EQ(l.focus, static_cast<int>(c.captions.size()) - 1);
  }
  EXPECT_EQ(app::LayoutMessageDialog(app::dkError, 0, 394).focus, -1);
}

TEST(MessageDialogLayout, TitlesAndResults) {
  EXPECT_EQ(app::LayoutMessageDialog(app::dkWarning, app::dbClose, 394).title, "UWAGA !");
  EXPECT_EQ(app::DialogTitle(app::dkError), "BŁĄD !");
  EXPECT_EQ(app::DialogTitle(app::dkInformation), "Informacja");
  EXPECT_EQ(app::DialogTitle(app::dkServerError), "Błąd z serwera !");
  EXPECT_EQ(app::DialogTitle(4), "");
  EXPECT_EQ(app::DialogTitle(42), "");
  std::vector<int> results;
  for (const auto& b : app::DialogButtons()) results.push_back(b.result);
  EXPECT_EQ(results, (std::vector<int>{6, 7, 2, 4, 5, 3}));
}

struct Presenter : app::DialogPresenter {
  app::TF_Dialog* dialog = nullptr;
  int modalRuns = 0, modeless = 0, closes = 0, nested = -1;
  std::string lastText;
  int RunModal(const app::DialogLayout&, const std::string& text) override {
    ++modalRuns;
    lastText = text;
    // A second message while this one is open, as a nested message loop may do.
    if (dialog && text == "outer") nested = dialog->ShowMessageDialog(app::dkError, "inner", app::dbClose, true);
    return app::mrYes;
  }
  void ShowModeless(const app::DialogLayout&, const std::string& text) override {
    ++modeless;
    lastText = text;
  }
  void CloseModeless() override { ++closes; }
};

TEST(MessageDialogModel, DropsMessagesWhileModalAndReplacesModeless) {
  Presenter p;
  app::TF_Dialog d(p, 394);
  p.dialog = &d;
  EXPECT_EQ(d.ShowMessageDialog(app::dkWarning, "outer", app::dbYes | app::dbNo, true), app::mrYes);
  EXPECT_EQ(p.nested, 0);
  EXPECT_EQ(p.modalRuns, 1);
  EXPECT_FALSE(d.ModalOpen());

  EXPECT_EQ(d.ShowMessageDialog(app::dkWarning, "first", app::dbClose, false), 0);
  EXPECT_TRUE(d.ModelessOpen());
  EXPECT_EQ(d.ShowMessageDialog(app::dkWarning, "second", app::dbClose, false), 0);
  EXPECT_EQ(p.closes, 1);
  EXPECT_EQ(p.modeless, 2);
  EXPECT_EQ(p.lastText, "second");
  d.ModelessClosed();
  d.ShowMessageDialog(app::dkWarning, "third", app::dbClose, true);
  EXPECT_EQ(p.closes, 1);
}

}  // namespace
