// The Windows recorder's COM pieces (text, VARIANT and SAFEARRAY handling, late-bound calls),
// its read-back comparison, and the recorder on a system without a usable IMAPI2 (wine has
// none): it lists no writers, says why, and refuses every step without crashing.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "readout/core/com_dispatch.h"
#include "readout/core/disc_recorder.h"
#include "readout/core/imapi_mapping.h"
#include "readout/core/windows_disc_recorder_private.h"

namespace ulvo {
namespace {

using com::Variant;
namespace fs = std::filesystem;

// The recorder takes UTF-8 paths.
std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

TEST(ComText, Utf8AndWideRoundTrip) {
  const std::string polish = "Zażółć gęślą jaźń ĄĘŁŃÓŚŹŻ";
  const std::optional<std::wstring> wide = com::Utf8ToWide(polish);
  ASSERT_TRUE(wide);
  EXPECT_EQ(*wide,
            L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144 "
            L"\u0104\u0118\u0141\u0143\u00d3\u015a\u0179\u017b");
  EXPECT_EQ(com::WideToUtf8(*wide), polish);
  EXPECT_EQ(com::Utf8ToWide(""), std::wstring());
  EXPECT_EQ(com::WideToUtf8(L""), "");
}

TEST(ComText, RefusesWhatIsNotUtf8AndReplacesLoneSurrogates) {
  EXPECT_FALSE(com::Utf8ToWide("\xB9\xE6"));  // Windows-1250 "ąć"
  EXPECT_FALSE(com::Utf8ToWide("abc\xC4"));   // cut in the middle of a letter
  EXPECT_EQ(com::WideToUtf8(std::wstring(1, wchar_t(0xD800)) + L"a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(com::WideToUtf8(L"\U0001F4BF"), "\xF0\x9F\x92\xBF");  // a pair stays a pair
}

TEST(ComText, BstrKeepsItsLengthAndNuls) {
  BSTR text = SysAllocStringLen(L"a\0b", 3);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(com::BstrToUtf8(text), std::string("a\0b", 3));
  SysFreeString(text);
  EXPECT_EQ(com::BstrToUtf8(nullptr), "");
}

TEST(ComVariant, ValuesConvertLikeAutomation) {
  std::optional<Variant> text = Variant::Text("Nagrywarka ąę");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->type(), VT_BSTR);
  EXPECT_EQ(text->AsText(), "Nagrywarka ąę");
  EXPECT_FALSE(text->AsLong());
  EXPECT_EQ(Variant::Text("42")->AsLong(), 42);
  EXPECT_EQ(Variant::Long(7).AsText(), "7");
  EXPECT_EQ(Variant::Bool(true).AsBool(), true);
  EXPECT_EQ(Variant::Long(0).AsBool(), false);
  EXPECT_FALSE(Variant().AsDispatch());
  EXPECT_FALSE(Variant::Text("\xB9"));

  Variant copy = *text;
  *text = Variant::Long(1);  // the copy owns its own string
  EXPECT_EQ(copy.AsText(), "Nagrywarka ąę");
}

TEST(ComVariant, ArraysOfVariantsStringsAndNumbersGiveTheirElements) {
  std::optional<Variant> array = Variant::Array({*Variant::Text("D:\\"), Variant::Long(5)});
  ASSERT_TRUE(array);
  auto elements = array->Elements();
  ASSERT_TRUE(elements);
  ASSERT_EQ(elements->size(), 2u);
  EXPECT_EQ((*elements)[0].AsText(), "D:\\");
  EXPECT_EQ((*elements)[1].AsLong(), 5);
  EXPECT_EQ(Variant::Array({})->Elements()->size(), 0u);

  // A SAFEARRAY of BSTRs with lower bound 1, as some interfaces hand them out.
  SAFEARRAYBOUND bound{2, 1};
  SAFEARRAY* strings = SafeArrayCreate(VT_BSTR, 1, &bound);
  ASSERT_NE(strings, nullptr);
  for (LONG i = 1; i <= 2; ++i) {
    BSTR s = SysAllocString(i == 1 ? L"E:\\" : L"C:\\p\u0142yta\\");
    SafeArrayPutElement(strings, &i, s);
    SysFreeString(s);
  }
  Variant held;
  VARIANT* heldRaw = held.Put();
  heldRaw->vt = VT_ARRAY | VT_BSTR;
  heldRaw->parray = strings;
  elements = held.Elements();
  ASSERT_TRUE(elements);
  ASSERT_EQ(elements->size(), 2u);
  EXPECT_EQ((*elements)[1].AsText(), "C:\\płyta\\");

  // Write speeds come as unsigned numbers.
  SAFEARRAY* speeds = SafeArrayCreateVector(VT_UI4, 0, 3);
  ASSERT_NE(speeds, nullptr);
  for (LONG i = 0; i < 3; ++i) {
    ULONG speed = 1500u * static_cast<ULONG>(i + 1);
    SafeArrayPutElement(speeds, &i, &speed);
  }
  Variant speedList;
  VARIANT* raw = speedList.Put();
  raw->vt = VT_ARRAY | VT_UI4;
  raw->parray = speeds;
  elements = speedList.Elements();
  ASSERT_TRUE(elements);
  EXPECT_EQ((*elements)[2].AsLong(), 4500);
}

TEST(ComVariant, WhatIsNoOneDimensionalArrayHasNoElements) {
  EXPECT_FALSE(Variant::Long(3).Elements());
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  Variant square;
  VARIANT* raw = square.Put();
  raw->vt = VT_ARRAY | VT_VARIANT;
  raw->parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
  EXPECT_FALSE(square.Elements());
}

TEST(ComDispatch, MissingObjectsAndClassesFailWithoutCrashing) {
  ComApartment apartment;
  com::Dispatch none;
  Variant value;
  EXPECT_EQ(none.Get(L"Count", value), E_POINTER);
  EXPECT_EQ(none.Call(L"EjectMedia"), E_POINTER);
  EXPECT_EQ(none.Put(L"VolumeName", Variant::Long(1)), E_POINTER);

  com::Dispatch created;
  const HRESULT hr = com::Dispatch::Create(L"ULVO.NieMaTakiejKlasy", created);
  EXPECT_TRUE(FAILED(hr));
  EXPECT_FALSE(created);
  EXPECT_EQ(DiscErrorOfHresult(hr), kDiscLibraryFailed);
}

// Scripting.Dictionary (in Windows and in wine) stands in for the IMAPI2 objects: a dual
// interface with methods, arguments in order, indexed and plain properties, arrays.
TEST(ComDispatch, LateBoundCallsReachAnAutomationObject) {
  ComApartment apartment;
  com::Dispatch dictionary;
  ASSERT_EQ(com::Dispatch::Create(L"Scripting.Dictionary", dictionary), S_OK);
  EXPECT_EQ(dictionary.Put(L"CompareMode", Variant::Long(1)), S_OK);  // text compare
  Variant value;
  ASSERT_EQ(dictionary.Get(L"CompareMode", value), S_OK);
  EXPECT_EQ(value.AsLong(), 1);

  EXPECT_EQ(dictionary.Call(L"Add", {*Variant::Text("Mavito"), *Variant::Text("Żółty ąę")}), S_OK);
  EXPECT_EQ(dictionary.Call(L"Add", {*Variant::Text("Alta"), Variant::Long(60)}), S_OK);
  ASSERT_EQ(dictionary.Get(L"Count", value), S_OK);
  EXPECT_EQ(value.AsLong(), 2);
  ASSERT_EQ(dictionary.Get(L"Item", value, {*Variant::Text("MAVITO")}), S_OK);
  EXPECT_EQ(value.AsText(), "Żółty ąę");
  ASSERT_EQ(dictionary.Call(L"Exists", {*Variant::Text("alta")}, &value), S_OK);
  EXPECT_EQ(value.AsBool(), true);

  ASSERT_EQ(dictionary.Call(L"Keys", {}, &value), S_OK);
  auto keys = value.Elements();
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 2u);
  EXPECT_EQ((*keys)[0].AsText(), "Mavito");
  EXPECT_EQ((*keys)[1].AsText(), "Alta");

  // The member's own error comes out of the DISP_E_EXCEPTION wrapping.
  const HRESULT duplicate = dictionary.Call(L"Add", {*Variant::Text("Alta"), Variant::Long(1)});
  EXPECT_TRUE(FAILED(duplicate));
  EXPECT_NE(duplicate, DISP_E_EXCEPTION);
  EXPECT_EQ(dictionary.Call(L"NieMaTakiejMetody"), DISP_E_UNKNOWNNAME);
}

class WindowsRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ulvo_readback_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::wstring Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.wstring();
  }
  fs::path dir_;
};

TEST_F(WindowsRecorderTest, EqualFilesMatchAndAnyDifferenceIsAMismatch) {
  std::string report(200 * 1024 + 17, 'x');  // more than one read's chunk
  for (size_t i = 0; i < report.size(); i += 97) report[i] = static_cast<char>('A' + i % 26);
  const std::wstring source = Write("source.txt", report);
  EXPECT_EQ(CompareWrittenFile(Write("same.txt", report), source), kDiscOk);

  std::string changed = report;
  changed.back() = 'y';  // in the last, short chunk
  EXPECT_EQ(CompareWrittenFile(Write("changed.txt", changed), source), kDiscReadBackMismatch);
  EXPECT_EQ(CompareWrittenFile(Write("longer.txt", report + "!"), source), kDiscReadBackMismatch);
  EXPECT_EQ(CompareWrittenFile(Write("shorter.txt", report.substr(1)), source),
            kDiscReadBackMismatch);
  EXPECT_EQ(CompareWrittenFile(Write("empty.txt", ""), Write("empty2.txt", "")), kDiscOk);
}

TEST_F(WindowsRecorderTest, AFileThatCannotBeReadIsAFailedReadBack) {
  const std::wstring source = Write("source.txt", "raport");
  EXPECT_EQ(CompareWrittenFile((dir_ / "nie_ma.txt").wstring(), source), kDiscReadBackFailed);
  EXPECT_EQ(CompareWrittenFile(source, (dir_ / "nie_ma.txt").wstring()), kDiscReadBackFailed);
}

// Every step of the dialog on a recorder whose interface did not start.
void ExpectEveryStepRefused(DiscRecorder& recorder, const std::string& existingFile) {
  EXPECT_EQ(recorder.WriterCount(), 0);
  EXPECT_EQ(recorder.WriterName(0), "");
  EXPECT_TRUE(recorder.SelectWriter(0));
  EXPECT_EQ(recorder.LastError(), kDiscNoWriter);
  EXPECT_FALSE(recorder.DeviceReady());
  recorder.PrepareNewWrite(true);
  EXPECT_EQ(recorder.MaxWriteSpeed(), 0);
  recorder.SetWriteSpeed(3528);
  recorder.SetVolumeLabel("ULVO MAVITO 60K");
  EXPECT_FALSE(recorder.DiscHoldsData());
  EXPECT_TRUE(recorder.ImportPreviousSession());
  EXPECT_TRUE(recorder.AddFile("\\", existingFile, "raport.txt"));
  EXPECT_EQ(recorder.LastError(), kDiscNoWriter);
  bool called = false;
  EXPECT_TRUE(recorder.StartWrite([&](bool, int) { called = true; }));
  EXPECT_FALSE(called);
  EXPECT_FALSE(recorder.Progress().writing);
  recorder.Cancel();
  recorder.UnlockAndEject();
}

TEST_F(WindowsRecorderTest, WithoutTheRecordingInterfaceThereAreNoWritersAndTheVersionSaysWhy) {
  auto recorder = MakeImapiRecorder({L"ULVO.NieMaTakiejKlasy"});
  EXPECT_TRUE(recorder->InitializeAndEnumerate());
  EXPECT_EQ(recorder->LastError(), kDiscLibraryFailed);
  EXPECT_NE(recorder->VersionText().find("IMAPI2 – niedostępny w tym systemie (błąd 0x"),
            std::string::npos)
      << recorder->VersionText();
  ExpectEveryStepRefused(*recorder, Utf8(Write("r.txt", "raport")));
  // A second attempt fails the same way.
  EXPECT_TRUE(recorder->InitializeAndEnumerate());
  EXPECT_EQ(recorder->LastError(), kDiscLibraryFailed);
}

TEST_F(WindowsRecorderTest, AddFileSaysWhyItRefuses) {
  auto recorder = MakeImapiRecorder({L"ULVO.NieMaTakiejKlasy"});
  recorder->InitializeAndEnumerate();
  EXPECT_TRUE(recorder->AddFile("\\", Utf8(dir_ / "nie_ma.txt"), "raport.txt"));
  EXPECT_EQ(recorder->LastError(), kDiscSourceMissing);
  EXPECT_TRUE(recorder->AddFile("\\", Utf8(dir_), "raport.txt"));  // a folder
  EXPECT_EQ(recorder->LastError(), kDiscSourceMissing);
  EXPECT_TRUE(recorder->AddFile("\\", "\xB9.txt", "raport.txt"));  // not UTF-8
  EXPECT_EQ(recorder->LastError(), kDiscSourceMissing);
  const std::string source = Utf8(Write("r.txt", "raport"));
  EXPECT_TRUE(recorder->AddFile("\\", source, "a\\b.txt"));
  EXPECT_EQ(recorder->LastError(), kDiscSourceMissing);
  EXPECT_TRUE(recorder->AddFile("\\", source, "raport.txt"));  // nothing prepared
  EXPECT_EQ(recorder->LastError(), kDiscNotPrepared);
}

// The program's own recorder on this system: under wine (no imapi2) it does not start, on
// Windows without a burner it lists none; either way it says so.
TEST_F(WindowsRecorderTest, TheSystemsRecorderListsWhatItFindsAndSaysWhyWhenNothing) {
  auto recorder = MakeDiscRecorderFromEnvironment();
  const bool failed = recorder->InitializeAndEnumerate();
  if (failed) {
    EXPECT_EQ(recorder->LastError(), kDiscLibraryFailed);
    EXPECT_NE(recorder->VersionText().find("niedostępny"), std::string::npos);
    ExpectEveryStepRefused(*recorder, Utf8(Write("r.txt", "raport")));
  } else if (recorder->WriterCount() == 0) {
    EXPECT_EQ(recorder->LastError(), kDiscNoWriter);
    EXPECT_EQ(recorder->VersionText(), "IMAPI2 (Windows)");
    ExpectEveryStepRefused(*recorder, Utf8(Write("r.txt", "raport")));
  } else {
    EXPECT_EQ(recorder->LastError(), kDiscOk);
    for (int i = 0; i < recorder->WriterCount(); ++i) EXPECT_FALSE(recorder->WriterName(i).empty());
  }
  std::printf("Nagrywanie: %s, napędów: %d, błąd %d\n", recorder->VersionText().c_str(),
              recorder->WriterCount(), recorder->LastError());
}

}  // namespace
}  // namespace ulvo
