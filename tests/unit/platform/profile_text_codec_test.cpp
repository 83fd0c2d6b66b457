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
