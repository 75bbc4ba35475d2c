#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/exit_dialogue.h"

namespace {

struct Question {
  std::string text;
  std::string caption;
  UINT buttons;
};

const Question kExit{"Are you sure you want to exit ?", "Are you sure?", MB_YESNO};
const Question kExitDownloader{"Do you want exit downloader?", "Exit downloader", MB_YESNO};
const Question kResumeLater{"Would you like to resume this download later?", "Resume Later?",
                            MB_YESNOCANCEL};
const Question kCancelDownload{
    "Are you sure you want to cancel to download?\nPartially downloaded files will be deleted.",
    "Are you sure?", MB_YESNO};

// Answers the questions in turn and records what was asked.
struct ScriptedUser {
  std::vector<int> answers;
  std::vector<Question> asked;

  AskQuestion Asker() {
    return [this](const char* text, const char* caption, UINT buttons) {
      asked.push_back({text, caption, buttons});
      return asked.size() <= answers.size() ? answers[asked.size() - 1] : 0;
    };
  }
};

struct Situation {
  const char* name;
  bool started;
  bool workersListed;
  std::vector<int> answers;
  std::vector<Question> expectedQuestions;
  ExitChoice expectedChoice;
};

// 0 stands for a box that could not be shown.
const Situation kSituations[] = {
    {"phase 1, yes", false, false, {IDYES}, {kExit}, ExitChoice::End},
    {"phase 1, no", false, false, {IDNO}, {kExit}, ExitChoice::Stay},
    {"phase 1, no box", false, false, {0}, {kExit}, ExitChoice::Stay},
    // Workers listed without a start cannot happen; phase 1 decides.
    {"phase 1 with workers", false, true, {IDYES}, {kExit}, ExitChoice::End},
    {"connecting or completed, yes", true, false, {IDYES}, {kExitDownloader}, ExitChoice::End},
    {"connecting or completed, no", true, false, {IDNO}, {kExitDownloader}, ExitChoice::Stay},
    {"downloading, resume later", true, true, {IDYES}, {kResumeLater}, ExitChoice::End},
    {"downloading, cancel", true, true, {IDCANCEL}, {kResumeLater}, ExitChoice::Stay},
    {"downloading, no box", true, true, {0}, {kResumeLater}, ExitChoice::Stay},
    {"downloading, delete confirmed",
     true,
     true,
     {IDNO, IDYES},
     {kResumeLater, kCancelDownload},
     ExitChoice::EndDeletingPartFile},
    {"downloading, delete declined",
     true,
     true,
     {IDNO, IDNO},
     {kResumeLater, kCancelDownload},
     ExitChoice::End},
    // Without an answer to the second question the part file is kept, as nothing asked to
    // delete it.
    {"downloading, no box for the delete question",
     true,
     true,
     {IDNO, 0},
     {kResumeLater, kCancelDownload},
     ExitChoice::End},
};

TEST(ExitDialogue, AsksByHowFarTheDownloadCameAndEndsAsAnswered) {
  for (const Situation& situation : kSituations) {
    SCOPED_TRACE(situation.name);
    ScriptedUser user{situation.answers, {}};
    EXPECT_EQ(AskExitChoice(user.Asker(), situation.started, situation.workersListed),
              situation.expectedChoice);
    ASSERT_EQ(user.asked.size(), situation.expectedQuestions.size());
    for (size_t i = 0; i < user.asked.size(); ++i) {
      EXPECT_EQ(user.asked[i].text, situation.expectedQuestions[i].text);
      EXPECT_EQ(user.asked[i].caption, situation.expectedQuestions[i].caption);
      EXPECT_EQ(user.asked[i].buttons, situation.expectedQuestions[i].buttons);
    }
  }
}

}  // namespace
