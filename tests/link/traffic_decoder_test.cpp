// The traffic decoder over recorded line traffic: what each row says, in order.

#include "link/traffic_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ulvo {
namespace {

using std::chrono::milliseconds;

constexpr auto Out = TrafficDirection::Out;
constexpr auto In = TrafficDirection::In;

struct Chunk {
  TrafficDirection direction;
  std::string bytes;
  int ms;
};

struct Expected {
  int ms;
  bool gap;
  TrafficDirection direction;
  std::string display;
  std::string code;
  std::string name;
  CheckVerdict check;
  std::string detail;  // the row's detail starts with this
};

TrafficDecoder Replay(const std::vector<Chunk>& session, std::size_t maxRows = kTrafficRowsMax) {
  TrafficDecoder decoder(0, maxRows);
  for (const Chunk& c : session) decoder.Feed(c.direction, c.bytes, milliseconds(c.ms));
  return decoder;
}

void ExpectRows(const TrafficDecoder& decoder, const std::vector<Expected>& expected) {
  ASSERT_EQ(decoder.rows().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TrafficRow& row = decoder.rows()[i];
    const Expected& want = expected[i];
    SCOPED_TRACE("row " + std::to_string(i) + ": " + row.display);
    EXPECT_EQ(row.time.count(), want.ms);
    EXPECT_EQ(row.Gap(), want.gap);
    EXPECT_EQ(row.direction, want.direction);
    EXPECT_EQ(row.display, want.display);
    EXPECT_EQ(row.code, want.code);
    EXPECT_EQ(row.name, want.name);
    EXPECT_EQ(row.check, want.check);
    EXPECT_EQ(row.detail.rfind(want.detail, 0), 0u) << row.detail;
  }
}

// A status query, a sale line the printer refuses outside a receipt with the error number
// asked after it (its reply split over two reads), a frame with a wrong check after a pause,
// line noise, and a Mavito cash reply whose check is right.
TEST(TrafficDecoder, RecordedSessionReadsAsRows) {
  const std::vector<Chunk> session = {
      {Out, "\x05", 0},
      {In, "\x6C", 3},
      {Out, "\x1bP1$lTowar\r1\rA/1.00/1.00/86\x1b\\", 10},
      {Out, "\x05", 12},
      {In, "\x68", 15},
      {Out, "\x1bP0#n\x1b\\", 20},
      {In, "\x1bP1#E", 24},
      {In, "21\x1b\\", 25},
      {Out, "\x1bP1#l00\x1b\\", 400},
      {In, "\x80\x81", 402},
      {Out, "\x1bP23#s\x1b\\", 410},
      {In, "\x1bP2#X0/ABCE9\x1b\\", 415},
  };
  ExpectRows(
      Replay(session),
      {
          {0, false, Out, "<ENQ>", "", "Zapytanie o status ENQ", CheckVerdict::None, ""},
          {3, false, In, "l", "", "Status ENQ", CheckVerdict::None,
           "6CH: Drukarka jest w trybie fiskalnym; Ostatni rozkaz został wykonany poprawnie"},
          {10, false, Out, "<ESC>P1$lTowar<CR >1<CR >A/1.00/1.00/86<ESC>\\", "$l",
           "Linijka paragonu", CheckVerdict::Right, ""},
          {12, false, Out, "<ENQ>", "", "Zapytanie o status ENQ", CheckVerdict::None, ""},
          {15, false, In, "h", "", "Status ENQ", CheckVerdict::None,
           "68H: Drukarka jest w trybie fiskalnym"},
          {20, false, Out, "<ESC>P0#n<ESC>\\", "#n", "Odeślij kod ostatniego błędu",
           CheckVerdict::None, ""},
          {24, false, In, "<ESC>P1#E21<ESC>\\", "#E", "Kod ostatniego błędu (odpowiedź)",
           CheckVerdict::None, "błąd nr 21: Rozkaz odebrany przez drukarkę poza trybem"},
          {400, true, Out, "<ESC>P1#l00<ESC>\\", "#l", "Wysuw papieru / zamówienie",
           CheckVerdict::Wrong, "suma kontrolna powinna być 81"},
          {402, false, In, "<80H><81H>", "", "Bajty poza ramką", CheckVerdict::None, ""},
          {410, false, Out, "<ESC>P23#s<ESC>\\", "#s", "Odeślij informacje kasowe",
           CheckVerdict::None, ""},
          {415, false, In, "<ESC>P2#X0/ABCE9<ESC>\\", "#X", "Informacje kasowe (odpowiedź)",
           CheckVerdict::Right, ""},
      });
}

// Replies the program does not check are not judged, even when they end in two hex digits;
// the DLE answer has bits of its own.
TEST(TrafficDecoder, UncheckedRepliesAndTheDleAnswer) {
  ExpectRows(Replay({
                 {Out, "\x1bP1#v\x1b\\", 0},
                 {In, "\x1bP1#RAlta Pro/3.10F\x1b\\", 5},
                 {Out, "\x1bP7#s\x1b\\", 6},
                 {In, "\x1bP1#X0/12345678901\x1b\\", 9},
                 {Out, "\x10", 20},
                 {In, "\x06", 22},
             }),
             {
                 {0, false, Out, "<ESC>P1#v<ESC>\\", "#v", "Typ i wersja", CheckVerdict::None, ""},
                 {5, false, In, "<ESC>P1#RAlta Pro/3.10F<ESC>\\", "#R", "Typ i wersja (odpowiedź)",
                  CheckVerdict::None, ""},
                 {6, false, Out, "<ESC>P7#s<ESC>\\", "#s", "Odeślij informacje kasowe",
                  CheckVerdict::None, ""},
                 {9, false, In, "<ESC>P1#X0/12345678901<ESC>\\", "#X",
                  "Informacje kasowe (odpowiedź)", CheckVerdict::None, ""},
                 {20, false, Out, "<DLE>", "", "Zapytanie o status DLE", CheckVerdict::None, ""},
                 {22, false, In, "<06H>", "", "Status DLE", CheckVerdict::None,
                  "06H: On-line; Brak papieru"},
             });
}

// A reply cut short is shown once the program speaks again, not held back for ever.
TEST(TrafficDecoder, UnfinishedFramesShowWhenTheOtherSideSpeaks) {
  const TrafficDecoder decoder = Replay({
      {Out, "\x1bP0#n\x1b\\", 0},
      {In, "\x1bP1#E", 5},
      {Out, "\x05", 300},
      {In, "\x60", 302},
      {Out, "\x1bP0#n", 310},
  });
  ASSERT_EQ(decoder.rows().size(), 4u);
  EXPECT_EQ(decoder.rows()[1].display, "<ESC>P1#E");
  EXPECT_EQ(decoder.rows()[1].detail, "ramka bez zakończenia <ESC>\\");
  EXPECT_TRUE(decoder.rows()[2].Gap());  // the wait for the rest of the reply
  EXPECT_EQ(decoder.rows()[3].detail, "60H: żaden bit nie jest ustawiony");
}

TEST(TrafficDecoder, KeepsOnlyTheLastRows) {
  std::vector<Chunk> session;
  for (int i = 0; i < 5; ++i) session.push_back({Out, "\x1bP" + std::to_string(i) + "#l\x1b\\", i});
  const TrafficDecoder decoder = Replay(session, 3);
  EXPECT_EQ(decoder.TotalRows(), 5u);
  ASSERT_EQ(decoder.rows().size(), 3u);
  EXPECT_EQ(decoder.rows().front().display, "<ESC>P2#l<ESC>\\");
}

TEST(TrafficDecoder, RowAsTextLine) {
  const TrafficDecoder decoder = Replay({{Out, "\x05", 0}, {Out, "\x1bP1#l00\x1b\\", 250}});
  EXPECT_EQ(TrafficRowLine(decoder.rows()[1]),
            "250 ms\tprzerwa 250 ms\tWy\t<ESC>P1#l00<ESC>\\\t#l\tWysuw papieru / zamówienie\t"
            "suma błędna\tsuma kontrolna powinna być 81");
}

}  // namespace
}  // namespace ulvo
