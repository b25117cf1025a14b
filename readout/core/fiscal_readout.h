#pragma once
// The fiscal memory readout without a port: a state machine fed with the bytes the printer
// sends. It reads the records of one pass (one accounting currency) in their order, says when
// to acknowledge a record with ENQ, keeps the sums as 32-bit high/low pairs, writes the report
// text record by record and compares the sums with the closing record.

#include <cstdint>
#include <string>
#include <string_view>

#include "readout/core/report_text.h"

namespace ulvo {

// Results of reading one record.
enum class RecordCode : int {
  kGood = 0,
  kBad = 1,           // wrong type or bad check (also: sums that differ, a record time-out)
  kDamaged = 2,       // good, but marked damaged
  kFiscalMemory = 6,  // damaged outside emergency mode, or a closing status that is not 0
  kAborted = 10,      // the user broke the readout off
  kAckFailed = 11,    // ENQ could not be sent
};

// The message for a result code; empty for codes without one.
std::string RecordCodeMessage(RecordCode code);

// Reads one record: the type byte, then the body, byte by byte.
class FiscalRecordReader {
 public:
  explicit FiscalRecordReader(bool ecopy) : ecopy_(ecopy) {}
  // Starts a record; `type` fiscal::kAnyType takes any known type.
  void Expect(int type);
  // Takes bytes up to the end of the record; returns how many it used.
  std::size_t Feed(std::string_view bytes);
  bool Done() const { return done_; }
  RecordCode Code() const { return code_; }
  int Type() const { return type_; }
  bool Damaged() const { return damaged_; }
  // The body, check byte included.
  std::string_view Body() const { return body_; }

 private:
  bool ecopy_;
  int expected_ = fiscal::kAnyType;
  int type_ = -1;
  bool damaged_ = false;
  bool gotType_ = false;
  bool done_ = false;
  RecordCode code_ = RecordCode::kGood;
  std::size_t size_ = 0;
  std::string body_;
};

// What the readout dialog hands over.
struct ReadoutRequest {
  bool emergency = false;
  bool monthly = false;
  bool fullReport = true;
  bool byNumbers = false;
  bool ecopy = false;
  int fromYear = 0, fromMonth = 0, fromDay = 0;  // two-digit years, century 20
  int toYear = 0, toMonth = 0, toDay = 0;
  std::string todayText;  // the computer's date, short form
};

// One pass of the readout.
class FiscalReadoutPass {
 public:
  FiscalReadoutPass(const ReadoutRequest& request, LineSink& out);

  struct Step {
    std::size_t used = 0;  // bytes taken
    bool sendAck = false;  // a record is complete: send ENQ before feeding more
  };
  // Feeds received bytes. Stops after a complete record that wants its ENQ.
  Step Feed(std::string_view bytes);
  // The caller could not send the ENQ the last step asked for.
  void AckFailed() { Finish(RecordCode::kAckFailed); }
  // The user broke off, or no byte came for too long (kBad).
  void Stop(RecordCode code) { Finish(code); }

  bool Finished() const { return finished_; }
  bool Succeeded() const { return finished_ && code_ == RecordCode::kGood; }
  RecordCode Code() const { return code_; }
  // The closing record said that another accounting currency follows.
  bool MoreCurrencies() const { return moreCurrencies_; }
  // Header records read: the readout's first tick is over.
  bool HeaderDone() const { return phase_ > Phase::kHeader; }
  std::uint32_t Announced() const { return announced_; }
  std::uint32_t Received() const { return received_; }
  const ReportContext& Context() const { return context_; }

 private:
  enum class Phase { kHeader, kReport, kMedium, kDailyAfterMedium, kRates, kClosing, kDone };
  void Next();
  void Take();
  void TakeHeader(int type, std::string_view body, bool damaged);
  void TakeDaily(std::string_view body, bool damaged);
  void WriteDaily();
  void TakeRates(std::string_view body, bool damaged);
  void TakeClosing(std::string_view body);
  void Finish(RecordCode code);

  ReadoutRequest request_;
  LineSink& out_;
  FiscalRecordReader reader_;
  ReportContext context_;
  Phase phase_ = Phase::kHeader;
  std::size_t headerIndex_ = 0;
  std::uint32_t announced_ = 0, received_ = 0;
  int previousMarker_ = 0;
  std::string daily_;  // the report waiting for its rate record
  bool dailyDamaged_ = false;
  std::string label_, media_;  // the electronic copy's medium label of the next report
  bool firstGoodSeen_ = false;
  bool finished_ = false;
  bool moreCurrencies_ = false;
  RecordCode code_ = RecordCode::kGood;
};

}  // namespace ulvo
