#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "net/ftp_parsers.h"

namespace net {
namespace {

std::vector<FtpReply> FeedAll(FtpReplyReader& reader, const std::vector<std::string>& chunks) {
  for (const std::string& chunk : chunks) {
    EXPECT_TRUE(reader.Feed(chunk)) << chunk;
  }
  std::vector<FtpReply> replies;
  while (std::optional<FtpReply> reply = reader.Next()) {
    replies.push_back(*reply);
  }
  return replies;
}

TEST(FtpReplyReader, CollectsSingleAndMultiLineRepliesWhateverTheLineEnds) {
  struct Case {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<int> codes;
    std::vector<std::string> texts;
  };
  const std::vector<Case> cases = {
      {"crlf", {"220 ready\r\n"}, {220}, {"220 ready\r\n"}},
      {"bare lf", {"220 ready\n"}, {220}, {"220 ready\r\n"}},
      {"code alone", {"200\r\n"}, {200}, {"200\r\n"}},
      {"two in one read", {"350 ok\r\n227 here\r\n"}, {350, 227}, {"350 ok\r\n", "227 here\r\n"}},
      {"split everywhere",
       {"2", "30", "-wel", "come\r", "\n 230 not the end\r\n230", " done\r\n"},
       {230},
       {"230-welcome\r\n 230 not the end\r\n230 done\r\n"}},
      {"inner lines that look like other replies",
       {"211-Features:\n 211 MDTM\n500 inner\n211-still going\n211 End\n"},
       {211},
       {"211-Features:\r\n 211 MDTM\r\n500 inner\r\n211-still going\r\n211 End\r\n"}},
      {"blank line between replies",
       {"200 a\r\n\r\n200 b\r\n"},
       {200, 200},
       {"200 a\r\n", "200 b\r\n"}},
      {"incomplete stays pending", {"150 opening", " data"}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FtpReplyReader reader;
    const std::vector<FtpReply> replies = FeedAll(reader, c.chunks);
    ASSERT_EQ(replies.size(), c.codes.size());
    for (size_t i = 0; i < replies.size(); ++i) {
      EXPECT_EQ(replies[i].code, c.codes[i]);
      EXPECT_EQ(replies[i].text, c.texts[i]);
    }
  }
}

TEST(FtpReplyReader, RejectsWhatCannotBeAReply) {
  const std::vector<std::string> garbage = {
      "hello\r\n",       "99 low\r\n",   "600 high\r\n",
      "2x0 letters\r\n", "220ready\r\n", "\x16\x03\x01\n",
  };
  for (const std::string& bytes : garbage) {
    FtpReplyReader reader;
    EXPECT_FALSE(reader.Feed(bytes)) << bytes;
    EXPECT_FALSE(reader.Next().has_value());
  }
}

TEST(FtpReplyReader, BoundsWhatAHostileServerCanMakeItHold) {
  const std::string line(1000, 'x');
  {
    FtpReplyReader reader;  // a multi-line reply that never ends
    bool accepted = reader.Feed("220-start\r\n");
    for (int i = 0; accepted && i < 200; ++i) {
      accepted = reader.Feed(line + "\r\n");
    }
    EXPECT_FALSE(accepted);
  }
  {
    FtpReplyReader reader;  // a line that never ends
    bool accepted = reader.Feed("220 ");
    for (int i = 0; accepted && i < 200; ++i) {
      accepted = reader.Feed(line);
    }
    EXPECT_FALSE(accepted);
  }
  {
    FtpReplyReader reader;  // long but within bounds
    EXPECT_TRUE(reader.Feed("220-" + line + "\r\n220 end\r\n"));
    ASSERT_TRUE(reader.Next().has_value());
  }
  {
    PreliminaryReplyLimit limit;  // preliminary replies without end
    int waited = 0;
    while (!limit.IsFinal(FtpReply{150, "150 still opening\r\n"}) && !limit.exceeded()) {
      ++waited;
    }
    EXPECT_EQ(waited, PreliminaryReplyLimit::kMaxPreliminaries);
    EXPECT_TRUE(PreliminaryReplyLimit().IsFinal(FtpReply{226, "226 done\r\n"}));
  }
}

TEST(ParsePasvPort, ReadsThePortOfEveryUsualFormAndRejectsMalformedAddresses) {
  struct Case {
    const char* text;
    std::optional<uint16_t> port;
  };
  const Case cases[] = {
      {"227 Entering Passive Mode (127,0,0,1,195,149).\r\n", 50069},
      {"227 Entering Passive Mode 10,1,2,3,4,1\r\n", 1025},
      {"227 =192,168,0,7,0,21", 21},
      {"227 Entering Passive Mode ( 127, 0, 0, 1, 255, 255 )", 65535},
      {"227 Passive 2024 mode (1,2,3,4,5,6)", 1286},
      {"227 Entering Passive Mode", std::nullopt},
      {"227 (127,0,0,1,4)", std::nullopt},
      {"227 (127,0,0,256,4,1)", std::nullopt},
      {"227 (127,0,0,1,4,1000)", std::nullopt},
      {"227 (127,0,0,1,0,0)", std::nullopt},
      {"227 (1,2,3,4,,5)", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParsePasvPort(c.text), c.port) << c.text;
  }
}

struct ListingCase {
  const char* line;
  const char* name;
  int64_t size;
  bool isDirectory;
  bool isLink = false;
};

void ExpectListingEntries(std::initializer_list<ListingCase> cases) {
  for (const ListingCase& c : cases) {
    const std::optional<ListingEntry> entry = ParseListingLine(c.line);
    ASSERT_TRUE(entry.has_value()) << c.line;
    EXPECT_EQ(entry->name, c.name) << c.line;
    EXPECT_EQ(entry->size, c.size) << c.line;
    EXPECT_EQ(entry->isDirectory, c.isDirectory) << c.line;
    EXPECT_EQ(entry->isLink, c.isLink) << c.line;
  }
}

TEST(ParseListingLine, ReadsUnixLines) {
  ExpectListingEntries({
      {"-rw-r--r--    1 ftp      ftp       1234567 Jan 01 12:00 Setup_Vellomarch_1.11.exe",
       "Setup_Vellomarch_1.11.exe", 1234567, false},
      {"-rw-r--r-- 1 owner group 42 Jan 01  2020 name with  spaces.txt\r", "name with  spaces.txt",
       42, false},
      {"-rw-r--r-- 1 owner group 5368709120 Dec 31 23:59 huge.iso", "huge.iso", 5368709120LL,
       false},
      {"drwxr-xr-x 2 owner group 4096 Mar  5  2019 Clients", "Clients", 4096, true},
      {"lrwxrwxrwx 1 owner group 11 May 09 08:07 latest -> Setup_1.exe", "latest", 11, false, true},
      {"-rw-r--r-- 1 ftp ftp 30 Jan 01 12:00 manual/vm/Clients/Setup.exe",
       "manual/vm/Clients/Setup.exe", 30, false},
      {"-rw-r--r-- 1 owner 77 Jul 4 9:05 no-group", "no-group", 77, false},
      {"-rw-r--r-- 1 Jan group 12 feb 28 2021 owner-named-like-a-month", "owner-named-like-a-month",
       12, false},
      {"-rw-r--r-- 1 owner group 3 Jan 01 12:00 Jan 02 12:00", "Jan 02 12:00", 3, false},
      {"-rwxr-xr-x+ 1 owner group 9 Jan 01 12:00 acl", "acl", 9, false},
  });
}

TEST(ParseListingLine, ReadsDosLines) {
  ExpectListingEntries({
      {"01-15-24  10:30AM       1234567 name with spaces.exe", "name with spaces.exe", 1234567,
       false},
      {"01-15-2024  10:30PM       <DIR>          folder", "folder", 0, true},
      {"12-31-99  11:59pm  5368709120 huge.iso\r", "huge.iso", 5368709120LL, false},
      {"03/04/2021 09:15 AM 17 spaced-meridiem.txt", "spaced-meridiem.txt", 17, false},
  });
}

TEST(ParseSizeReply, ReadsOnlyAWholeSizeReply) {
  struct Case {
    FtpReply reply;
    std::optional<int64_t> size;
  };
  const Case cases[] = {
      {{213, "213 5368709123\r\n"}, 5368709123LL},
      {{213, "213 0\r\n"}, 0},
      {{550, "550 No such file\r\n"}, std::nullopt},
      {{213, "213 12 bytes\r\n"}, std::nullopt},
      {{213, "213-\r\n"}, std::nullopt},
      {{213, "213 99999999999999999999\r\n"}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSizeReply(c.reply), c.size) << c.reply.text;
  }
}

TEST(ParseModificationTimeReply, ReadsOnlyAWholeTime) {
  struct Case {
    FtpReply reply;
    std::optional<std::string> time;
  };
  const Case cases[] = {
      {{213, "213 20261209051158\r\n"}, "20261209051158"},
      {{213, "213 19980615100045.014\r\n"}, "19980615100045.014"},
      {{550, "550 Not a plain file\r\n"}, std::nullopt},
      {{502, "502 Command not implemented\r\n"}, std::nullopt},
      {{213, "213 191000615100045\r\n"}, std::nullopt},  // the year-19100 bug
      {{213, "213 20261309051158\r\n"}, std::nullopt},   // month 13
      {{213, "213 2026120905115\r\n"}, std::nullopt},    // a digit short
      {{213, "213 20261209051158.\r\n"}, std::nullopt},
      {{213, "213 20261209051158 UTC\r\n"}, std::nullopt},
      {{213, "213 20261209051158.1234567890\r\n"}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseModificationTimeReply(c.reply), c.time) << c.reply.text;
  }
}

TEST(ParseListingLine, SkipsWhatIsNoEntry) {
  for (const char* line : {
           "total 12",
           "",
           "\r",
           "garbage",
           "-rw-r--r-- 1 owner group 12 Jan 01 12:00",       // no name
           "-rw-r--r-- 1 owner group 12 Foo 01 12:00 name",  // no date
           "-rw-r--r-- 1 owner group 12 Jan 32 12:00 name",  // no such day
           "-rw-r--r-- 1 owner group 99999999999999999999 Jan 01 12:00 overflow",
           "crw-r--r-- 1 root root 4, 64 Jan 01 12:00 ttyS0",  // a device
           "lrwxrwxrwx 1 owner group 11 May 09 08:07  -> target",
           "01-15-24  10:30AM       1234567",  // no name
           "01-15-24  10:30AM       12x4 name",
       }) {
    EXPECT_FALSE(ParseListingLine(line).has_value()) << line;
  }
}

TEST(ParseListing, KeepsEveryEntryInOrderWhateverTheLineEndsAndSkipsOverlongLines) {
  const std::string overlong =
      "-rw-r--r-- 1 o g 30 Jan 01 12:00 " + std::string(kMaxListingLineBytes, 'x') + "\r\n";
  const std::string listing =
      "total 8\r\n"
      "drwxr-xr-x 2 o g 4096 Jan 01 12:00 dir\r\n" +
      overlong +
      "-rw-r--r-- 1 o g 10 Jan 01 12:00 a b\n"
      "\n"
      "-rw-r--r-- 1 o g 20 Jan 01  2020 c";
  // Whole, and cut at every size a data connection might deliver it in.
  for (const size_t piece : {listing.size(), size_t{1}, size_t{7}, size_t{4096}}) {
    SCOPED_TRACE(piece);
    ListingReader reader;
    for (size_t pos = 0; pos < listing.size(); pos += piece) {
      reader.Feed(std::string_view(listing).substr(pos, piece));
    }
    EXPECT_EQ(reader.Finish().size(), 3u);
  }
  const std::vector<ListingEntry> entries = ParseListing(listing);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "dir");
  EXPECT_TRUE(entries[0].isDirectory);
  EXPECT_EQ(entries[1].name, "a b");
  EXPECT_EQ(entries[1].size, 10);
  EXPECT_EQ(entries[2].name, "c");
  EXPECT_EQ(entries[2].size, 20);
  EXPECT_TRUE(ParseListing("").empty());
}

}  // namespace
}  // namespace net
