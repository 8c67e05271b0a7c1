// One table of private-profile cases, run against every INI adapter of the
// build: natively the host adapter; under Windows (Wine) the system's routines
// and the host adapter side by side, so the two cannot drift apart.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "platform/ini_files.h"
#include "test_support.h"

namespace nuv::test {
namespace {

struct Write {
  const char* section;
  const char* key;
  const char* value;
};
struct Read {
  const char* section;
  const char* key;
  size_t capacity;
  const char* expected;
};
struct IniCase {
  const char* name;
  const char* initial;  // nullptr: the file does not exist
  std::vector<Write> writes;
  std::vector<Read> reads;
  std::vector<const char*> inOrder;  // texts that must appear in the file in this order
};

const std::vector<IniCase>& Cases() {
  static const std::vector<IniCase> cases = {
      {"absent file reads empty", nullptr, {}, {{"Init", "CurConfig", 5, ""}}, {}},
      {"plain read", "[Init]\r\nCurConfig=3\r\n", {}, {{"Init", "CurConfig", 5, "3"}}, {}},
      {"names ignore case", "[Init]\r\nCurConfig=3\r\n", {}, {{"iNIT", "CURCONFIG", 5, "3"}}, {}},
      {"buffer keeps capacity - 1",
       "[A]\r\nK=123456789\r\n",
       {},
       {{"A", "K", 5, "1234"}, {"A", "K", 10, "123456789"}, {"A", "K", 2, "1"}, {"A", "K", 1, ""}},
       {}},
      {"absent section and key", "[A]\r\nK=1\r\n", {}, {{"B", "K", 5, ""}, {"A", "L", 5, ""}}, {}},
      {"blanks around name and value",
       "[A]\r\n  K  =  v w  \r\n",
       {},
       {{"A", "K", 20, "v w"}, {"A", " K ", 20, "v w"}},
       {}},
      {"quotes are taken off",
       "[A]\r\nQ=\"abc\"\r\nS='x'\r\nO=\"abc\r\nE=\"\"\r\n",
       {},
       {{"A", "Q", 10, "abc"}, {"A", "S", 10, "x"}, {"A", "O", 10, "\"abc"}, {"A", "E", 10, ""}},
       {}},
      {"quoted value cut by the buffer",
       "[A]\r\nQ=\"abcd\"\r\n",
       {},
       {{"A", "Q", 4, "abc"}, {"A", "Q", 6, "abcd"}},
       {}},
      {"first of two equal keys wins", "[A]\r\nK=1\r\nk=2\r\n", {}, {{"A", "K", 5, "1"}}, {}},
      {"line without equals sign has no value",
       "[A]\r\nK\r\nL=2\r\n",
       {},
       {{"A", "K", 5, ""}, {"A", "L", 5, "2"}},
       {}},
      {"bare line ends",
       "[A]\nK=1\rL=2\n\n\nM=3",
       {},
       {{"A", "K", 5, "1"}, {"A", "L", 5, "2"}, {"A", "M", 5, "3"}},
       {}},
      {"keys before any section are not in a section",
       "K=1\r\n[A]\r\nL=2\r\n",
       {},
       {{"A", "K", 5, ""}, {"A", "L", 5, "2"}},
       {}},
      {"write creates file and section",
       nullptr,
       {{"Config1", "K1", "5"}},
       {{"Config1", "K1", 5, "5"}, {"config1", "k1", 5, "5"}},
       {"[Config1]", "K1=5"}},
      {"existing key replaced in place",
       "[A]\r\nK=1\r\nL=2\r\n",
       {{"a", "k", "9"}},
       {{"A", "K", 5, "9"}, {"A", "L", 5, "2"}},
       {"[A]", "K=9", "L=2"}},
      {"new key appended to its section",
       "[A]\r\nK=1\r\n[B]\r\nM=2\r\n",
       {{"A", "N", "3"}},
       {{"A", "N", 5, "3"}, {"B", "M", 5, "2"}},
       {"[A]", "K=1", "N=3", "[B]", "M=2"}},
      {"new section appended at the end",
       "[A]\r\nK=1\r\n",
       {{"B", "M", "2"}, {"A", "L", "7"}},
       {{"B", "M", 5, "2"}, {"A", "L", 5, "7"}},
       {"[A]", "K=1", "L=7", "[B]", "M=2"}},
      {"leading blanks of a written value are dropped",
       nullptr,
       {{"A", "K", "  42"}},
       {{"A", "K", 5, "42"}},
       {}},
      {"long value written and read whole",
       nullptr,
       {{"Macros", "0", "0001002003004005006007008009010011012013014015016017018019"}},
       {{"Macros", "0", 200, "0001002003004005006007008009010011012013014015016017018019"},
        {"Macros", "0", 7, "000100"}},
       {}},
      {"blank lines and sections as the shipped file has them",
       "[Init]\r\nCurConfig=1\r\nVER_SEL=1\r\n\r\n[Config1]\r\nK1=1\r\n\r\n[Config2]\r\nK1=1\r\n",
       {{"Config1", "K1", "7"}, {"Config2", "K2", "3"}},
       {{"Config1", "K1", 5, "7"}, {"Config2", "K2", 5, "3"}, {"Init", "VER_SEL", 5, "1"}},
       {}},
      {"rewrites keep other sections",
       "[Init]\r\nCurConfig=2\r\n[Config2]\r\nK1=1\r\n",
       {{"Config2", "K1", "4"}, {"Init", "VER_SEL", "1"}},
       {{"Init", "CurConfig", 5, "2"}, {"Init", "VER_SEL", 5, "1"}, {"Config2", "K1", 5, "4"}},
       {"[Init]", "CurConfig=2", "VER_SEL=1", "[Config2]", "K1=4"}},
  };
  return cases;
}

TEST(IniParity, EveryAdapterFollowsThePrivateProfileRules) {
  // What the first adapter (on Windows the system's own routines) wrote: every
  // other adapter must write the same bytes, since other tools and older
  // copies of the program read these files.
  std::map<std::string, std::string> written;
  for (auto& [adapter_name, ini] : IniAdaptersUnderTest()) {
    for (const IniCase& c : Cases()) {
      SCOPED_TRACE(adapter_name + ": " + c.name);
      ScratchFolder dir;
      if (c.initial != nullptr) dir.Write("case.ini", c.initial);
      const Text path = dir.Path("case.ini");
      for (const Write& w : c.writes) {
        EXPECT_TRUE(ini->SetString(path, T(w.section), T(w.key), T(w.value)));
      }
      for (const Read& r : c.reads) {
        EXPECT_EQ(Narrow(ini->GetString(path, T(r.section), T(r.key), r.capacity)), r.expected)
            << "[" << r.section << "] " << r.key << " capacity " << r.capacity;
      }
      if (!c.writes.empty()) {
        const auto first = written.emplace(c.name, dir.Read("case.ini")).first;
        EXPECT_EQ(dir.Read("case.ini"), first->second) << "bytes differ from the first adapter's";
      }
      if (!c.inOrder.empty()) {
        const std::string file = dir.Read("case.ini");
        size_t at = 0;
        for (const char* piece : c.inOrder) {
          const size_t found = file.find(piece, at);
          EXPECT_NE(found, std::string::npos) << "'" << piece << "' in order in:\n" << file;
          if (found != std::string::npos) at = found + 1;
        }
      }
    }
  }
}

// Skin files are UTF-16LE with a byte-order mark so that Portuguese captions
// survive; both adapters must read them and keep the encoding when writing.
TEST(IniParity, Utf16FilesReadAndStayUtf16) {
  const Text caption = T("Configuração ção");
  std::string bytes = "\xFF\xFE";
  for (char16_t c : u"[1]\r\nText=" + caption + u"\r\n") {
    if (c == 0) break;
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  for (auto& [adapter_name, ini] : IniAdaptersUnderTest()) {
    SCOPED_TRACE(adapter_name);
    ScratchFolder dir;
    dir.Write("skin.ini", bytes);
    const Text path = dir.Path("skin.ini");
    EXPECT_EQ(ini->GetString(path, u"1", u"Text", 261), caption);
    EXPECT_TRUE(ini->SetString(path, u"1", u"Other", caption));
    EXPECT_EQ(ini->GetString(path, u"1", u"Other", 261), caption);
    EXPECT_EQ(ini->GetString(path, u"1", u"Text", 261), caption);
    EXPECT_EQ(dir.Read("skin.ini").substr(0, 2), "\xFF\xFE");
  }
}

// One user action's writes replace each file once, at its end; reads in
// between see them; a write of another thread meanwhile is kept.
TEST(IniFiles, ABatchReplacesEachFileOnceAndKeepsOtherThreadsWrites) {
  ScratchFolder dir;
  dir.Write("a.ini", "[A]\r\nK=1\r\n");
  dir.Write("a.ini.tmp", "[A]\r\nK=stale\r\n");  // left by a crash: never read
  const Text a = dir.Path("a.ini"), b = dir.Path("b.ini");
  CountingFiles files;
  IniFiles ini(files);
  EXPECT_EQ(ini.GetString(a, u"A", u"K", 9), u"1");
  ini.BeginBatch();
  ini.SetString(a, u"A", u"K", u"2");
  ini.SetString(a, u"B", u"L", u"3");
  ini.BeginBatch();
  ini.SetString(b, u"M", u"N", u"4");
  ini.EndBatch();
  EXPECT_EQ(ini.GetString(a, u"A", u"K", 9), u"2");
  EXPECT_EQ(dir.Read("a.ini"), "[A]\r\nK=1\r\n");
  EXPECT_FALSE(dir.Exists("b.ini"));
  std::thread([&] {
    EXPECT_EQ(ini.GetString(a, u"A", u"K", 9), u"1");
    ini.SetString(a, u"A", u"X", u"9");
  }).join();
  EXPECT_TRUE(ini.EndBatch());
  EXPECT_EQ(dir.Read("a.ini"), "[A]\r\nK=2\r\nX=9\r\n[B]\r\nL=3\r\n");
  EXPECT_EQ(dir.Read("b.ini"), "[M]\r\nN=4\r\n");
  EXPECT_EQ(files.replaces[Narrow(a)], 2);  // the other thread's, then the batch's
  EXPECT_EQ(files.replaces[Narrow(b)], 1);
  EXPECT_FALSE(dir.Exists("a.ini.tmp"));
  ini.SetString(a, u"A", u"K", u"2");  // no change, no replace
  EXPECT_EQ(files.replaces[Narrow(a)], 2);
  dir.Write("b.ini.tmp", "x");
  files.RemoveStaleTemporary(b);
  EXPECT_FALSE(dir.Exists("b.ini.tmp"));
}

// A save that cannot be made leaves the file as it was and says so; a file
// that cannot be read is never replaced by the few keys of one write.
TEST(IniFiles, AFailedSaveLeavesTheFileAndIsReported) {
  for (const bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable ? "unreadable" : "replace refused");
    ScratchFolder dir;
    dir.Write("config.ini", "[Init]\r\nCurConfig=2\r\n");
    CountingFiles files;
    IniFiles ini(files);
    std::vector<Text> failed;
    ini.saveFailed = [&](const Text& path) { failed.push_back(path); };
    files.refuse = !unreadable;
    files.unreadable = unreadable;
    const Text path = dir.Path("config.ini");
    EXPECT_FALSE(ini.SetString(path, u"Init", u"CurConfig", u"3"));
    ini.BeginBatch();
    ini.SetString(path, u"Config3", u"K1", u"1");
    EXPECT_FALSE(ini.EndBatch());
    EXPECT_EQ(dir.Read("config.ini"), "[Init]\r\nCurConfig=2\r\n");
    EXPECT_FALSE(dir.Exists("config.ini.tmp"));
    EXPECT_EQ(failed, std::vector<Text>(2, path));
    EXPECT_EQ(files.replaces[Narrow(path)], unreadable ? 0 : 2);
  }
}

}  // namespace
}  // namespace nuv::test
