#include "readout/core/fiscal_readout.h"

namespace ulvo {

namespace {

using namespace fiscal;

// The header records of a pass, in the order the printer sends them.
constexpr int kHeaderOrder[] = {kHeaderText, kUniqueNumber, kMode,        kNip,
                                kReference,  kTypeVersion,  kUniqueAgain, kRange};

}  // namespace

std::string RecordCodeMessage(RecordCode code) {
  const int c = static_cast<int>(code);
  if (c == 2 || c == 6) return "Wystąpił błąd pamieci fiskalnej.";
  if (c >= 1 && c <= 9) return "Wystąpił błąd trasmisji.";
  return {};
}

// ---- FiscalRecordReader ----

void FiscalRecordReader::Expect(int type) {
  expected_ = type;
  type_ = -1;
  damaged_ = false;
  gotType_ = false;
  done_ = false;
  code_ = RecordCode::kGood;
  size_ = 0;
  body_.clear();
}

std::size_t FiscalRecordReader::Feed(std::string_view bytes) {
  std::size_t used = 0;
  while (!done_ && used < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[used++]);
    if (!gotType_) {
      gotType_ = true;
      type_ = byte & kTypeMask;
      damaged_ = (byte & kDamagedBit) != 0;
      size_ = RecordBodySize(type_, ecopy_);
      if ((expected_ != kAnyType && type_ != expected_) || size_ == 0) {
        code_ = RecordCode::kBad;
        done_ = true;
      }
      body_.reserve(size_);
      continue;
    }
    // Take as much of the body as has arrived at once.
    const std::size_t want = size_ - body_.size() - 1;
    const std::size_t take = std::min(want, bytes.size() - used);
    body_.push_back(static_cast<char>(byte));
    body_.append(bytes.data() + used, take);
    used += take;
    if (body_.size() == size_) {
      done_ = true;
      if (!RecordCheckOk(body_)) {
        code_ = RecordCode::kBad;
      } else if (damaged_) {
        code_ = RecordCode::kDamaged;
      }
    }
  }
  return used;
}

// ---- FiscalReadoutPass ----

FiscalReadoutPass::FiscalReadoutPass(const ReadoutRequest& request, LineSink& out)
    : request_(request), out_(out), reader_(request.ecopy) {
  ReportContext& c = context_;
  c.fullReport = request.fullReport;
  c.emergency = request.emergency;
  c.monthly = request.monthly;
  c.byNumbers = request.byNumbers;
  c.ecopy = request.ecopy;
  c.from = {20, request.fromYear, request.fromMonth, request.fromDay};
  c.to = {20, request.toYear, request.toMonth, request.toDay};
  c.todayText = request.todayText;
  reader_.Expect(kHeaderOrder[0]);
}

FiscalReadoutPass::Step FiscalReadoutPass::Feed(std::string_view bytes) {
  Step step;
  while (!finished_ && step.used < bytes.size()) {
    step.used += reader_.Feed(bytes.substr(step.used));
    if (!reader_.Done()) break;
    const bool closing = reader_.Type() == kClosing;
    Take();
    if (!finished_ && !closing) {
      step.sendAck = true;
      break;
    }
  }
  return step;
}

void FiscalReadoutPass::Finish(RecordCode code) {
  if (finished_) return;
  finished_ = true;
  code_ = code;
  phase_ = Phase::kDone;
}

void FiscalReadoutPass::Take() {
  const RecordCode code = reader_.Code();
  if (code == RecordCode::kBad) return Finish(code);
  const bool damaged = code == RecordCode::kDamaged;
  const std::string_view body = reader_.Body();
  switch (phase_) {
    case Phase::kHeader:
      return TakeHeader(reader_.Type(), body, damaged);
    case Phase::kReport:
      if (request_.ecopy && reader_.Type() == kMediumLabel) {
        if (damaged && !request_.emergency) return Finish(RecordCode::kFiscalMemory);
        label_.assign(body);
        phase_ = Phase::kMedium;
        reader_.Expect(kMediumData);
        return;
      }
      if (reader_.Type() != kDaily) return Finish(RecordCode::kBad);
      return TakeDaily(body, damaged);
    case Phase::kMedium:
      if (damaged && !request_.emergency) return Finish(RecordCode::kFiscalMemory);
      media_.assign(body);
      phase_ = Phase::kDailyAfterMedium;
      reader_.Expect(kDaily);
      return;
    case Phase::kDailyAfterMedium:
      return TakeDaily(body, damaged);
    case Phase::kRates:
      return TakeRates(body, damaged);
    case Phase::kClosing:
      return TakeClosing(body);
    case Phase::kDone:
      return;
  }
}

void FiscalReadoutPass::TakeHeader(int type, std::string_view body, bool damaged) {
  ReportContext& c = context_;
  if (type == kCurrency) {
    if (damaged && !request_.emergency) return Finish(RecordCode::kFiscalMemory);
    c.currencyRead = true;
    c.currencyDamaged = damaged;
    if (!damaged) {
      c.currency = RecordText(body, kCurrencyCode, kCurrencyCodeSize);
      c.currencyDate = GetDate(body, kCurrencyDate);
      c.currencyMinute = static_cast<int>(Get8(body, kCurrencyTime));
      c.currencyHour = static_cast<int>(Get8(body, kCurrencyTime + 1));
    }
  } else {
    if (damaged && !request_.emergency) return Finish(RecordCode::kFiscalMemory);
    const std::size_t text = body.size() - 1;  // without the check byte
    switch (type) {
      case kHeaderText:
        c.headerBody.assign(body);
        break;
      case kUniqueNumber:
        c.uniqueNumber = RecordText(body, 0, kUniqueNumberSize);
        c.uniqueNumberBytes = RecordBytes(body, 0, kUniqueNumberSize);
        break;
      case kMode:
        c.fiscal = Get8(body, 0) == 0;
        c.readOnly = Get8(body, kModeReadOnly) == 1;
        break;
      case kNip:
        c.nip = RecordText(body, 0, text);
        c.nipRead = !c.nip.empty();
        break;
      case kReference:
        c.referenceDate = GetDate(body, kReferenceDate);
        c.referenceMinute = static_cast<int>(Get8(body, kReferenceTime));
        c.referenceHour = static_cast<int>(Get8(body, kReferenceTime + 1));
        break;
      case kTypeVersion:
        c.typeVersion = RecordText(body, 0, text);
        break;
      case kUniqueAgain:
        c.uniqueAgain = RecordText(body, 0, text);
        break;
      case kRange:
        announced_ = Get16(body, kSumReports);
        c.firstNumber = Get32(body, kSumFirstNumber);
        c.lastNumber = Get32(body, kSumLastNumber);
        c.firstDate = GetDate(body, kSumFirstReport);
        c.lastDate = GetDate(body, kSumLastReport);
        break;
    }
    ++headerIndex_;
    if (headerIndex_ < std::size(kHeaderOrder)) {
      reader_.Expect(kHeaderOrder[headerIndex_]);
      return;
    }
    // The currency record comes only when reports follow.
    if (announced_ != 0) {
      reader_.Expect(kCurrency);
      return;
    }
  }
  WriteReportHeader(out_, c);
  if (announced_ == 0) {
    phase_ = Phase::kClosing;
    reader_.Expect(kClosing);
  } else {
    phase_ = Phase::kReport;
    reader_.Expect(request_.ecopy ? kAnyType : kDaily);
  }
}

void FiscalReadoutPass::TakeDaily(std::string_view body, bool damaged) {
  if (damaged && !request_.emergency) return Finish(RecordCode::kFiscalMemory);
  ++received_;
  daily_.assign(body);
  dailyDamaged_ = damaged;
  const int marker = static_cast<int>(Get8(body, kDailyRateMarker));
  if (marker != previousMarker_) {
    previousMarker_ = marker;
    phase_ = Phase::kRates;
    reader_.Expect(kRates);
    return;
  }
  WriteDaily();
}

void FiscalReadoutPass::TakeRates(std::string_view body, bool damaged) {
  ReportContext& c = context_;
  if (damaged) {
    if (!request_.emergency) return Finish(RecordCode::kFiscalMemory);
    WriteDamagedBlock(out_, true, Get16(daily_, kDailyNumber));
  } else {
    for (int i = 0; i < kLetters; ++i) {
      const std::uint32_t rate = Get16(body, kRatesValue + 2 * i);
      const int kind = static_cast<int>(Get8(body, kRatesKind + i));
      if (c.ratesRead && (rate != c.rate[i] || kind != c.kind[i])) c.rateChanged[i] = true;
      c.rate[i] = rate;
      c.kind[i] = kind;
    }
    c.ratesRead = true;
    WriteRateBlock(out_, c, GetDate(body, kRatesDate));
  }
  WriteDaily();
}

void FiscalReadoutPass::WriteDaily() {
  ReportContext& c = context_;
  const std::string_view b = daily_;
  const std::uint32_t number = Get16(b, kDailyNumber);
  if (dailyDamaged_) {
    // Written as a note and left out of the sums.
    WriteDamagedBlock(out_, false, number);
  } else {
    if (!firstGoodSeen_) {
      firstGoodSeen_ = true;
      if (c.firstNumber == 0) c.firstNumber = number;
      if (c.firstDate.Empty()) c.firstDate = GetDate(b, kDailyDate);
    }
    c.lastNumber = number;
    c.lastDate = GetDate(b, kDailyDate);
    std::uint64_t ptuSum = 0;
    const bool sales = HasSales(b);
    for (int i = 0; i < kLetters; ++i) {
      const std::uint32_t net = Get32(b, kDailyNet + 4 * i);
      const std::uint32_t ptu = Get32(b, kDailyPtu + 4 * i);
      ptuSum += ptu;
      if (c.kind[i] == kRateTaxed) {
        c.taxedNet[i].Add(net);
        c.ptu[i].Add(ptu);
        c.everTaxed[i] = c.everTaxed[i] || sales;
      } else if (c.kind[i] == kRateExempt) {
        c.exemptNet[i].Add(net);
        c.everExempt[i] = c.everExempt[i] || sales;
      }
    }
    c.ptuTotal.Add(ptuSum);
    c.due.Add(Get32(b, kDailyDue));
    c.receipts += Get16(b, kDailyReceipts);
    const std::uint32_t cancelled = Get16(b, kDailyCancelled);
    if (cancelled != 0) {
      c.cancelled += cancelled;
      const std::uint32_t amount = Get32(b, kDailyCancelledAmount);
      if (amount == kCancelledOverflow) {
        c.cancelledOverflow = true;
      } else {
        c.cancelledAmount.Add(amount);
      }
    }
    if (Get8(b, kDailyRamResetKind) != 0) ++c.ramResets;
    if (request_.fullReport) {
      const std::string control = request_.ecopy ? DailyControlNumber(ControlDataOf(c, b)) : "";
      WriteDailyBlock(out_, c, b, control);
    }
    if (request_.ecopy && !label_.empty()) WriteMediumLabel(out_, label_, media_);
  }
  label_.clear();
  media_.clear();
  daily_.clear();
  if (received_ >= announced_) {
    phase_ = Phase::kClosing;
    reader_.Expect(kClosing);
  } else {
    phase_ = Phase::kReport;
    reader_.Expect(request_.ecopy ? kAnyType : kDaily);
  }
}

void FiscalReadoutPass::TakeClosing(std::string_view b) {
  if (reader_.Damaged() || Get8(b, kSumStatus) != 0) return Finish(RecordCode::kFiscalMemory);
  const SumPair due{Get32(b, kSumDueHigh), Get32(b, kSumDueLow)};
  const SumPair ptu{Get32(b, kSumPtuHigh), Get32(b, kSumPtuLow)};
  if (Get16(b, kSumReports) != received_ || !(due == context_.due) || !(ptu == context_.ptuTotal)) {
    return Finish(RecordCode::kBad);
  }
  WriteSummary(out_, context_, received_);
  moreCurrencies_ = Get8(b, kSumMoreCurrencies) != 0;
  Finish(RecordCode::kGood);
}

}  // namespace ulvo
