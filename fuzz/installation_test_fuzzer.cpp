// Hostile test strings evaluated on a simulated machine that has registry
// values, files and a program with a version resource to find.
#include <cstddef>
#include <cstdint>

#include "../tests/support/pe_image_builder.h"
#include "catalogue/installation_tests.h"
#include "platform/sim/machine.h"

namespace {

using namespace tarn;

sim::Machine& PreparedMachine() {
  static sim::Machine* machine = [] {
    auto* m = new sim::Machine();
    (void)m->registry().Put(platform::kLocalMachine, u"SOFTWARE\\Vendor\\App", u"Version",
                            platform::RegValue::FromText(u"3"));
    (void)m->registry().Put(platform::kLocalMachine, u"SOFTWARE\\Vendor\\App", u"Count",
                            platform::RegValue::FromDword(16));
    (void)m->registry().Put(platform::kCurrentUser, u"Software\\Vendor", u"",
                            platform::RegValue::FromText(u"abc"));
    (void)m->files().PutFile(
        u"C:\\App\\app.exe",
        testing::BuildPeImage(testing::BuildVersionBlock(testing::SampleVersionSpec())));
    (void)m->files().PutFile(u"C:\\App\\data.bin", std::vector<uint8_t>(10, 1));
    (void)m->environment().Set(u"APP", u"C:\\App");
    (void)m->environment().Set(u"SELF", u"%SELF%%SELF%");
    return m;
  }();
  return *machine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Text test(size / 2, u'\0');
  for (size_t i = 0; i < test.size(); ++i) {
    test[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const platform::Platform platform = PreparedMachine().platform();
  (void)catalogue::EvaluateTest(platform, test);
  // The negation is exactly the opposite, whatever the rest.
  if (catalogue::EvaluateTest(platform, u"!" + test) == catalogue::EvaluateTest(platform, test) &&
      (test.empty() || test.front() != u'!')) {
    __builtin_trap();
  }
  return 0;
}
