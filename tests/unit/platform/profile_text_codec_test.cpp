#include "platform/profile_text_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn::platform {
namespace {

TEST(ProfileTextCodecTest, DecodeAnsiMapsEveryByteThroughWindows1252) {
  struct Row {
    uint8_t byte;
    char16_t expected;
  } rows[] = {
      {0x00, u'\0'},     {0x41, u'A'},      {0x7F, 0x7F},
      {0x80, u'\u20AC'}, {0x81, 0x81},  // undefined in the code page: the control of the same value
      {0x8A, u'\u0160'}, {0x9F, u'\u0178'}, {0xA0, u'\u00A0'},
      {0xE9, u'\u00E9'}, {0xFF, u'\u00FF'},
  };
  for (const Row& row : rows) {
    const std::vector<uint8_t> bytes{row.byte};
    EXPECT_EQ(DecodeAnsi(bytes), Text(1, row.expected)) << static_cast<int>(row.byte);
  }
  const std::vector<uint8_t> several{0x61, 0x80, 0x62};
  EXPECT_EQ(DecodeAnsi(several), u"a\u20ACb");
}

TEST(ProfileTextCodecTest, DecodeAnsiFollowsTheCodePage) {
  struct Row {
    uint32_t codePage;
    uint8_t byte;
    char16_t expected;
  } rows[] = {
      {1250, 0x8C, u'\u015A'}, {1250, 0xA5, u'\u0104'}, {1251, 0xC0, u'\u0410'},
      {1251, 0xFF, u'\u044F'}, {1251, 0x88, u'\u20AC'}, {1251, 0x98, 0x98},
      {1253, 0xC1, u'\u0391'}, {1253, 0xAA, u'\uF8F9'},  // undefined: private use, as the system
      {1254, 0xD0, u'\u011E'}, {1257, 0xC0, u'\u0104'}, {1252, 0xC0, u'\u00C0'},
      {932, 0x80, u'\u20AC'},  // a double-byte page reads as Windows-1252
      {0, 0xE9, u'\u00E9'},
  };
  for (const Row& row : rows) {
    const std::vector<uint8_t> bytes{0x41, row.byte};
    EXPECT_EQ(DecodeAnsi(bytes, row.codePage), Text({u'A', row.expected}))
        << row.codePage << " " << static_cast<int>(row.byte);
  }
  const std::vector<uint8_t> utf8{0xD0, 0x96, 0xFF};
  EXPECT_EQ(DecodeAnsi(utf8, kCodePageUtf8), u"\u0416\uFFFD");
}

TEST(ProfileTextCodecTest, AnsiIsWrittenInTheCodePageItWasRead) {
  const std::vector<uint8_t> cyrillic{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2};
  const DecodedProfileText decoded = DecodeProfileText(cyrillic, 1251);
  EXPECT_EQ(decoded.text, u"\u041F\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(EncodeProfileText(decoded.text, ProfileEncoding::kAnsi, 1251), cyrillic);
  // A character the page lacks becomes '?', as the system writes it.
  EXPECT_EQ(EncodeProfileText(u"\u00E9\u0416", ProfileEncoding::kAnsi, 1251),
            (std::vector<uint8_t>{'?', 0xC6}));
}

TEST(ProfileTextCodecTest, EveryEncodingRoundTrips) {
  const Text text = u"[Sect]\r\nk=\u00E9\u20AC";
  for (ProfileEncoding encoding :
       {ProfileEncoding::kAnsi, ProfileEncoding::kUtf8, ProfileEncoding::kUtf16}) {
    const DecodedProfileText decoded = DecodeProfileText(EncodeProfileText(text, encoding));
    EXPECT_EQ(decoded.encoding, encoding) << static_cast<int>(encoding);
    EXPECT_EQ(decoded.text, text) << static_cast<int>(encoding);
  }
}

TEST(ProfileTextCodecTest, Utf16BytesFollowTheMarkLowByteFirst) {
  const std::vector<uint8_t> bytes = EncodeProfileText(u"A\u20AC", ProfileEncoding::kUtf16);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xFF, 0xFE, 0x41, 0x00, 0xAC, 0x20}));
}

}  // namespace
}  // namespace tarn::platform
