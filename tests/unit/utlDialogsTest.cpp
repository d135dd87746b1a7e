#include "util/utlDialogs.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/scriptedDialogs.h"

using B = MsgButton;

TEST(MsgDlg, KindLettersGiveTitleAndLook) {
  struct Case {
    std::u16string kind;
    MsgKind expected;
    std::u16string title;
  };
  const Case cases[] = {
      {u"W", MsgKind::Warning, u"Avertissement"},   {u"E", MsgKind::Error, u"Erreur"},
      {u"I", MsgKind::Information, u"Informations"}, {u"C", MsgKind::Confirmation, u"Confirmer"},
      {u"O", MsgKind::Warning, u"Avertissement"},   {u"", MsgKind::Warning, u"Avertissement"},
      {u"w", MsgKind::Warning, u"Avertissement"},   {u"WE", MsgKind::Warning, u"Avertissement"},
      {u"X", MsgKind::Warning, u"Avertissement"}};
  for (const auto& c : cases) {
    const auto request = DecodeMessage(u"t", u"O", u"O", c.kind);
    EXPECT_EQ(request.Kind, c.expected);
    EXPECT_EQ(request.Title, c.title);
  }
}

TEST(MsgDlg, ButtonsShowOnceInPlatformOrderWhateverTheLetters) {
  struct Case {
    std::u16string letters;
    std::vector<B> shown;
  };
  const Case cases[] = {
      {u"YN", {B::Yes, B::No}},
      {u"NY", {B::Yes, B::No}},
      {u"YYN", {B::Yes, B::No}},
      {u"CO", {B::OK, B::Cancel}},
      {u"IRA", {B::Abort, B::Retry, B::Ignore}},
      {u"CNY", {B::Yes, B::No, B::Cancel}},
      {u"YNOCARI", {B::Yes, B::No, B::OK, B::Abort, B::Retry, B::Ignore, B::Cancel}},
      {u"yn", {B::OK}},   // lower case is no button letter: the box keeps an OK button
      {u"", {B::OK}},
      {u"XO", {B::OK}}};
  for (const auto& c : cases) EXPECT_EQ(DecodeMessage(u"t", c.letters, u"O", u"I").Buttons, c.shown);
}

TEST(MsgDlg, DefaultButtonAndAnswerLetters) {
  EXPECT_EQ(DecodeMessage(u"t", u"YN", u"N", u"W").Default, B::No);
  EXPECT_EQ(DecodeMessage(u"t", u"YN", u"Y", u"W").Default, B::Yes);
  EXPECT_EQ(DecodeMessage(u"t", u"YN", u"YN", u"W").Default, B::None);

  const std::pair<B, std::u16string> answers[] = {
      {B::OK, u"O"},    {B::Cancel, u"C"}, {B::Abort, u"A"}, {B::Retry, u"R"},
      {B::Ignore, u"I"}, {B::Yes, u"Y"},   {B::No, u"N"},    {B::None, u""}};
  for (const auto& [button, letter] : answers) {
    ScriptedDialogs dialogs;
    dialogs.Answer(button);
    EXPECT_EQ(MsgDlg(u"question", u"YNOCARI", u"O", u"C"), letter);
  }
}

TEST(MsgDlg, PassesTextAndAnswersOnlyWithButtonsOfTheBox) {
  ScriptedDialogs dialogs;
  dialogs.Answer(B::Cancel);  // not a button of a Yes/No box
  EXPECT_EQ(MsgDlg(u"Confirmez-vous ?\r\nVraiment ?", u"YN", u"N", u"W"), u"");
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0].Text, u"Confirmez-vous ?\r\nVraiment ?");
}

// A box that the platform could not show: nobody answered, so it answers as if closed,
// and the failure is written down.
TEST(MsgDlg, ABoxThatCannotBeShownAnswersAsIfClosed) {
  static std::vector<std::u16string> journal;
  journal.clear();
  const MessageFailureJournal previous =
      SetMessageFailureJournal([](std::u16string_view line) { journal.emplace_back(line); });
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"YN", u"N"}, {u"YNC", u"C"}, {u"OC", u"C"}, {u"NC", u"C"},
      {u"O", u"O"},  {u"ARI", u""},  {u"YO", u""}};
  for (const auto& [buttons, answer] : cases) {
    SCOPED_TRACE(testing::Message() << "buttons " << std::string(buttons.begin(), buttons.end()));
    ScriptedDialogs dialogs;
    dialogs.FailToShow(u"Boîte de message non affichée.");
    EXPECT_EQ(MsgDlg(u"Réessayer ?", buttons, u"Y", u"E"), answer);
    EXPECT_EQ(dialogs.Messages().size(), 1u);
  }
  SetMessageFailureJournal(previous);

  ASSERT_EQ(journal.size(), std::size(cases));
  const std::u16string prefix = u"Boîte de message non affichée. Message : « Réessayer ? », ";
  EXPECT_EQ(journal[0], prefix + u"réponse « N ».");
  EXPECT_EQ(journal[1], prefix + u"réponse « C ».");
  EXPECT_EQ(journal[5], prefix + u"sans réponse.");

  // On one line, whatever line breaks the message holds; nowhere without a journal.
  {
    ScriptedDialogs dialogs;
    dialogs.FailToShow(u"Echec.");
    journal.clear();
    SetMessageFailureJournal([](std::u16string_view line) { journal.emplace_back(line); });
    MsgDlg(u"Erreur d'écriture.\r\n\r\nRéessayer ?", u"YN", u"Y", u"E");
    SetMessageFailureJournal(nullptr);
    dialogs.FailToShow(u"Echec.");
    EXPECT_EQ(MsgDlg(u"?", u"YN", u"Y", u"E"), u"N");
    SetMessageFailureJournal(previous);
  }
  EXPECT_EQ(journal, std::vector<std::u16string>{
                         u"Echec. Message : « Erreur d'écriture. Réessayer ? », réponse « N »."});
}

TEST(InputDlg, ConfirmedCopiesTheValuesCancelledKeepsThem) {
  ScriptedDialogs dialogs;
  std::u16string input = u"3";
  bool checked = true;
  dialogs.AnswerInput({false, u"ignored", false});
  EXPECT_EQ(InputDlg(u"Niveau de débogage :", input, u'N', u"", checked, u"", true), u"C");
  EXPECT_EQ(input, u"3");
  EXPECT_TRUE(checked);

  dialogs.AnswerInput({true, u"2,5", false});
  EXPECT_EQ(InputDlg(u"Niveau de débogage :", input, u'N', u"", checked, u"", true), u"O");
  EXPECT_EQ(input, u"2,5");
  EXPECT_FALSE(checked);

  ASSERT_EQ(dialogs.Inputs().size(), 2u);
  const auto& asked = dialogs.Inputs()[0];
  EXPECT_EQ(asked.Lib, u"Niveau de débogage :");
  EXPECT_EQ(asked.Input, u"3");
  EXPECT_EQ(asked.DType, u'N');
  EXPECT_TRUE(asked.Annul);
}

#ifndef _WIN32
// Natively nobody can answer: questions are declined rather than left to loop.
TEST(MsgDlg, WithoutAUserTheNativeBoxesDecline) {
  EXPECT_EQ(MsgDlg(u"Réessayer ?", u"YN", u"Y", u"E"), u"N");
  EXPECT_EQ(MsgDlg(u"?", u"OC", u"O", u"W"), u"C");
  EXPECT_EQ(MsgDlg(u"!", u"O", u"O", u"I"), u"O");
  std::u16string input = u"3";
  bool checked = false;
  EXPECT_EQ(InputDlg(u"?", input, u'N', u"", checked, u"", true), u"C");
}
#endif
