// Header files in RTF: what a rich-edit control writes, what our writer writes, and malformed
// input of every kind.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "commands/core/header_rtf.h"

namespace ulvo {
namespace {

using A = HeaderAlignment;

HeaderRun N(std::string text) {
  return HeaderRun{std::move(text), kNormalSize};
}
HeaderRun W(std::string text) {
  return HeaderRun{std::move(text), kDoubleWidthSize};
}

HeaderDocument Read(std::string_view rtf) {
  RtfReadResult result = ReadHeaderRtf(rtf);
  EXPECT_TRUE(result.error.empty()) << result.error;
  return result.document;
}

// As a Windows rich-edit control saves a header: font table, generator, code page 1250
// escapes, sizes in half-points, alignments, a bold mark and a Unicode escape.
constexpr char kRichEditSample[] =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1045{\\fonttbl{\\f0\\fnil\\fcharset238 "
    "Courier New;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\qc\\f0\\fs20 Sklep "
    "\\'a3\\'f3d\\'9f\\par\r\n"
    "\\b\\fs40 ABC\\b0\\fs20  \\u8364?\\par\r\n"
    "\\pard\\qr ul. D\\'b3uga 1\\par\r\n"
    "\\pard\\qj\\cf1\\i x\\{y\\}\\\\z\\i0\\par\r\n"
    "\\pard\\par\r\n"
    "}\r\n";

TEST(HeaderRtf, RichEditSampleReadsToTheModel) {
  const HeaderDocument expected{{
      {A::Center, {N("Sklep Łódź")}},
      {A::Center, {W("ABC"), N(" €")}},
      {A::Right, {N("ul. Długa 1")}},
      {A::Justify, {N("x{y}\\z")}},
      {A::Left, {}},
  }};
  EXPECT_EQ(Read(kRichEditSample), expected);
}

TEST(HeaderRtf, WriterOutputReadsBackUnchanged) {
  const HeaderDocument documents[] = {
      {},
      {{{A::Left, {}}}},
      {{{A::Center, {N("Sklep \"Pod Lipą\" s.c.")}},
        {A::Right, {W("ŻÓŁW"), N(" i "), W("ŹDŹBŁO")}},
        {A::Justify, {N("tab\there"), N("")}},
        {A::Left, {N("{nawiasy} \\ ukośnik")}},
        {A::Center, {}},
        {A::Left, {N("☃ € 😀 ß")}},
        {A::Left, {HeaderRun{"dwanaście", 12}, N("10"), HeaderRun{"7", 7}}}}},
  };
  for (HeaderDocument document : documents) {
    NormalizeHeader(document);
    const std::string rtf = WriteHeaderRtf(document);
    EXPECT_EQ(Read(rtf), document) << rtf;
    // Windows-1250 bytes only: everything beyond ASCII is escaped.
    for (unsigned char c : rtf) EXPECT_LT(c, 0x80) << rtf;
  }
}

TEST(HeaderRtf, SizesBelowOnePointReadAsOnePointAndWriteBackTheSame) {
  const HeaderDocument document = Read("{\\rtf1\\fs1 a\\fs3 b\\fs2 c\\par}");
  const HeaderDocument expected{{{A::Left, {HeaderRun{"abc", 1}}}}};
  EXPECT_EQ(document, expected);
  EXPECT_EQ(Read(WriteHeaderRtf(document)), expected);
}

TEST(HeaderRtf, WriterSpellsSizesInHalfPointsAndEndsLinesWithCrLf) {
  const HeaderDocument document{{{A::Center, {N("a"), W("b")}}, {A::Right, {N("ł")}}}};
  const std::string rtf = WriteHeaderRtf(document);
  EXPECT_EQ(rtf.substr(0, 44), "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1045{\\f");
  EXPECT_NE(rtf.find("\\pard\\qc\\f0\\fs20 a\\fs40 b\\par\r\n"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\pard\\qr\\fs20\\'b3\\par\r\n"), std::string::npos) << rtf;
  EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

TEST(HeaderRtf, ReaderDetails) {
  struct Case {
    const char* name;
    std::string rtf;
    HeaderDocument expected;
  } cases[] = {
      {"text after the last par is a paragraph",
       "{\\rtf1\\qr\\fs20 tail}",
       {{{A::Right, {N("tail")}}}}},
      {"default size is 12 points", "{\\rtf1 x\\par}", {{{A::Left, {HeaderRun{"x", 12}}}}}},
      {"plain resets the size",
       "{\\rtf1\\fs40 a\\plain b\\par}",
       {{{A::Left, {W("a"), HeaderRun{"b", 12}}}}}},
      {"group restores the size",
       "{\\rtf1\\fs20 a{\\fs40 b}c\\par}",
       {{{A::Left, {N("a"), W("b"), N("c")}}}}},
      {"negative unicode and uc2",
       "{\\rtf1\\fs20\\uc2\\u-3908xy!\\par}",  // U+F0BC
       {{{A::Left, {N("\xEF\x82\xBC!")}}}}},
      {"surrogate pair", "{\\rtf1\\fs20\\u-10179?\\u-8704?\\par}", {{{A::Left, {N("😀")}}}}},
      {"ignorable destination",
       "{\\rtf1\\fs20{\\*\\unknown secret}shown\\par}",
       {{{A::Left, {N("shown")}}}}},
      {"binary data skipped",
       std::string("{\\rtf1\\fs20 a{\\pict\\bin3 }}{}b\\par}"),
       {{{A::Left, {N("ab")}}}}},
      {"unknown words skipped", "{\\rtf1\\fs20\\wibble12\\zz-3 ok\\par}", {{{A::Left, {N("ok")}}}}},
      {"line breaks are no text",
       "{\\rtf1\\fs20 a\r\nb\\line c\\par}",
       {{{A::Left, {N("ab")}}, {A::Left, {N("c")}}}}},
      {"trailing bytes after the end", "{\\rtf1\\fs20 a\\par}\r\n\0junk", {{{A::Left, {N("a")}}}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.rtf), c.expected) << c.name;
  }
}

struct BadCase {
  const char* name;
  std::string rtf;
  const char* errorPart;
};

TEST(HeaderRtf, MalformedInputEndsWithAClearError) {
  const BadCase cases[] = {
      {"empty", "", "To nie jest plik RTF"},
      {"plain text", "Sklep\r\n", "To nie jest plik RTF"},
      {"missing closing brace", "{\\rtf1 abc\\par", "brak zamykającego nawiasu"},
      {"unbalanced open braces", "{\\rtf1 {{{ abc }\\par", "brak zamykającego nawiasu"},
      {"stray closing brace", "{\\rtf1 a}}", ""},  // ends at the first }, the rest is ignored
      {"truncated escape", "{\\rtf1 a\\'4", "urwaną sekwencję"},
      {"escape at the end", "{\\rtf1 a\\'", "urwaną sekwencję"},
      {"bad hex escape", "{\\rtf1 a\\'zz}", "urwaną sekwencję"},
      {"backslash at the end", "{\\rtf1 a\\", "w środku słowa sterującego"},
      {"long control word", "{\\rtf1 \\" + std::string(100, 'a') + "}", "za długie słowo"},
      {"long parameter", "{\\rtf1 \\fs123456789012}", "za długi parametr"},
      {"minus without digits", "{\\rtf1 \\fs- a}", "błędny parametr"},
      {"1 MB of open braces", "{\\rtf1" + std::string(1 << 20, '{'), "zbyt głęboko"},
  };
  for (const BadCase& c : cases) {
    RtfReadResult result = ReadHeaderRtf(c.rtf);
    if (*c.errorPart == '\0') {
      EXPECT_TRUE(result.error.empty()) << c.name << ": " << result.error;
      continue;
    }
    EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << c.name << ": " << result.error;
    EXPECT_TRUE(result.document.paragraphs.empty()) << c.name;
  }
}

TEST(HeaderRtf, DepthLimitIsExact) {
  std::string inside = "{\\rtf1";
  for (std::size_t i = 1; i < kRtfMaxDepth; ++i) inside += "{";
  inside += "\\fs20 x";
  for (std::size_t i = 1; i < kRtfMaxDepth; ++i) inside += "}";
  inside += "}";
  EXPECT_EQ(Read(inside), (HeaderDocument{{{A::Left, {N("x")}}}}));
  std::string over = "{\\rtf1";
  for (std::size_t i = 0; i < kRtfMaxDepth; ++i) over += "{";
  EXPECT_NE(ReadHeaderRtf(over).error.find("zbyt głęboko"), std::string::npos);
}

// Random damage to good files: every result is either a model or a message, never a crash
// (this also runs under the sanitizers).
TEST(HeaderRtf, RandomlyDamagedFilesNeverCrash) {
  const std::string good =
      std::string(kRichEditSample) + WriteHeaderRtf({{{A::Center, {N("Łódź ☃"), W("X")}}}});
  const std::string alphabet = "{}\\'*0123456789abcdefquqcpar -\r\n\xA3\xFF";
  std::mt19937 rng(12345);
  int errors = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = good;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = rng() % (damaged.size() + 1);
      switch (rng() % 4) {
        case 0:
          damaged.insert(at, 1, alphabet[rng() % alphabet.size()]);
          break;
        case 1:
          if (at < damaged.size()) damaged.erase(at, 1 + rng() % 5);
          break;
        case 2:
          if (at < damaged.size()) damaged[at] = static_cast<char>(rng() % 256);
          break;
        default:
          damaged.resize(at);  // truncated file
          break;
      }
    }
    RtfReadResult result = ReadHeaderRtf(damaged);
    if (!result.error.empty()) {
      ++errors;
      EXPECT_TRUE(result.document.paragraphs.empty());
    }
  }
  EXPECT_GT(errors, 0);
}

class HeaderFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ulvo_header_rtf_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(HeaderFileTest, SavedFileReadsBackAndReplacesTheOldOne) {
  const std::filesystem::path file = dir_ / "naglowek.rtf";
  { std::ofstream(file) << "stary"; }
  const HeaderDocument document{{{A::Center, {W("SKLEP"), N(" Ola")}}, {A::Right, {N("Łódź")}}}};
  EXPECT_FALSE(WriteHeaderFile(file, document));
  RtfReadResult result = ReadHeaderFile(file);
  EXPECT_FALSE(result.Failed()) << result.error;
  EXPECT_EQ(result.document, document);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "naglowek.rtf.tmp"));
}

TEST_F(HeaderFileTest, MissingFileAndMissingFolderFail) {
  RtfReadResult missing = ReadHeaderFile(dir_ / "brak.rtf");
  EXPECT_TRUE(missing.ioFailed);
  EXPECT_TRUE(WriteHeaderFile(dir_ / "nie" / "ma.rtf", {}));
  EXPECT_EQ(HeaderCannotOpenMessage("a.rtf"), "Nie mogę otworzyc plikua.rtf.");
  EXPECT_EQ(HeaderCannotWriteMessage("a.rtf"), "Nie mogę zapisa do plikua.rtf.");
  EXPECT_EQ(HeaderOverwriteQuestion("a.rtf"), "Plik a.rtf już istnieje.Kontynuować? ");
}

TEST_F(HeaderFileTest, FileOfAnotherKindIsRefusedWithAReason) {
  const std::filesystem::path file = dir_ / "tekst.rtf";
  { std::ofstream(file) << "To jest zwykły tekst."; }
  RtfReadResult result = ReadHeaderFile(file);
  EXPECT_FALSE(result.ioFailed);
  EXPECT_NE(result.error.find("To nie jest plik RTF"), std::string::npos);
}

}  // namespace
}  // namespace ulvo
