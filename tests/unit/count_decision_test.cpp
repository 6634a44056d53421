// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch/count_decision.h"

#include <gtest/gtest.h>

namespace {

using Platform::Change;
using Platform::EntryKind;
using Watch::CheckState;
using Watch::NameVerdict;
using Watch::Source;

// A folder counted on a local file system, watched, its names kept, with nothing changed since: the one state
// that reads nothing. Its attributes, read from the opened folder, are as a full count long after its last change
// saw them.
CheckState Still() {
  CheckState s;
  s.counted = s.local = s.watching = s.sameFolder = s.exactNames = s.stampFresh = s.stampSame = true;
  s.countedAfterModified = std::chrono::minutes(1);
  return s;
}

// The same on a share: no notices.
CheckState& Share(CheckState& s) {
  s.local = false;
  return s;
}

TEST(CountDecision, HowACheckAnswers) {
  struct Row {
    const char* name;
    void (*change)(CheckState&);
    Source source;
  };
  const Row rows[] = {
      {"NothingHappened", [](CheckState&) {}, Source::Kept},
      {"EntriesChanged", [](CheckState& s) { s.change = Change::Entries; }, Source::Notices},
      {"FolderItselfChanged", [](CheckState& s) { s.change = Change::Folder; }, Source::Disk},
      {"QueueOverflowed", [](CheckState& s) { s.change = Change::Overflow; }, Source::Disk},
      {"FolderDeletedOrUnmounted", [](CheckState& s) { s.change = Change::WatchGone; }, Source::Disk},
      {"FolderReplacedOrMountedOver", [](CheckState& s) { s.sameFolder = false; }, Source::Disk},
      {"WatchLimitReached", [](CheckState& s) { s.watching = false; }, Source::Disk},
      {"LastCountSawLinks", [](CheckState& s) { s.links = true; }, Source::Disk},
      {"NetworkFuseOrUnknownFileSystem", [](CheckState& s) { s.local = false; }, Source::Attributes},
      {"FirstCount", [](CheckState& s) { s.counted = false; }, Source::Disk},
      {"VerifyingCountDueOnAStillFolder", [](CheckState& s) { s.verifyDue = true; }, Source::Disk},
      {"BurstOfNames",
       [](CheckState& s) {
         s.change = Change::Entries;
         s.tooManyNames = true;
       },
       Source::Disk},
      {"TwoNamesShareAHash",
       [](CheckState& s) {
         s.change = Change::Entries;
         s.exactNames = false;
       },
       Source::Disk},
      {"NamesUnknownButStill", [](CheckState& s) { s.exactNames = false; }, Source::Kept},
      {"ShareAttributesNotFromTheOpenedFolder", [](CheckState& s) { Share(s).stampFresh = false; }, Source::Disk},
      {"ShareChangedInTheTickOfTheLastCount",
       [](CheckState& s) { Share(s).countedAfterModified = Watch::RacyMargin - std::chrono::milliseconds(1); },
       Source::Disk},
      {"ShareOnAVolumeThatMakesTimesUp", [](CheckState& s) { Share(s).volumeKind = "fuse.rclone"; }, Source::Disk},
      {"ShareWhoseTimesMissedAChange", [](CheckState& s) { Share(s).timesMissedAChange = true; }, Source::Disk},
      {"ShareVerifyingCountDue", [](CheckState& s) { Share(s).verifyDue = true; }, Source::Disk},
  };
  for (const Row& row : rows) {
    CheckState state = Still();
    row.change(state);
    EXPECT_EQ(Watch::ChooseSource(state), row.source) << row.name;
  }
}

TEST(CountDecision, NamesCountAsAFullCountCountsThem) {
  struct Row {
    const char* name;
    EntryKind kind;
    NameVerdict verdict;
  };
  const Row rows[] = {
      {"report.pdf", EntryKind::File, NameVerdict::Counted},
      {"report.pdf", EntryKind::Missing, NameVerdict::NotCounted},  // made and deleted between two checks
      {"renders", EntryKind::Folder, NameVerdict::NotCounted},
      {"pipe", EntryKind::Other, NameVerdict::NotCounted},    // fifo, socket, device
      {"link", EntryKind::Link, NameVerdict::Unsure},         // counts as its target, which may change
      {"gone-bad", EntryKind::Unknown, NameVerdict::Unsure},  // the lookup failed
      {".hidden", EntryKind::File, NameVerdict::NotCounted},
      {".hidden-link", EntryKind::Link, NameVerdict::NotCounted},  // a dot name never counts, whatever it is
      {"..", EntryKind::Unknown, NameVerdict::NotCounted},
      {" .leading-blank", EntryKind::File, NameVerdict::Counted},
      {"", EntryKind::Unknown, NameVerdict::NotCounted},
  };
  for (const Row& row : rows) EXPECT_EQ(Watch::JudgeName(row.name, row.kind), row.verdict) << '"' << row.name << '"';
}

}  // namespace
